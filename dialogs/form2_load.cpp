// Loading the settings dialog from the settings files, and what its check
// boxes and letter box do the moment they change.
#include "dialogs/form2.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "foundation/settings.h"

namespace pellorin {

namespace {

// "69" gives "E"; anything but the code of a letter is left as it is.
std::string letterOfKeyCode(const std::string& keyCode) {
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        if (keyCode == std::to_string(int{letter})) return std::string(1, letter);
    return keyCode;
}

}  // namespace

void Form2::Form_Load() {
    FileStore& files = context_.files;
    SharedSettings& settings = context_.settings;

    std::string startMode;
    std::string startFlag;
    {
        FieldReader reader(readSettingsFile(files, files::startup));
        reader.readText(startMode);
        reader.readText(startFlag);
    }
    if (startMode == "normal")
        Option1.select();
    else if (startMode == "minimized")
        Option2.select();
    if (startFlag == "true") Check1.setChecked(true);
    // The box ticked from the file is not the user's change.
    startupSettingChanged = "false";

    {
        // What was set in memory and not stored gives way to the file.
        FieldReader reader(readSettingsFile(files, files::popup));
        reader.readText(settings.popupActionEnabled);
        reader.readInteger(settings.popupMaxWidth);
        reader.readInteger(settings.popupMaxHeight);
        reader.readText(settings.popupAction);
    }
    if (settings.popupAction == "close") Option4.select();
    if (settings.popupActionEnabled == "enabled") Check2.setChecked(true);

    FieldReader(readSettingsFile(files, files::fullscreen)).readText(settings.fullscreenMode);
    // Ticking the box stores "yes" again, as a click would.
    if (settings.fullscreenMode == "yes") Check3.setChecked(true);

    // A file held by another program (a backup, a virus scanner) says nothing
    // about the letter: the one in force stands, in the box as on the label.
    if (std::optional<std::string> stored = files.readAll(settingsPath(files, files::hotkey)))
        FieldReader(std::move(*stored)).readText(settings.hotkeyLetter);
    else
        settings.hotkeyLetter = letterOfKeyCode(settings.hotkeyLetter);
    txtLetter.setText(context_.runtime.fromAnsi(settings.hotkeyLetter.substr(0, 1)));
    settings.hotkeyLetter = std::to_string(keyCodeForLetter(settings.hotkeyLetter));

    if (settings.popupMaxWidth == 0 && settings.popupMaxHeight == 0) return;
    showPopupSize(settings.popupMaxWidth, settings.popupMaxHeight);
}

void Form2::Check1_Click() { startupSettingChanged = "true"; }

void Form2::Check2_Click() {
    const bool on = Check2.checked();
    for (forms::Control* control :
         std::initializer_list<forms::Control*>{&Command4, &Frame1, &Option3, &Option4, &Label4, &Label5})
        control->setEnabled(on);
}

void Form2::Check3_Click() {
    SharedSettings& settings = context_.settings;
    settings.fullscreenMode = Check3.checked() ? "yes" : "no";
    const WriteResult result =
        writeSettingsFile(context_.files, files::fullscreen, SettingsWriter().text(settings.fullscreenMode));
    if (result != WriteResult::ok)
        context_.runtime.messageBox("Error, file fullscreen.cfg might be write protected!", "Error",
                                    forms::mb::iconStop);
}

void Form2::txtLetter_Change() {
    // Each assignment below raises this handler once more; the second pass
    // finds nothing left to change, so it goes no deeper.
    std::string text = txtLetter.text();
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    txtLetter.setText(text);
    txtLetter.setSelectionStart(1);
    const std::string& now = txtLetter.text();
    if (now.empty() || now[0] < 'A' || now[0] > 'Z') txtLetter.setText("");
}

}  // namespace pellorin
