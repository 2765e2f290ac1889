#pragma once

#include <memory>

#include "foundation/forms.h"
#include "foundation/program_context.h"
#include "foundation/web.h"

namespace pellorin {

namespace form5 {
extern const char* const caption;
extern const forms::ControlLayout Image1, Label1, Label3, Label6, Label2, WebBrowser1, Label4, Label5, lblProgress,
    Command2, Command1;
inline constexpr int clientWidth = 5295;
inline constexpr int clientHeight = 2535;
inline constexpr const char* latest = "You have the latest version!";
inline constexpr const char* notLatest = "You don\u00b4t have the latest version!";
inline constexpr const char* notChecked = "Couldn\u00b4t check for a new version!";
inline constexpr const char* unreadable = "The page is in a character set this system cannot read.";
// From the request to the verdict: the build sets it with the addresses.
extern const int deadlineMs;
}  // namespace form5

// "Check for updates...": loads the version page from the maker's web site
// and tells whether this is the latest version.
class Form5 : public forms::Form {
public:
    explicit Form5(ProgramContext context);
    ~Form5() override;

    forms::Image Image1{form5::Image1};
    forms::Label Label1{form5::Label1};
    forms::Label Label3{form5::Label3};
    forms::Label Label6{form5::Label6};
    forms::Label Label2{form5::Label2};
    forms::Label WebBrowser1{form5::WebBrowser1};  // the page, as one line of text
    forms::Label Label4{form5::Label4};
    forms::Label Label5{form5::Label5};
    forms::Label lblProgress{form5::lblProgress};
    forms::CommandButton Command2{form5::Command2};
    forms::CommandButton Command1{form5::Command1};
    forms::Timer tmrDeadline{form5::deadlineMs, false};

    void Form_Load();
    void WebBrowser1_ProgressChange(std::int64_t read, std::int64_t announced);
    void WebBrowser1_DocumentComplete(const std::string& page, const std::string& contentType);
    void pageFailed(const LoadFailure& failure);
    // The check's own time limit, whatever the network layer does with its own.
    void tmrDeadline_Timer();
    void Command2_Click();  // Download
    void Command1_Click();  // Close

    void closeRequested() override { Command1_Click(); }

private:
    // The check could not be made; why says so in the strip.
    void noVerdict(const std::string& why);

    ProgramContext context_;
    std::unique_ptr<PageLoad> load_;
};

}  // namespace pellorin
