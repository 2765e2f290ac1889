// The buttons that start the outside scripts beside the program, and the one
// that opens the pop-up size window.
#include "dialogs/form2.h"

#include "mainwindow/form1.h"
#include "mainwindow/outside_scripts.h"

namespace pellorin {

void Form2::runScript(const char* script) { runOutsideScript(context_, *this, script); }

void Form2::Command3_Click() { runScript(form1::resetTitleScript); }

void Form2::cmdAddIeIcon_Click() { runScript(form2::addToolbarScript); }

void Form2::cmdRemoveIeIcon_Click() { runScript(form2::removeToolbarScript); }

void Form2::addStartup() { runScript(form2::addStartupScript); }

void Form2::removeStartup() { runScript(form2::removeStartupScript); }

void Form2::Command4_Click() { context_.windows.showPopupSize(); }

}  // namespace pellorin
