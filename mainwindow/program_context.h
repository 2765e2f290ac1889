#pragma once

#include "foundation/desktop.h"
#include "foundation/file_store.h"
#include "foundation/forms.h"
#include "foundation/settings.h"
#include "foundation/tray_icon_data.h"
#include "foundation/web.h"

namespace pellorin {

class Form1;
class Form2;
class Form3;
class Form4;
class Form5;

// The main program's windows as each of them reaches the others. Every
// window but the main one exists at most once: showing it loads it when it
// is not loaded, and brings it to the front when it is.
class ProgramWindows {
public:
    virtual ~ProgramWindows() = default;
    virtual Form1& mainWindow() = 0;
    virtual void showSetup() = 0;
    virtual void showPopupSize() = 0;
    virtual void showAbout() = 0;
    virtual void showUpdateCheck() = 0;
    // Closing a window unloads it; the next showing loads it afresh.
    virtual void unload(forms::Form& form) = 0;
    // The settings dialog while it is loaded, nullptr otherwise.
    virtual Form2* loadedSetup() = 0;
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
    context.desktop.shellExecute(owner.host() ? owner.host()->handle() : 0, "open", file, "", "", show::restore);
}

}  // namespace pellorin
