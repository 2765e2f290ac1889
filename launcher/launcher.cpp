// The launcher's logic: bring the running Pellorin back, or start it.
#include "launcher/launcher.h"

namespace pellorin {

void showOrStartPellorin(TopLevelWindows& windows, LauncherHost& host) {
    if (const Hwnd running = findRunningPellorin(windows)) {
        askToComeBack(windows, running);
    } else {
        // Without its own folder the launcher knows of no Pellorin to start:
        // a bare \Pellorin.exe would be one at the root of some drive.
        const std::string folder = host.ownFolder();
        // Pellorin's own file and no other: an 8.3 alias such as pellor~1.exe
        // never names Pellorin.exe, which is a short name itself, but the first
        // other pellor*.exe of the folder (an installer or a download beside
        // the launcher), which would then start without a word.
        auto result = LauncherHost::StartResult::missing;
        if (!folder.empty()) result = host.startProgram(folder + "\\" + pellorinExecutable, showNormal);
        if (result != LauncherHost::StartResult::started)
            host.messageBox(missingExecutableText, pellorinCaption, missingExecutableStyle);
    }
    host.endProgram();
}

}  // namespace pellorin
