// What the update window makes of the version page as it loads: the progress,
// the verdict, and a word of its own when the page cannot be had.
#include "about/form5.h"

#include "about/version_page.h"

namespace pellorin {

void Form5::WebBrowser1_ProgressChange(std::int64_t read, std::int64_t announced) {
    const std::int64_t percent = progressPercent(read, announced);
    if (percent >= 0) lblProgress.setCaption(std::to_string(percent) + "%");
}

void Form5::WebBrowser1_DocumentComplete(const std::string& page) {
    WebBrowser1.setCaption(pageText(page));
    // Compared as written: another version, or the same one with blanks
    // around it, is not this one.
    Label5.setCaption(pageTitle(page) == Label6.caption() ? form5::latest : form5::notLatest);
    lblProgress.setVisible(false);
}

void Form5::pageFailed(const LoadFailure& failure) {
    // No page is no verdict: "not the latest" would send the user after a
    // version that may not exist.
    WebBrowser1.setCaption(failureText(failure));
    Label5.setCaption(form5::notChecked);
    lblProgress.setVisible(false);
}

}  // namespace pellorin
