#pragma once

#include <cstdint>
#include <string>

#include "foundation/desktop.h"
#include "foundation/file_store.h"
#include "foundation/forms.h"
#include "foundation/settings.h"
#include "foundation/tray_icon_data.h"
#include "foundation/web.h"

namespace pellorin {

// The program's name, the title of its messages.
inline constexpr const char* programName = "Pellorin";

// The main program's windows as each of them reaches the others. Every
// window but the main one exists at most once: showing it loads it when it
// is not loaded, and brings it to the front when it is.
class ProgramWindows {
public:
    virtual ~ProgramWindows() = default;
    virtual void showSetup() = 0;
    virtual void showPopupSize() = 0;
    virtual void showAbout() = 0;
    virtual void showUpdateCheck() = 0;
    // Closing a window unloads it; the next showing loads it afresh.
    virtual void unload(forms::Form& form) = 0;
    // The main window names the hotkey's letter as it now is.
    virtual void showHotkeyLetter(const std::string& letter) = 0;
    // The settings dialog, while it is loaded, shows the pop-up size just
    // taken; it is not loaded for it (that would read the stored one).
    virtual void showPopupSizeInSetup(std::int16_t width, std::int16_t height) = 0;
};

// What every window of the main program works with.
struct ProgramContext {
    Desktop& desktop;
    FileStore& files;
    forms::Runtime& runtime;
    SharedSettings& settings;
    TrayIconData& trayIconData;  // zero until the window first goes to the tray
    ProgramWindows& windows;
    WebClient& web;
};

// Hands a file or an address to the shell the way every window of the
// program does: "open", no parameters, restored, the window as its owner.
// Nothing waits for it, and nothing is said if it cannot start.
inline void openWithShell(ProgramContext& context, forms::Form& owner, const std::string& file) {
    context.desktop.shellExecute(owner.windowHandle(), "open", file, "", "", show::restore);
}

}  // namespace pellorin
