// The launcher's logic: find the running Pellorin by its caption, or start it.
#include "launcher/launcher.h"

#include "foundation/window_title.h"

namespace pellorin {

bool showRunningPellorin(Desktop& desktop) {
    bool shown = false;
    desktop.enumWindows(
        [&](Hwnd window, std::int32_t) -> std::int32_t {
            // The caption decides alone: another program's window called so
            // is shown as well, and then nothing is started.
            if (readWindowTitle(desktop, window) != pellorinCaption) return 1;
            desktop.showWindow(window, show::show);
            shown = true;
            return 0;
        },
        0);
    return shown;
}

void showOrStartPellorin(Desktop& desktop, LauncherHost& host) {
    if (!showRunningPellorin(desktop)) {
        // Without its own folder the launcher knows of no Pellorin to start:
        // a bare \Pellorin.exe would be one at the root of some drive.
        const std::string folder = host.ownFolder();
        auto result = LauncherHost::StartResult::missing;
        if (!folder.empty()) {
            result = host.startProgram(folder + "\\" + pellorinExecutable, showNormal);
            if (result == LauncherHost::StartResult::missing)
                result = host.startProgram(folder + "\\" + pellorinShortName, showNormal);
        }
        if (result != LauncherHost::StartResult::started)
            host.messageBox(missingExecutableText, pellorinCaption, missingExecutableStyle);
    }
    host.endProgram();
}

}  // namespace pellorin
