// The launcher's logic: bring the running Pellorin back, or start it.
#include "launcher/launcher.h"

namespace pellorin {

void showOrStartPellorin(Desktop& desktop, LauncherHost& host) {
    if (const Hwnd running = findRunningPellorin(desktop)) {
        askToComeBack(desktop, running);
    } else {
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
