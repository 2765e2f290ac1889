#pragma once

#include <string>
#include <vector>

#include "foundation/desktop.h"
#include "foundation/forms.h"
#include "foundation/program_context.h"
#include "foundation/settings.h"

namespace pellorin {

namespace form1 {
extern const char* const caption;
extern const forms::ControlLayout lblTitle, Text1, cmdAutoTitle, lblHideClose, lblExclude, lblHandle, Text2, Text3,
    cmdClear, lblOpen, List1, cmdSetup, cmdRefresh, cmdMinimize, lblHotkeyAction, Option1, Option2, List2, lblHotkey,
    cmdExit, imgAbout, Shape1, Shape2, Line1;
inline constexpr int clientWidth = 3675;
inline constexpr int clientHeight = 5040;
inline constexpr const char* noWindowsPlaceholder = "no open IE windows found...";
inline constexpr int handledWindowsPruneAt = 20;
inline constexpr const char* trayTip = "Pellorin";
inline constexpr std::uint32_t trayIconId = 1;
inline constexpr std::uint32_t trayIconFlags = 7;  // message, icon and tip
// How often an icon the notification area did not take is offered again.
inline constexpr int trayRetryMs = 2000;
// Said once a run, the first time the user sends the window to the tray:
// Windows 11 puts a new icon out of sight, under the ^ of the taskbar.
inline constexpr const char* trayNoticeTitle = "Pellorin";
inline constexpr const char* trayNoticeText =
    "Pellorin is still running in the notification area, perhaps under ^. Starting it again brings it back.";
}  // namespace form1

// The main window: start-up and exit, the open-window list with the
// exclusion, the new-window watcher, the hotkey, the browser title lookup
// and the notification-area icon with its menu.
class Form1 : public forms::Form {
public:
    explicit Form1(ProgramContext context);

    forms::Label lblTitle{form1::lblTitle};
    forms::TextBox Text1{form1::Text1};
    forms::CommandButton cmdAutoTitle{form1::cmdAutoTitle};
    forms::Label lblHideClose{form1::lblHideClose};
    forms::Label lblExclude{form1::lblExclude};
    forms::Label lblHandle{form1::lblHandle};
    forms::TextBox Text2{form1::Text2};
    forms::TextBox Text3{form1::Text3};
    forms::CommandButton cmdClear{form1::cmdClear};
    forms::Label lblOpen{form1::lblOpen};
    forms::ListBox List1{form1::List1};
    forms::CommandButton cmdSetup{form1::cmdSetup};
    forms::CommandButton cmdRefresh{form1::cmdRefresh};
    forms::CommandButton cmdMinimize{form1::cmdMinimize};
    forms::Label lblHotkeyAction{form1::lblHotkeyAction};
    forms::OptionButton Option1{form1::Option1};
    forms::OptionButton Option2{form1::Option2};
    forms::ListBox List2{form1::List2};
    forms::Label lblHotkey{form1::lblHotkey};
    forms::CommandButton cmdExit{form1::cmdExit};
    forms::Image imgAbout{form1::imgAbout};
    forms::Decoration Shape1{form1::Shape1};
    forms::Decoration Shape2{form1::Shape2};
    forms::Decoration Line1{form1::Line1};
    // The tray menu: never shown in the window, only from the tray icon.
    forms::MenuItem menclose{"menclose", "Close"};
    forms::MenuItem mennone{"mennone", "None"};
    forms::MenuItem menpopup{"menpopup", "Popup Action", {&menclose, &mennone}};
    forms::MenuItem menline3{"menline3", "-"};
    forms::MenuItem menenable{"menenable", "Enable Maximize"};
    forms::MenuItem mendisable{"mendisable", "Disable Maximize"};
    forms::MenuItem menline2{"menline2", "-"};
    forms::MenuItem menrestore{"menrestore", "Restore"};
    forms::MenuItem menline1{"menline1", "-"};
    forms::MenuItem menexit{"menexit", "Exit"};
    forms::MenuItem Popup{
        "Popup", "Popup", {&menpopup, &menline3, &menenable, &mendisable, &menline2, &menrestore, &menline1, &menexit}};
    // The about box from the keyboard: the window's system menu (Alt+Space), and F1.
    forms::MenuItem menabout{"menabout", "About Pellorin..."};

    forms::Timer Timer1{1500, false};
    forms::Timer Timer2{300, true};
    forms::Timer tmrTrayIcon{form1::trayRetryMs, false};

