// Pellorin.exe: the main window on the real desktop.
#include <windows.h>

#include <commctrl.h>

#include "foundation/win32/win32_desktop.h"
#include "foundation/win32/win32_files.h"
#include "foundation/win32/win32_host.h"
#include "mainwindow/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    pellorin::Win32Desktop desktop;
    pellorin::Win32Files files;
    pellorin::Win32Runtime runtime;
    pellorin::Program program(desktop, files, runtime);
    pellorin::Form1& form = program.form1;

    HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0));
    pellorin::FormWindow window(form, instance, icon,
                                {.resize = [&] { form.Form_Resize(); },
                                 .unload = [&] { form.Form_Unload(); },
                                 .endSession = [&] { form.Form_Unload(); },
                                 .terminate = [&] { form.Form_Terminate(); },
                                 .mouseMove = [&](double x) { form.Form_MouseMove(x); },
                                 .taskbarCreated = [&] { form.taskbarRecreated(); }});
    runtime.setOwner(window.window());
    runtime.addDialogWindow(window.window());

    form.Form_Load();
    // A "minimized" start has already put the window into the tray.
    if (!form.inTray()) window.show();
    window.deliverResizeEvents();
    return runtime.run();
}
