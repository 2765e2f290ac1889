#pragma once

#include "foundation/desktop.h"
#include "foundation/file_store.h"
#include "foundation/forms.h"
#include "foundation/settings.h"
#include "foundation/tray_icon_data.h"
#include "mainwindow/form1.h"

namespace pellorin {

// The main program's module-level state and its main window, wired to the
// platform it runs on.
class Program {
public:
    Program(Desktop& desktop, FileStore& files, forms::Runtime& runtime);

    SharedSettings settings;
    TrayIconData trayIconData;
    Form1 form1;
};

}  // namespace pellorin