    // Window events.
    void Form_Load();
    void Form_Resize();
    void Form_Unload() { cmdExit_Click(); }
    void Form_Terminate() { cmdExit_Click(); }
    // The tray icon reports its mouse events as mouse moves over the window,
    // with the event's message as X (in twips here, pixels on the icon); in
    // the version 4 behaviour wParam holds the place of the icon or pointer.
    void Form_MouseMove(double x, std::uint32_t wParam = 0);
    // The notification area was rebuilt (Explorer restarted, or it came up
    // after us at log-on): an icon we had is gone from it.
    void taskbarRecreated();
    // The launcher, or Pellorin started once more, asks for the window.
    void comeBack();
    // How Windows was asked to show the program when it started: a shortcut
    // set to "Minimized" sends it to the tray, as a "minimized" start does.
    void applyStartShowCommand(int showCommand);

    void formResized() override { Form_Resize(); }
    void closeRequested() override { Form_Unload(); }
    void sessionEnding() override { Form_Unload(); }
    void windowDestroyed() override { Form_Terminate(); }
    void mouseMoved(double xTwips, std::uint32_t wParam) override { Form_MouseMove(xTwips, wParam); }
    void taskbarCreated() override { taskbarRecreated(); }
    void comeBackRequested() override { comeBack(); }
    void helpRequested() override { menabout.click(); }
    bool closesOnEscape() const override { return false; }

    void cmdExit_Click();
    void showHotkeyLetter(const std::string& letter) { lblHotkey.setCaption("Hotkey: Ctrl+Alt+" + letter); }
    void cmdRefresh_Click();
    std::int32_t enumIeWindowsProc(Hwnd window, std::int32_t value);
    void List1_Click();
    void cmdClear_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    // A letter key as the keyboard hook saw it, however short the press.
    void letterKeyChanged(const LetterKeyEvent& key);
    void cmdAutoTitle_Click();
    void Text1_Change();

    // The title suffix Text1 shows, as window titles and setup.cfg hold it
    // (the ANSI code page): what titles are compared with and what is stored.
    const std::string& titleSuffix() const { return titleSuffix_; }
    void setTitleSuffix(std::string ansi);

    // The user sends the window to the tray (the button, the minimize box).
    void minimizeToTray() { goToTray(true); }
    void restoreFromTray();
    void tmrTrayIcon_Timer();
    bool inTray() const { return inTray_; }
    void menclose_Click();
    void mennone_Click();
    void menenable_Click();
    void mendisable_Click();
    void menrestore_Click() { restoreFromTray(); }
    void menexit_Click();

private:
    void pruneHandledWindows();
    void writeStatistics();
    bool hotkeyLetterCode(std::int32_t& letter) const;
    bool isAltGrTyping(std::int32_t letter, bool leftAltDown, bool rightAltDown);
    void actOnHotkey();
    void hideOrShowListedWindows();
    void closeListedWindows();
    template <typename Action>
    void forEachListedWindowButExcluded(Action action);
    // A start in the tray is the user's own choice, and needs no word.
    void goToTray(bool byUser);
    bool offerTrayIcon(std::uint32_t message);
    void addTrayIcon();
    void trayIconTaken();
    void giveTrayNotice();
    void showTrayMenu(bool atAnchor, std::uint32_t anchor);
    void choosePopupAction(const char* action);
    void showWatcherSwitch();
    void showPopupActionMarks();
    std::string readBrowserTitle(Desktop::RegistryKey key, bool& isString);
    void rememberHandled(Hwnd window);
    bool isHandled(Hwnd window) const;
    bool wasClosedAsPopup(Hwnd window);

    ProgramContext context_;
    std::vector<forms::OptionButton*> hotkeyActionGroup_{&Option1, &Option2};
    bool exiting_ = false;
    bool watcherTickRunning_ = false;
    bool inTray_ = false;
    // The shell took the version 4 behaviour for the icon: clicks and keys
    // come as selections and context-menu requests.
    bool trayIconVersion4_ = false;
    bool trayNoticeDue_ = false;
    bool trayNoticeGiven_ = false;
    // The letter down with Ctrl and Alt, and that press dealt with: as the
    // previous hotkey poll found it, or the keyboard hook reported it.
    bool hotkeyLetterDown_ = false;
    std::vector<Hwnd> closedPopups_;  // asked to close, and still there
    std::string titleSuffix_ = form1::Text1.caption;
    // Files start-up found but could not read, and what the window showed
    // in their place: exit does not write the defaults over the user's values.
    bool setupUnreadable_ = false;
    bool statsUnreadable_ = false;
    std::string suffixAtStart_;
    bool hideAtStart_ = true;
};

}  // namespace pellorin
