// Pellorin.exe: the program's windows on the real desktop.
#include <windows.h>

#include <commctrl.h>

#include "foundation/win32/win32_desktop.h"
#include "foundation/win32/win32_files.h"
#include "foundation/win32/win32_host.h"
#include "foundation/win32/win32_web.h"
#include "mainwindow/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0));
    pellorin::Win32Desktop desktop;
    pellorin::Win32Files files;
    pellorin::Win32Runtime runtime(instance, icon);
    pellorin::Win32WebClient web;
    pellorin::Program program(desktop, files, runtime, web);
    pellorin::Form1& form = program.form1;

    runtime.createWindow(form);
    pellorin::FormWindow& window = runtime.windowOf(form);
    runtime.setOwner(window.window());

    form.Form_Load();
    // A "minimized" start has already put the window into the tray.
    if (!form.inTray()) window.show();
    window.deliverResizeEvents();
    return runtime.run();
}
