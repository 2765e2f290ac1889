#pragma once

#include <string>

#include "foundation/desktop.h"
#include "foundation/running_pellorin.h"

namespace pellorin {

// What rovudir needs beyond the desktop. Paths and texts are UTF-8, so that
// a user profile outside the ANSI code page still holds a working install,
// and the message reads the same on every system.
class LauncherHost {
public:
    enum class StartResult { started, missing, failed };

    virtual ~LauncherHost() = default;

    // The folder of the running launcher, without a trailing separator; ""
    // when it cannot be found.
    virtual std::string ownFolder() = 0;
    virtual StartResult startProgram(const std::string& path, int showCommand) = 0;
    virtual void messageBox(const std::string& text, const std::string& title, int style) = 0;
    virtual void endProgram() = 0;
};

// The name the main program ships under, in the launcher's own folder.
inline constexpr const char* pellorinExecutable = "Pellorin.exe";
inline constexpr int showNormal = 1;  // SW_SHOWNORMAL: a normal window that takes the focus
inline constexpr const char* missingExecutableText = "Can\u00b4t find Pellorin exe-file";
inline constexpr int missingExecutableStyle = 48;  // exclamation icon, one OK button

// rovudir's whole run: the running Pellorin asked to come back on the
// screen, or Pellorin started from the launcher's folder, or one message
// saying it is not there.
void showOrStartPellorin(TopLevelWindows& windows, LauncherHost& host);

}  // namespace pellorin
