#include "mainwindow/form1.h"

#include "foundation/window_title.h"

namespace pellorin {

namespace {

// Counters stop at the top of their 16-bit range instead of wrapping.
void addOneStoppingAtMax(std::int16_t& counter) {
    if (counter < INT16_MAX) ++counter;
}

bool keyIsDown(std::int16_t state) { return (static_cast<std::uint16_t>(state) & 0x8000u) != 0; }

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
    // The hotkey poller ticks from the start; its keys come with the hotkey feature.
}

void Form1::minimizeToTray() {
    // Until the notification-area icon exists, a minimized main window simply
    // stays on the task bar.
}

}  // namespace pellorin
