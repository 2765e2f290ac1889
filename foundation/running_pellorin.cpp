// Finding the running Pellorin and asking it to come back: the launcher
// does it, and so does a Pellorin started a second time.
#include "foundation/running_pellorin.h"

#include "foundation/window_title.h"

namespace pellorin {

Hwnd findRunningPellorin(Desktop& desktop) {
    Hwnd found = 0;
    desktop.enumWindows(
        [&](Hwnd window, std::int32_t) -> std::int32_t {
            if (readWindowTitle(desktop, window) != pellorinCaption) return 1;
            if (desktop.getClassName(window) != pellorinWindowClass) return 1;
            found = window;
            return 0;
        },
        0);
    return found;
}

void askToComeBack(Desktop& desktop, Hwnd window) {
    desktop.allowSetForegroundWindow(window);
    desktop.postMessage(window, desktop.registerWindowMessage(comeBackMessageName), 0, 0);
}

bool handOverToRunningPellorin(Desktop& desktop, int attempts, const std::function<void()>& pause) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) pause();
        if (const Hwnd window = findRunningPellorin(desktop)) {
            askToComeBack(desktop, window);
            return true;
        }
    }
    return false;
}

bool startsHere(Desktop& desktop, CopyLock lock, int attempts, const std::function<void()>& pause) {
    switch (lock) {
        case CopyLock::ours: return true;
        case CopyLock::heldByAnother: return !handOverToRunningPellorin(desktop, attempts, pause);
        case CopyLock::unavailable: return !handOverToRunningPellorin(desktop, 1, pause);
    }
    return true;
}

}  // namespace pellorin
