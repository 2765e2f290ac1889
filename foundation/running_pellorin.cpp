// Finding the running Pellorin and asking it to come back: the launcher
// does it, and so does a Pellorin started a second time.
#include "foundation/running_pellorin.h"

#include "foundation/window_title.h"

namespace pellorin {

Hwnd findRunningPellorin(TopLevelWindows& windows) {
    Hwnd found = 0;
    windows.enumWindows(
        [&](Hwnd window, std::int32_t) -> std::int32_t {
            if (readWindowTitle(windows, window) != pellorinCaption) return 1;
            if (windows.getClassName(window) != pellorinWindowClass) return 1;
            found = window;
            return 0;
        },
        0);
    return found;
}

void askToComeBack(TopLevelWindows& windows, Hwnd window) {
    windows.allowSetForegroundWindow(window);
    windows.postMessage(window, windows.registerWindowMessage(comeBackMessageName), 0, 0);
}

bool handOverToRunningPellorin(TopLevelWindows& windows, int attempts, const std::function<void()>& pause) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) pause();
        if (const Hwnd window = findRunningPellorin(windows)) {
            askToComeBack(windows, window);
            return true;
        }
    }
    return false;
}

bool startsHere(TopLevelWindows& windows, CopyLock lock, int attempts, const std::function<void()>& pause) {
    switch (lock) {
        case CopyLock::ours: return true;
        case CopyLock::heldByAnother: return !handOverToRunningPellorin(windows, attempts, pause);
        case CopyLock::unavailable: return !handOverToRunningPellorin(windows, 1, pause);
    }
    return true;
}

}  // namespace pellorin
