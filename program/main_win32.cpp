// Pellorin.exe: the program's windows on the real desktop.
#include <windows.h>

#include <commctrl.h>

#include "foundation/running_pellorin.h"
#include "foundation/win32/win32_desktop.h"
#include "foundation/win32/win32_files.h"
#include "foundation/win32/win32_form_window.h"
#include "foundation/win32/win32_libraries.h"
#include "foundation/win32/win32_runtime.h"
#include "foundation/win32/win32_web.h"
#include "program/program.h"

namespace {

// A Pellorin started a second time waits this long for the first one's window
// (both may have been started at the same moment).
constexpr int handOverAttempts = 100;
constexpr DWORD handOverPauseMs = 100;

HICON loadIcon(HINSTANCE instance, int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
}

// How the program was asked to show itself, by a shortcut or by whoever
// started it. Windows hands it over through the main window's first show,
// Wine does not: read here, it counts the same everywhere.
int startShowCommand(int fallback) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : fallback;
}

// The lock that keeps one Pellorin per user session: two would watch the
// same windows, show two icons and overwrite each other's statistics at
// exit. It is owned while the program runs (its handle stays open), so a
// lock left by a Pellorin that ended badly, or made by someone else without
// owning it, is taken over.
pellorin::CopyLock takeCopyLock() {
    HANDLE lock = CreateMutexW(nullptr, TRUE, L"Local\\Pellorin.Running");
    if (!lock) return pellorin::CopyLock::unavailable;  // the name is another kind of object's
    if (GetLastError() != ERROR_ALREADY_EXISTS) return pellorin::CopyLock::ours;
    switch (WaitForSingleObject(lock, 0)) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED: return pellorin::CopyLock::ours;
        default: return pellorin::CopyLock::heldByAnother;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    pellorin::loadLibrariesFromSystemFolderOnly();
    pellorin::Win32Desktop desktop;
    if (!pellorin::startsHere(desktop, takeCopyLock(), handOverAttempts, [] { Sleep(handOverPauseMs); })) return 0;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);

    pellorin::Win32Files files;
    pellorin::Win32Runtime runtime(instance, {loadIcon(instance, SM_CXICON), loadIcon(instance, SM_CXSMICON)});
    pellorin::Win32WebClient web;
    pellorin::Program program(desktop, files, runtime, web);
    pellorin::Form1& form = program.form1;

    runtime.createWindow(form);
    pellorin::FormWindow& window = runtime.windowOf(form);
    runtime.setOwner(window.window());

    form.Form_Load();
    form.applyStartShowCommand(startShowCommand(showCommand));
    // A "minimized" start has already put the window into the tray.
    if (!form.inTray()) window.show();
    window.deliverResizeEvents();
    return runtime.run();
}
