// The new-window watcher: every 1.5 s the browser window in the foreground is
// maximized, minimized or treated as a pop-up, once, and remembered.
#include "mainwindow/form1.h"

#include <algorithm>

#include "foundation/window_title.h"

namespace pellorin {

namespace {

// Counters stop at the top of their 16-bit range instead of wrapping.
void addOneStoppingAtMax(std::int16_t& counter) {
    if (counter < INT16_MAX) ++counter;
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

bool Form1::isHandled(Hwnd window) const {
    for (const forms::ListBox::Item& item : List2.items()) {
        Hwnd handled = 0;
        if (parseHandle(item.text, handled) && handled == window) return true;
    }
    return false;
}

bool Form1::wasClosedAsPopup(Hwnd window) {
    // A pop-up that does not close at once (a "leave this page?" prompt, a
    // busy page) is asked once and counted once, not at every tick. Only
    // windows still there are kept: a handle is worth nothing once its
    // window is gone.
    std::erase_if(closedPopups_, [this](Hwnd closed) { return !context_.desktop.isWindow(closed); });
    return std::find(closedPopups_.begin(), closedPopups_.end(), window) != closedPopups_.end();
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

    const std::string suffix = titleSuffix_;
    // An emptied box (the user is about to type a new suffix) matches no
    // window, as in the list: not every untitled window in front, the task
    // bar and tool windows among them.
    if (suffix.empty()) return;
    const Hwnd window = desktop.getForegroundWindow();
    if (desktop.isZoomed(window)) return;
    if (desktop.isIconic(window)) return;
    if (isHandled(window)) return;
    if (wasClosedAsPopup(window)) return;
    if (lastEightCharacters(context_.runtime, readWindowTitle(desktop, window)) != suffix) return;
    if (isFolderWindow(desktop, window)) return;

    if (keyIsDown(desktop.getAsyncKeyState(vk::control))) {
        desktop.showWindow(window, show::minimize);
        return;
    }

    const bool hiddenBefore = settings.ieWindowState == "hidden";
    context_.runtime.yieldToPendingMessages();
    // What the decision rested on may have changed while other events ran:
    // the window closed (counting it would be a lie), the hotkey hid the
    // browser windows or the tray menu switched maximizing off (the user's
    // latest word wins), or the user minimized the window or went to
    // another one (F11 would reach whatever is in front now).
    if (!desktop.isWindow(window)) return;
    if (!Timer1.enabled() || (settings.ieWindowState == "hidden" && !hiddenBefore)) return;
    if (desktop.getForegroundWindow() != window || desktop.isIconic(window)) return;

    if (settings.popupActionEnabled == "enabled") {
        Rect32 rect;
        if (!desktop.getWindowRect(window, rect)) return;
        // Measured whole: a window wider than 32767 pixels is no pop-up.
        const std::int64_t width = std::int64_t{rect.right} - rect.left;
        const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
        if (settings.popupMaxWidth >= width && settings.popupMaxHeight >= height) {
            if (settings.popupAction == "close") {
                desktop.postMessage(window, wmClose, 0, 0);
                addOneStoppingAtMax(settings.statKilledPopups);
                closedPopups_.push_back(window);
            } else {
                rememberHandled(window);
            }
            return;
        }
    }

    desktop.showWindow(window, show::maximize);
    if (settings.fullscreenMode == "yes") desktop.sendF11(window);
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

}  // namespace pellorin
