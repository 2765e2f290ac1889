// Apply stores the dialog's settings and closes it; Cancel only closes it.
#include "dialogs/form2.h"

#include "foundation/settings.h"
#include "mainwindow/form1.h"

namespace pellorin {

void Form2::Command1_Click() {
    FileStore& files = context_.files;
    SharedSettings& settings = context_.settings;

    const char* startMode = Option1.selected() ? "normal" : "minimized";
    const char* startFlag = Check1.checked() ? "true" : "false";
    writeSettingsFile(files, files::startup, SettingsWriter().text(startMode).text(startFlag));
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
    writeSettingsFile(files, files::popup,
                      SettingsWriter()
                          .text(settings.popupActionEnabled)
                          .integer(settings.popupMaxWidth)
                          .integer(settings.popupMaxHeight)
                          .text(settings.popupAction));

    if (txtLetter.text().empty()) txtLetter.setText("Q");
    settings.hotkeyLetter = std::to_string(keyCodeForLetter(txtLetter.text()));
    writeSettingsFile(files, files::hotkey, SettingsWriter().text(txtLetter.text()));
    context_.windows.mainWindow().lblHotkey.setCaption("Hotkey: Ctrl+Alt+" + txtLetter.text());

    context_.windows.unload(*this);
}

void Form2::Command2_Click() { context_.windows.unload(*this); }

}  // namespace pellorin
