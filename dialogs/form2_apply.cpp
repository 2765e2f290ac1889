// Apply stores the dialog's settings and closes it; Cancel only closes it.
#include "dialogs/form2.h"

#include "foundation/settings.h"

namespace pellorin {

void Form2::store(const char* fileName, const SettingsWriter& content) {
    // A failed write would otherwise be lost without a word at the next
    // start; the user hears of it as of the program's other files.
    if (writeSettingsFile(context_.files, fileName, content) != WriteResult::ok)
        context_.runtime.messageBox(
            std::string("Error, couldn\u00b4t write to file ") + fileName + ", it might be write protected!", "Error",
            forms::mb::iconStop);
}

void Form2::Command1_Click() {
    SharedSettings& settings = context_.settings;

    const char* startMode = Option1.selected() ? "normal" : "minimized";
    const char* startFlag = Check1.checked() ? "true" : "false";
    store(files::startup, SettingsWriter().text(startMode).text(startFlag));
    // Only a click on the box since the dialog opened changes the system's
    // start-up entry; a stored flag that disagrees with it is left alone.
    if (startupSettingChanged == "true") {
        if (Check1.checked())
            addStartup();
        else
            removeStartup();
    }

    settings.popupActionEnabled = Check2.checked() ? "enabled" : "disabled";
    settings.popupAction = Option3.selected() ? "none" : "close";
    store(files::popup, SettingsWriter()
                            .text(settings.popupActionEnabled)
                            .integer(settings.popupMaxWidth)
                            .integer(settings.popupMaxHeight)
                            .text(settings.popupAction));

    if (txtLetter.text().empty()) txtLetter.setText("Q");
    settings.hotkeyLetter = std::to_string(keyCodeForLetter(txtLetter.text()));
    store(files::hotkey, SettingsWriter().text(context_.runtime.toAnsi(txtLetter.text())));
    context_.windows.showHotkeyLetter(txtLetter.text());

    context_.windows.unload(*this);
}

void Form2::Command2_Click() { context_.windows.unload(*this); }

}  // namespace pellorin
