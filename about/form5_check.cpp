// What the update window makes of the version page as it loads: the progress,
// the verdict, and a word of its own when the page cannot be had.
#include "about/form5.h"

#include "about/version_page.h"

namespace pellorin {

void Form5::WebBrowser1_ProgressChange(std::int64_t read, std::int64_t announced) {
    const std::int64_t percent = progressPercent(read, announced);
    if (percent >= 0) lblProgress.setCaption(std::to_string(percent) + "%");
}

void Form5::WebBrowser1_DocumentComplete(const std::string& page, const std::string& contentType) {
    tmrDeadline.setEnabled(false);
    const std::optional<std::string> decoded = decodePage(page, contentType, context_.runtime);
    if (!decoded) {
        // A page this system cannot read might name any version.
        noVerdict(form5::unreadable);
        return;
    }
    const VersionPage read = readVersionPage(*decoded);
    WebBrowser1.setCaption(read.text);
    // Compared as written: another version, or the same one with blanks
    // around it, is not this one.
    Label5.setCaption(read.title == Label6.caption() ? form5::latest : form5::notLatest);
    lblProgress.setVisible(false);
}

void Form5::pageFailed(const LoadFailure& failure) { noVerdict(failureText(failure)); }

void Form5::noVerdict(const std::string& why) {
    tmrDeadline.setEnabled(false);
    // No page is no verdict: "not the latest" would send the user after a
    // version that may not exist.
    WebBrowser1.setCaption(why);
    Label5.setCaption(form5::notChecked);
    lblProgress.setVisible(false);
}

void Form5::tmrDeadline_Timer() {
    // Given up, the load says nothing more, however late the server speaks.
    load_.reset();
    pageFailed({LoadFailure::Kind::timedOut, 0});
}

}  // namespace pellorin
