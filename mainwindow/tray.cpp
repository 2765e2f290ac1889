// The notification-area icon and its menu: going to the tray, coming back,
// and the menu's entries.
#include "mainwindow/form1.h"

#include <algorithm>
#include <cmath>

namespace pellorin {

void Form1::minimizeToTray() {
    showWatcherSwitch();
    if (context_.settings.popupActionEnabled == "enabled") {
        menclose.setEnabled(true);
        mennone.setEnabled(true);
        showPopupActionMarks();
    } else {
        // Greyed out, the marks still tell which action would apply.
        menclose.setEnabled(false);
        mennone.setEnabled(false);
    }

    TrayIconData& icon = context_.trayIconData;
    icon = TrayIconData{};
    icon.cbSize = sizeof(TrayIconData);
    icon.hWnd = windowHandle();
    icon.uID = form1::trayIconId;
    icon.uFlags = form1::trayIconFlags;
    icon.uCallbackMessage = wmMouseMove;
    icon.hIcon = host() ? host()->iconHandle() : 0;
    std::copy_n(form1::trayTip, std::char_traits<char>::length(form1::trayTip), icon.szTip.begin());
    addTrayIcon();
    inTray_ = true;

    if (host()) {
        host()->setTaskbarVisible(false);
        // Only hidden: the watcher and the hotkey keep ticking.
        host()->hide();
    }
}

void Form1::showWatcherSwitch() {
    menenable.setEnabled(!Timer1.enabled());
    mendisable.setEnabled(Timer1.enabled());
}

void Form1::addTrayIcon() {
    // At log-on the notification area may not be there yet, or be too busy
    // to answer in time; without the icon a window in the tray could never
    // be brought back, so the icon is offered again until it is taken.
    tmrTrayIcon.setEnabled(!context_.desktop.shellNotifyIcon(nimAdd, context_.trayIconData));
}

void Form1::tmrTrayIcon_Timer() {
    if (!inTray_) {
        tmrTrayIcon.setEnabled(false);
        return;
    }
    // An add that was not answered in time may still have arrived: then the
    // icon is there, and a second add would only be refused.
    Desktop& desktop = context_.desktop;
    if (desktop.shellNotifyIcon(nimModify, context_.trayIconData) ||
        desktop.shellNotifyIcon(nimAdd, context_.trayIconData))
        tmrTrayIcon.setEnabled(false);
}

void Form1::restoreFromTray() {
    tmrTrayIcon.setEnabled(false);
    if (host()) host()->setWindowState(0);
    context_.desktop.shellNotifyIcon(nimDelete, context_.trayIconData);
    inTray_ = false;
    if (host()) {
        host()->show();
        host()->setTaskbarVisible(true);
    }
    cmdRefresh_Click();
}

void Form1::Form_MouseMove(double x) {
    // Only the icon speaks while we are in the tray; a shown window gets real
    // mouse moves, whose X can be these very numbers on a large screen.
    if (!inTray_) return;
    const double twipsPerPixel = host() ? host()->twipsPerPixelX() : 1.0;
    const double pixels = std::nearbyint(twipsPerPixel > 0 ? x / twipsPerPixel : x);
    if (!(std::fabs(pixels) <= INT32_MAX)) return;  // no mouse message, and no number either
    const auto message = static_cast<std::int32_t>(pixels);
    if (message == static_cast<std::int32_t>(wmLButtonUp))
        restoreFromTray();
    else if (message == static_cast<std::int32_t>(wmRButtonUp) && host())
        host()->showPopupMenu(Popup);
}

void Form1::taskbarRecreated() {
    // The icon we had went with the old notification area.
    if (inTray_) addTrayIcon();
}

void Form1::comeBack() {
    if (exiting_) return;
    // Restored as from the tray menu, so that the window knows where it is.
    if (inTray_)
        restoreFromTray();
    else if (host())
        host()->show();  // on the screen already: only to the front
}

void Form1::applyStartShowCommand(int showCommand) {
    // SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE, SW_FORCEMINIMIZE
    const bool minimized = showCommand == 2 || showCommand == show::minimize || showCommand == 7 || showCommand == 11;
    if (minimized && !inTray_) minimizeToTray();
}

void Form1::choosePopupAction(const char* action) {
    SharedSettings& settings = context_.settings;
    settings.popupAction = action;
    const WriteResult result = writeSettingsFile(context_.files, files::popup,
                                                 SettingsWriter()
                                                     .text(settings.popupActionEnabled)
                                                     .integer(settings.popupMaxWidth)
                                                     .integer(settings.popupMaxHeight)
                                                     .text(settings.popupAction));
    // The choice holds for this run either way; the user learns it will not
    // survive a restart.
    if (result != WriteResult::ok)
        context_.runtime.messageBox("Error, couldn\u00b4t write to file popup.cfg, it might be write protected!",
                                    "Error", forms::mb::iconStop);
    showPopupActionMarks();
}

void Form1::showPopupActionMarks() {
    const bool close = context_.settings.popupAction == "close";
    menclose.setChecked(close);
    mennone.setChecked(!close);
}

void Form1::menclose_Click() { choosePopupAction("close"); }

void Form1::mennone_Click() { choosePopupAction("none"); }

void Form1::menenable_Click() {
    Timer1.setEnabled(true);
    showWatcherSwitch();
}

void Form1::mendisable_Click() {
    Timer1.setEnabled(false);
    showWatcherSwitch();
}

void Form1::menexit_Click() {
    // Gone from the notification area before anything else can go wrong.
    context_.desktop.shellNotifyIcon(nimDelete, context_.trayIconData);
    Form_Unload();
    context_.runtime.endProgram();
}

}  // namespace pellorin
