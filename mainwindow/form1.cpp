#include "mainwindow/form1.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "foundation/window_title.h"

namespace pellorin {

namespace {

// Counters stop at the top of their 16-bit range instead of wrapping.
void addOneStoppingAtMax(std::int16_t& counter) {
    if (counter < INT16_MAX) ++counter;
}

bool keyIsDown(std::int16_t state) { return (static_cast<std::uint16_t>(state) & 0x8000u) != 0; }

// Down now and pressed since the previous query.
constexpr auto newlyPressed = static_cast<std::int16_t>(0x8001);

// The registry value is first read into a buffer of this size.
constexpr std::uint32_t initialTitleBuffer = 255;

// A whole decimal number, nothing else; target unchanged otherwise.
bool parseDecimal(std::string_view text, std::int32_t& target) {
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
    target = value;
    return true;
}

class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

Form1::Form1(ProgramContext context)
    : forms::Form(form1::caption, form1::clientWidth, form1::clientHeight), context_(context) {
    for (forms::Control* control : std::initializer_list<forms::Control*>{
             &lblTitle, &Text1,   &cmdAutoTitle, &lblHideClose, &lblExclude, &lblHandle,   &Text2,           &Text3,
             &cmdClear, &lblOpen, &List1,        &cmdSetup,     &cmdRefresh, &cmdMinimize, &lblHotkeyAction, &Option1,
             &Option2,  &List2,   &lblHotkey,    &cmdExit,      &imgAbout,   &Shape1,      &Shape2,          &Line1})
        add(*control);
    add(Timer1);
    add(Timer2);
    Option1.joinGroup(&hotkeyActionGroup_);
    Option2.joinGroup(&hotkeyActionGroup_);

    cmdExit.onClick = [this] { cmdExit_Click(); };
    cmdRefresh.onClick = [this] { cmdRefresh_Click(); };
    cmdClear.onClick = [this] { cmdClear_Click(); };
    cmdMinimize.onClick = [this] { minimizeToTray(); };
    cmdAutoTitle.onClick = [this] { cmdAutoTitle_Click(); };
    menclose.onClick = [this] { menclose_Click(); };
    mennone.onClick = [this] { mennone_Click(); };
    menenable.onClick = [this] { menenable_Click(); };
    mendisable.onClick = [this] { mendisable_Click(); };
    menrestore.onClick = [this] { menrestore_Click(); };
    menexit.onClick = [this] { menexit_Click(); };
    List1.onClick = [this] { List1_Click(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    Timer2.onTick = [this] { Timer2_Timer(); };
}

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
        Text1.setText(suffix);
        (action == "hide" ? Option1 : Option2).select();
    }
    settings.ieWindowState = "visible";
    // The list is filled with the suffix as stored, before an empty one
    // becomes the default below.
    cmdRefresh_Click();
    if (Text1.text().empty()) {
        Text1.setText("Explorer");
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
    lblHotkey.setCaption("Hotkey: Ctrl+Alt+" + settings.hotkeyLetter);
    settings.hotkeyLetter = std::to_string(keyCodeForLetter(settings.hotkeyLetter));

    Timer1.setEnabled(true);
    if (startMode == "minimized") minimizeToTray();
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
        writeSettingsFile(context_.files, files::setup, SettingsWriter().text(Text1.text()).text(hotkeyAction));
    if (result == WriteResult::accessDenied)
        context_.runtime.messageBox("Error, couldn\xb4t write to file setup.cfg, it might be write protected!", "Error",
                                    forms::mb::iconStop);
    context_.runtime.endProgram();
}

void Form1::Form_Resize() {
    if (!host()) return;
    if (host()->windowState() == 1)
        minimizeToTray();
    else
        cmdRefresh_Click();
}

void Form1::cmdRefresh_Click() {
    List1.clear();
    context_.desktop.enumWindows([this](Hwnd window, std::int32_t value) { return enumIeWindowsProc(window, value); },
                                 0);
    List1.setEnabled(true);
    if (List1.itemText(0).empty()) {
        List1.addItem(form1::noWindowsPlaceholder, 0);
        List1.setEnabled(false);
    }
}

std::int32_t Form1::enumIeWindowsProc(Hwnd window, std::int32_t /*value*/) {
    std::string title = readWindowTitle(context_.desktop, window);
    if (title.empty()) return 1;
    if (lastEightCharacters(title) == Text1.text()) List1.addItem(std::move(title), static_cast<std::int32_t>(window));
    return 1;
}

void Form1::List1_Click() {
    for (int index = 0; index < List1.count(); ++index) {
        if (!List1.isSelected(index)) continue;
        Text2.setText(List1.item(index).text);
        Text3.setText(std::to_string(List1.item(index).data));
    }
}

void Form1::cmdClear_Click() {
    Text2.setText("");
    Text3.setText("");
    Text2.setFocus();
}

bool Form1::isHandled(Hwnd window) const {
    for (const forms::ListBox::Item& item : List2.items()) {
        Hwnd handled = 0;
        if (parseHandle(item.text, handled) && handled == window) return true;
    }
    return false;
}

void Form1::rememberHandled(Hwnd window) {
    List2.addItem(handleText(window));
    if (List2.count() >= form1::handledWindowsPruneAt) pruneHandledWindows();
}

void Form1::Timer1_Timer() {
    // A tick that comes due while an earlier one waits in its yield is
    // dropped: the next one will look at the foreground window again.
    if (watcherTickRunning_) return;
    ScopedFlag running(watcherTickRunning_);

    Desktop& desktop = context_.desktop;
    SharedSettings& settings = context_.settings;

    const std::string suffix = Text1.text();
    const Hwnd window = desktop.getForegroundWindow();
    if (desktop.isZoomed(window)) return;
    if (desktop.isIconic(window)) return;
    if (isHandled(window)) return;
    if (lastEightCharacters(readWindowTitle(desktop, window)) != suffix) return;

    if (keyIsDown(desktop.getAsyncKeyState(vk::control))) {
        desktop.showWindow(window, show::minimize);
        return;
    }

    context_.runtime.yieldToPendingMessages();
    // The window may have closed while other events ran; maximizing,
    // counting or remembering a window that is gone would be a lie.
    if (!desktop.isWindow(window)) return;

    if (settings.popupActionEnabled == "enabled") {
        Rect32 rect;
        if (!desktop.getWindowRect(window, rect)) return;
        const auto width = static_cast<std::int16_t>(rect.right - rect.left);
        const auto height = static_cast<std::int16_t>(rect.bottom - rect.top);
        if (settings.popupMaxWidth >= width && settings.popupMaxHeight >= height) {
            if (settings.popupAction == "close") {
                desktop.postMessage(window, wmClose, 0, 0);
                addOneStoppingAtMax(settings.statKilledPopups);
            } else {
                rememberHandled(window);
            }
            return;
        }
    }

    desktop.showWindow(window, show::maximize);
    if (settings.fullscreenMode == "yes") desktop.sendF11ToForeground();
    addOneStoppingAtMax(settings.statMaximizeCount);
    rememberHandled(window);
}

void Form1::pruneHandledWindows() {
    cmdRefresh_Click();
    context_.runtime.yieldToPendingMessages();
    for (int index = List2.count() - 1; index >= 0; --index) {
        Hwnd handled = 0;
        const bool valid = parseHandle(List2.item(index).text, handled);
        bool stillOpen = false;
        for (const forms::ListBox::Item& open : List1.items())
            if (valid && static_cast<Hwnd>(open.data) == handled) stillOpen = true;
        if (!stillOpen) List2.removeItem(index);
    }
}

void Form1::Timer2_Timer() {
    Desktop& desktop = context_.desktop;
    const bool letterWasDown = hotkeyLetterDown_;
    hotkeyLetterDown_ = false;
    if (!keyIsDown(desktop.getAsyncKeyState(vk::menu))) return;
    if (!keyIsDown(desktop.getAsyncKeyState(vk::control))) return;
    std::int32_t letter = 0;
    if (!parseDecimal(context_.settings.hotkeyLetter, letter)) return;
    // The letter must be newly pressed. The keyboard's auto-repeat marks a
    // held key as pressed again and again, so a letter that was already down
    // at the previous poll is held, not pressed: holding the keys acts once.
    const std::int16_t state = desktop.getAsyncKeyState(letter);
    hotkeyLetterDown_ = keyIsDown(state);
    if (state != newlyPressed || letterWasDown) return;

    // Hidden windows are listed too, so the next press can show them again.
    cmdRefresh_Click();
    if (Option1.selected())
        hideOrShowListedWindows();
    else if (Option2.selected())
        closeListedWindows();
}

template <typename Action>
void Form1::forEachListedWindowButExcluded(Action action) {
    Hwnd excluded = 0;
    parseHandle(Text3.text(), excluded);
    for (int index = 0; index < List1.count(); ++index) {
        const auto window = static_cast<Hwnd>(List1.item(index).data);
        if (window != 0 && window != excluded) action(window);
    }
}

void Form1::hideOrShowListedWindows() {
    Desktop& desktop = context_.desktop;
    std::string& state = context_.settings.ieWindowState;
    if (state == "visible") {
        forEachListedWindowButExcluded([&](Hwnd window) { desktop.showWindow(window, show::hide); });
        // New windows must not be maximized into a desktop the user has just cleared.
        Timer1.setEnabled(false);
        state = "hidden";
    } else if (state == "hidden") {
        forEachListedWindowButExcluded([&](Hwnd window) { desktop.showWindow(window, show::show); });
        Timer1.setEnabled(true);
        state = "visible";
    }
}

void Form1::closeListedWindows() {
    Desktop& desktop = context_.desktop;
    forEachListedWindowButExcluded([&](Hwnd window) { desktop.postMessage(window, wmClose, 0, 0); });
    cmdRefresh_Click();
}

void Form1::cmdAutoTitle_Click() {
    Desktop& desktop = context_.desktop;
    forms::Runtime& runtime = context_.runtime;

    Desktop::RegistryKey key = 0;
    if (desktop.regOpenCurrentUserKey(form1::browserKey, reg::keyRead, key) != 0) {
        runtime.messageBox("Error, couldn\xb4t read from the registry", form1::caption, forms::mb::iconStop);
        return;
    }

    bool isString = false;
    const std::string title = readBrowserTitle(key, isString);
    if (!isString) {
        runtime.messageBox(
            "The title of Internet Explorer seems to be set to default.If not, set it to default by clicking the "
            "setup button!",
            form1::caption, forms::mb::ok);
        Text1.setText("Explorer");
    } else {
        Text1.setText(std::string(lastEightCharacters(title)));
        if (Text1.text().size() < 8) {
            const int answer = runtime.messageBox(
                "The title of Internet Explorer has to be at least 8 characters long, do you want to set the title "
                "to default? Note: Registry change needed!",
                form1::caption, forms::mb::yesNo);
            if (answer == forms::mb::answerYes) {
                // The script changes the very value we hold open.
                desktop.regCloseKey(key);
                desktop.shellExecute(host() ? host()->handle() : 0, "open",
                                     settingsPath(context_.files, form1::resetTitleScript), "", "", show::restore);
                Text1.setText("Explorer");
                return;
            }
        }
    }
    desktop.regCloseKey(key);
}

std::string Form1::readBrowserTitle(Desktop::RegistryKey key, bool& isString) {
    Desktop& desktop = context_.desktop;
    std::uint32_t type = 0;
    std::uint32_t size = initialTitleBuffer;
    std::string buffer(initialTitleBuffer, ' ');
    std::int32_t result = desktop.regQueryValue(key, form1::browserTitleValue, type, buffer, size);
    // A long title does not fit the first buffer; read it whole, so that its
    // true last characters are found. The value may grow between two reads.
    for (int attempt = 0; result == reg::moreData && attempt < 4; ++attempt) {
        if (type != reg::typeString || size > longestTitleRead) break;
        buffer.assign(size, ' ');
        result = desktop.regQueryValue(key, form1::browserTitleValue, type, buffer, size);
    }
    isString = type == reg::typeString && result != reg::moreData;
    if (!isString) return "";
    // The reported size counts the terminating zero; a value stored without
    // one ends at the size.
    buffer.resize(std::min<std::size_t>(size, buffer.size()));
    return buffer.substr(0, buffer.find('\0'));
}

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
    icon.hWnd = host() ? host()->handle() : 0;
    icon.uID = form1::trayIconId;
    icon.uFlags = form1::trayIconFlags;
    icon.uCallbackMessage = wmMouseMove;
    icon.hIcon = host() ? host()->iconHandle() : 0;
    std::copy_n(form1::trayTip, std::char_traits<char>::length(form1::trayTip), icon.szTip.begin());
    context_.desktop.shellNotifyIcon(nimAdd, icon);
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

void Form1::restoreFromTray() {
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
    // Without the icon a window in the tray could never be brought back.
    if (inTray_) context_.desktop.shellNotifyIcon(nimAdd, context_.trayIconData);
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
        context_.runtime.messageBox("Error, couldn\xb4t write to file popup.cfg, it might be write protected!", "Error",
                                    forms::mb::iconStop);
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
