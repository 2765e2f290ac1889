// The about box: its controls wired to their handlers, the statistics it
// loads with, its two links, and closing.
#include "about/form3.h"

#include <cstdlib>
#include <initializer_list>

#include "about/addresses.h"
#include "foundation/desktop.h"

namespace pellorin {

std::string savedMouseMovement(std::int16_t maximizeCount, const std::string& decimalSeparator) {
    // A tenth per maximize: whole meters, and one decimal digit when there is one.
    const int count = maximizeCount;
    const int tenths = std::abs(count);
    std::string text = count < 0 ? "-" : "";
    text += std::to_string(tenths / 10);
    if (tenths % 10 != 0) text += decimalSeparator + std::to_string(tenths % 10);
    return text;
}

Form3::Form3(ProgramContext context)
    : forms::Form(form3::caption, form3::clientWidth, form3::clientHeight), context_(context) {
    for (forms::Control* control : std::initializer_list<forms::Control*>{
             &Image1, &Label4, &Label1, &Label5, &Label2, &Label3, &Label6, &Label8, &Label7, &Label9, &Label10,
             &Label11, &Text1, &Command3, &Command2, &Command1})
        add(*control);
    // The links before the document, as they read: Tab reaches them, Enter
    // or Space opens them; from the document Tab goes back to Close.
    setTabOrder({&Command1, &Command3, &Command2, &Label2, &Label3, &Text1});
    setFirstFocus(Command1);
    setDefaultButton(Command1);
    Command3.onClick = [this] { Command3_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Label2.onClick = [this] { Label2_Click(); };
    Label3.onClick = [this] { Label3_Click(); };
}

void Form3::Form_Load() {
    const SharedSettings& settings = context_.settings;
    Label8.setCaption(std::to_string(settings.statMaximizeCount));
    Label9.setCaption(std::to_string(settings.statKilledPopups));
    Label11.setCaption(savedMouseMovement(settings.statMaximizeCount, context_.runtime.decimalSeparator()) + " Meters");
    showDocument(form3::readme, form3::readmeMissing);
}

void Form3::Label2_Click() {
    openWithShell(context_, *this, std::string("mailto:") + addresses::mail + "?Subject=Pellorin_2.2");
}

void Form3::Label3_Click() { openWithShell(context_, *this, addresses::homePage); }

void Form3::Command2_Click() { context_.windows.showUpdateCheck(); }

void Form3::Command1_Click() { context_.windows.unload(*this); }

}  // namespace pellorin
