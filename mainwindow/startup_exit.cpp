// Start-up, the one exit routine every way of closing ends in, and the
// window's own resize.
#include "mainwindow/form1.h"

namespace pellorin {

void Form1::Form_Load() {
    FileStore& files = context_.files;
    SharedSettings& settings = context_.settings;

    files.setCurrentDirectory(files.programFolder());
    writeDefaultSettings(files);

    {
        std::string suffix;
        std::string action;
        FieldReader reader(readSettingsFile(files, files::setup));
        reader.readText(suffix);
        reader.readText(action);
        setTitleSuffix(suffix);
        (action == "hide" ? Option1 : Option2).select();
    }
    settings.ieWindowState = "visible";
    // The list is filled with the suffix as stored, before an empty one
    // becomes the default below.
    cmdRefresh_Click();
    if (titleSuffix_.empty()) {
        setTitleSuffix("Explorer");
        Option1.select();
    }

    std::string startMode;
    FieldReader(readSettingsFile(files, files::startup)).readText(startMode);
    {
        FieldReader reader(readSettingsFile(files, files::popup));
        reader.readText(settings.popupActionEnabled);
        reader.readInteger(settings.popupMaxWidth);
        reader.readInteger(settings.popupMaxHeight);
        reader.readText(settings.popupAction);
    }
    FieldReader(readSettingsFile(files, files::fullscreen)).readText(settings.fullscreenMode);
    if (settings.fullscreenMode.empty()) settings.fullscreenMode = "no";
    {
        FieldReader reader(readSettingsFile(files, files::stats));
        reader.readInteger(settings.statMaximizeCount);
        reader.readInteger(settings.statKilledPopups);
    }
    FieldReader(readSettingsFile(files, files::hotkey)).readText(settings.hotkeyLetter);
    showHotkeyLetter(context_.runtime.fromAnsi(settings.hotkeyLetter));
    settings.hotkeyLetter = std::to_string(keyCodeForLetter(settings.hotkeyLetter));
    // Every press of the hotkey, however short; Timer2 polls beside it.
    context_.desktop.watchLetterKeys([this](const LetterKeyEvent& key) { letterKeyChanged(key); });

    Timer1.setEnabled(true);
    if (startMode == "minimized") goToTray(false);
    context_.runtime.yieldToPendingMessages();
}

void Form1::cmdExit_Click() {
    // The close box, log-off and the button all end up here; only the first
    // call does the work.
    if (exiting_) return;
    exiting_ = true;

    SharedSettings& settings = context_.settings;
    context_.desktop.shellNotifyIcon(nimDelete, context_.trayIconData);
    writeSettingsFile(context_.files, files::stats,
                      SettingsWriter().integer(settings.statMaximizeCount).integer(settings.statKilledPopups));

    const char* hotkeyAction = Option1.selected() ? "hide" : "close";
    const WriteResult result =
        writeSettingsFile(context_.files, files::setup, SettingsWriter().text(titleSuffix_).text(hotkeyAction));
    // Any failure: not only a write-protected file loses the user's suffix.
    if (result != WriteResult::ok)
        context_.runtime.messageBox("Error, couldn\u00b4t write to file setup.cfg, it might be write protected!",
                                    "Error", forms::mb::iconStop);
    context_.runtime.endProgram();
}

void Form1::Form_Resize() {
    if (!host()) return;
    if (host()->windowState() == 1)
        minimizeToTray();
    else
        cmdRefresh_Click();
}

}  // namespace pellorin
