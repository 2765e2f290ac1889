// The buttons that start the outside scripts beside the program, and the one
// that opens the pop-up size window.
#include "dialogs/form2.h"

#include "foundation/outside_scripts.h"

namespace pellorin {

void Form2::runScript(const char* script) { runOutsideScript(context_, *this, script); }

void Form2::Command3_Click() { runScript(scripts::resetTitle); }

void Form2::cmdAddIeIcon_Click() { runScript(scripts::addToolbarButton); }

void Form2::cmdRemoveIeIcon_Click() { runScript(scripts::removeToolbarButton); }

void Form2::addStartup() { runScript(scripts::addStartup); }

void Form2::removeStartup() { runScript(scripts::removeStartup); }

void Form2::Command4_Click() { context_.windows.showPopupSize(); }

}  // namespace pellorin
