// The notification-area icon and its menu: going to the tray, coming back,
// and the menu's entries.
#include "mainwindow/form1.h"

#include <algorithm>
#include <cmath>

namespace pellorin {

void Form1::goToTray(bool byUser) {
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
    trayNoticeDue_ = byUser && !trayNoticeGiven_;
    addTrayIcon();
    inTray_ = true;

    if (host()) {
        host()->setTaskbarVisible(false);
        // Only hidden: the watcher and the hotkey keep ticking.
        host()->hide();
    }
    // Said once the window is gone.
    giveTrayNotice();
}

void Form1::showWatcherSwitch() {
    menenable.setEnabled(!Timer1.enabled());
    mendisable.setEnabled(Timer1.enabled());
}

bool Form1::offerTrayIcon(std::uint32_t message) {
    // In the larger record: with the version 4 behaviour the shell shows the
    // tip "Pellorin" only when asked to.
    TrayIconData record = context_.trayIconData;
    record.uFlags |= nifShowTip;
    return context_.desktop.shellNotifyIconEx(message, record, {});
}

void Form1::addTrayIcon() {
    // At log-on the notification area may not be there yet, or be too busy
    // to answer in time; without the icon a window in the tray could never
    // be brought back, so the icon is offered again until it is taken.
    trayIconVersion4_ = false;
    const bool taken = offerTrayIcon(nimAdd);
    tmrTrayIcon.setEnabled(!taken);
    if (taken) trayIconTaken();
}

void Form1::trayIconTaken() {
    // Asked anew for every icon added. Where the shell does not know the
    // behaviour (Windows XP, a shell that replaces Explorer's), the icon
    // reports its mouse messages as it always has.
    TrayIconExtras behaviour;
    behaviour.uVersion = notifyIconVersion4;
    trayIconVersion4_ = context_.desktop.shellNotifyIconEx(nimSetVersion, context_.trayIconData, behaviour);
}

void Form1::giveTrayNotice() {
    // An icon not taken yet says it once it is.
    if (!trayNoticeDue_ || !inTray_ || tmrTrayIcon.enabled()) return;
    TrayIconData record = context_.trayIconData;
    record.uFlags = nifInfo;
    TrayIconExtras notice;
    notice.szInfoTitle = form1::trayNoticeTitle;
    notice.szInfo = form1::trayNoticeText;
    notice.dwInfoFlags = niifInfo;
    // Refused, it is said at the next time the user sends the window there.
    if (!context_.desktop.shellNotifyIconEx(nimModify, record, notice)) return;
    trayNoticeDue_ = false;
    trayNoticeGiven_ = true;
}

void Form1::tmrTrayIcon_Timer() {
    if (!inTray_) {
        tmrTrayIcon.setEnabled(false);
        return;
    }
    // An add that was not answered in time may still have arrived: then the
    // icon is there, and a second add would only be refused.
    if (offerTrayIcon(nimModify) || offerTrayIcon(nimAdd)) {
        tmrTrayIcon.setEnabled(false);
        trayIconTaken();
        giveTrayNotice();
    }
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

void Form1::Form_MouseMove(double x, std::uint32_t wParam) {
    // Only the icon speaks while we are in the tray; a shown window gets real
    // mouse moves, whose X can be these very numbers on a large screen.
    if (!inTray_) return;
    const double twipsPerPixel = host() ? host()->twipsPerPixelX() : 1.0;
    const double pixels = std::nearbyint(twipsPerPixel > 0 ? x / twipsPerPixel : x);
    if (!(std::fabs(pixels) <= INT32_MAX)) return;  // no mouse message, and no number either
    const auto message = static_cast<std::uint32_t>(static_cast<std::int32_t>(pixels));
    if (trayIconVersion4_) {
        // A click comes as a selection after the button's release, Enter or
        // Space on the icon as a key selection, the right button's release
        // and the menu key (Shift+F10) as a context-menu request with the
        // icon's place: each acted on once, never twice for one click.
        if (message == ninSelect || message == ninKeySelect)
            restoreFromTray();
        else if (message == wmContextMenu)
            showTrayMenu(true, wParam);
    } else if (message == wmLButtonUp) {
        restoreFromTray();
    } else if (message == wmRButtonUp) {
        showTrayMenu(false, 0);
    }
}

void Form1::showTrayMenu(bool atAnchor, std::uint32_t anchor) {
    if (!host()) return;
    if (atAnchor) {
        // Two signed 16-bit screen coordinates: a monitor left of or above
        // the main one has negative ones.
        const auto x = static_cast<std::int16_t>(anchor & 0xFFFFu);
        const auto y = static_cast<std::int16_t>(anchor >> 16);
        host()->showPopupMenuAt(Popup, x, y);
    } else {
        host()->showPopupMenu(Popup);
    }
    // Left with Esc, or with an entry that keeps the window in the tray, the
    // menu leaves the keyboard with our hidden window: it goes back to the
    // notification area, where the user was. A click elsewhere has given it
    // to that window, which keeps it.
    if (trayIconVersion4_ && inTray_ && context_.desktop.getForegroundWindow() == windowHandle())
        context_.desktop.shellNotifyIconEx(nimSetFocus, context_.trayIconData, {});
}

void Form1::taskbarRecreated() {
    // The icon we had went with the old notification area.
    if (!inTray_) return;
    addTrayIcon();
    giveTrayNotice();  // if the old one never got to say it
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
    if (minimized && !inTray_) goToTray(false);
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
