// The main window's controls and menu entries wired to their handlers; the
// handlers live in one file per role beside this one.
#include "mainwindow/form1.h"

#include <initializer_list>

namespace pellorin {

Form1::Form1(ProgramContext context)
    : forms::Form(form1::caption, form1::clientWidth, form1::clientHeight, forms::Border::fixedWithMinimize),
      context_(context) {
    for (forms::Control* control : std::initializer_list<forms::Control*>{
             &lblTitle, &Text1,   &cmdAutoTitle, &lblHideClose, &lblExclude, &lblHandle,   &Text2,           &Text3,
             &cmdClear, &lblOpen, &List1,        &cmdSetup,     &cmdRefresh, &cmdMinimize, &lblHotkeyAction, &Option1,
             &Option2,  &List2,   &lblHotkey,    &cmdExit,      &imgAbout,   &Shape1,      &Shape2,          &Line1})
        add(*control);
    add(Timer1);
    add(Timer2);
    add(tmrTrayIcon);
    Option1.joinGroup(&hotkeyActionGroup_);
    Option2.joinGroup(&hotkeyActionGroup_);
    // The title box first, so that the keyboard is in the window from the start.
    setFirstFocus(Text1);
    addToSystemMenu(menabout);

    cmdExit.onClick = [this] { cmdExit_Click(); };
    cmdRefresh.onClick = [this] { cmdRefresh_Click(); };
    cmdClear.onClick = [this] { cmdClear_Click(); };
    cmdMinimize.onClick = [this] { minimizeToTray(); };
    cmdAutoTitle.onClick = [this] { cmdAutoTitle_Click(); };
    cmdSetup.onClick = [this] { context_.windows.showSetup(); };
    imgAbout.onClick = [this] { context_.windows.showAbout(); };
    menabout.onClick = [this] { context_.windows.showAbout(); };
    menclose.onClick = [this] { menclose_Click(); };
    mennone.onClick = [this] { mennone_Click(); };
    menenable.onClick = [this] { menenable_Click(); };
    mendisable.onClick = [this] { mendisable_Click(); };
    menrestore.onClick = [this] { menrestore_Click(); };
    menexit.onClick = [this] { menexit_Click(); };
    List1.onClick = [this] { List1_Click(); };
    Text1.onChange = [this] { Text1_Change(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    Timer2.onTick = [this] { Timer2_Timer(); };
    tmrTrayIcon.onTick = [this] { tmrTrayIcon_Timer(); };
}

}  // namespace pellorin
