// Start-up, the one exit routine every way of closing ends in, and the
// window's own resize.
#include "mainwindow/form1.h"

#include <algorithm>

#include "foundation/browsers.h"

namespace pellorin {

namespace {

// Counters stop at the ends of their 16-bit range instead of wrapping.
std::int16_t addStoppingAtMax(std::int16_t total, std::int16_t more) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(std::int32_t{total} + more, INT16_MIN, INT16_MAX));
}

}  // namespace

void Form1::Form_Load() {
    FileStore& files = context_.files;
    SharedSettings& settings = context_.settings;

    files.setCurrentDirectory(files.programFolder());
    writeDefaultSettings(files);

    {
        std::string suffix;
        std::string action;
        FieldReader reader(readSettingsFile(files, files::setup, &setupUnreadable_));
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
        setTitleSuffix(titleSuffixForProgId(context_.runtime, defaultBrowserProgId(context_.desktop)));
        Option1.select();
        // What the list shows agrees with the suffix the box now shows.
        cmdRefresh_Click();
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
        FieldReader reader(readSettingsFile(files, files::stats, &statsUnreadable_));
        reader.readInteger(settings.statMaximizeCount);
        reader.readInteger(settings.statKilledPopups);
    }
    FieldReader(readSettingsFile(files, files::hotkey)).readText(settings.hotkeyLetter);
    showHotkeyLetter(context_.runtime.fromAnsi(settings.hotkeyLetter));
    settings.hotkeyLetter = std::to_string(keyCodeForLetter(settings.hotkeyLetter));
    // Every press of the hotkey, however short; Timer2 polls beside it.
    context_.desktop.watchLetterKeys([this](const LetterKeyEvent& key) { letterKeyChanged(key); });

    suffixAtStart_ = titleSuffix_;
    hideAtStart_ = Option1.selected();

    Timer1.setEnabled(true);
    if (startMode == "minimized") goToTray(false);
    context_.runtime.yieldToPendingMessages();
}

void Form1::cmdExit_Click() {
    // The close box, log-off and the button all end up here; only the first
    // call does the work.
    if (exiting_) return;
    exiting_ = true;

    context_.desktop.shellNotifyIcon(nimDelete, context_.trayIconData);
    writeStatistics();

    // A setup.cfg start-up could not read holds the user's suffix and
    // action, not the defaults shown in their place: it is written over only
    // with what the user chose since.
    const bool chosenSince = titleSuffix_ != suffixAtStart_ || Option1.selected() != hideAtStart_;
    if (!setupUnreadable_ || chosenSince) {
        const char* hotkeyAction = Option1.selected() ? "hide" : "close";
        const WriteResult result =
            writeSettingsFile(context_.files, files::setup, SettingsWriter().text(titleSuffix_).text(hotkeyAction));
        // Any failure: not only a write-protected file loses the user's suffix.
        if (result != WriteResult::ok)
            context_.runtime.messageBox("Error, couldn\u00b4t write to file setup.cfg, it might be write protected!",
                                        "Error", forms::mb::iconStop);
    }
    context_.runtime.endProgram();
}

void Form1::writeStatistics() {
    std::int16_t maximized = context_.settings.statMaximizeCount;
    std::int16_t killed = context_.settings.statKilledPopups;
    if (statsUnreadable_) {
        // The counts start-up could not read are the lifetime's: this run's
        // are added to them if the file can be read now; if it still cannot,
        // this run's counts are lost rather than the lifetime's.
        bool stillUnreadable = false;
        FieldReader stored(readSettingsFile(context_.files, files::stats, &stillUnreadable));
        if (stillUnreadable) return;
        std::int16_t before = 0;
        if (stored.readInteger(before)) maximized = addStoppingAtMax(before, maximized);
        before = 0;
        if (stored.readInteger(before)) killed = addStoppingAtMax(before, killed);
    }
    writeSettingsFile(context_.files, files::stats, SettingsWriter().integer(maximized).integer(killed));
}

void Form1::Form_Resize() {
    if (!host()) return;
    if (host()->windowState() == 1)
        minimizeToTray();
    else
        cmdRefresh_Click();
}

}  // namespace pellorin
