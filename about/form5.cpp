// The update window: its controls, loading the version page when it loads,
// and its two buttons.
#include "about/form5.h"

#include <initializer_list>

#include "about/addresses.h"
#include "foundation/desktop.h"

namespace pellorin {

const int form5::deadlineMs = addresses::versionPageTimeLimitMs;

Form5::Form5(ProgramContext context)
    : forms::Form(form5::caption, form5::clientWidth, form5::clientHeight), context_(context) {
    for (forms::Control* control :
         std::initializer_list<forms::Control*>{&Image1, &Label1, &Label3, &Label6, &Label2, &WebBrowser1, &Label4,
                                                &Label5, &lblProgress, &Command2, &Command1})
        add(*control);
    setTabOrder({&Command1, &Command2});
    setFirstFocus(Command1);
    setDefaultButton(Command1);
    add(tmrDeadline);
    tmrDeadline.onTick = [this] { tmrDeadline_Timer(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
}

// A load still running is given up with the window: it reports nothing more.
Form5::~Form5() = default;

void Form5::Form_Load() {
    LoadEvents events;
    events.progress = [this](std::int64_t read, std::int64_t announced) {
        WebBrowser1_ProgressChange(read, announced);
    };
    events.loaded = [this](const std::string& page, const std::string& contentType) {
        WebBrowser1_DocumentComplete(page, contentType);
    };
    events.failed = [this](const LoadFailure& failure) { pageFailed(failure); };
    tmrDeadline.setEnabled(true);
    load_ = context_.web.load(addresses::versionPage, std::move(events));
}

void Form5::Command2_Click() { openWithShell(context_, *this, addresses::homePage); }

void Form5::Command1_Click() {
    load_.reset();
    context_.windows.unload(*this);
}

}  // namespace pellorin
