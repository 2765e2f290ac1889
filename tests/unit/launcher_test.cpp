#include <gtest/gtest.h>

#include <map>

#include "launcher/launcher.h"
#include "substitute_desktop.h"

namespace pellorin::testing {
namespace {

using Start = LauncherHost::StartResult;

// The launcher's side of the system, recorded: "start PATH SHOW", "box TEXT|TITLE|STYLE", "end".
class RecordingLauncherHost : public LauncherHost {
public:
    std::map<std::string, Start> programs;  // by file name; any other is missing
    std::vector<std::string> calls;

    std::string folder = "D:\\P";
    std::string ownFolder() override { return folder; }
    Start startProgram(const std::string& path, int showCommand) override {
        calls.push_back("start " + path + " " + std::to_string(showCommand));
        auto found = programs.find(path.substr(path.rfind('\\') + 1));
        return found == programs.end() ? Start::missing : found->second;
    }
    void messageBox(const std::string& text, const std::string& title, int style) override {
        calls.push_back("box " + text + "|" + title + "|" + std::to_string(style));
    }
    void endProgram() override { calls.push_back("end"); }
};

const std::string startMain = "start D:\\P\\Pellorin.exe 1";
const std::string startShort = "start D:\\P\\pellor~1.exe 1";
const std::string missingBox = "box Can\u00b4t find Pellorin exe-file|Pellorin|48";

struct LaunchCase {
    const char* what;
    std::vector<std::string> captions;  // the top-level windows in enumeration order
    std::map<std::string, Start> programs;
    int shown;        // index of the window shown with SW_SHOW, -1 for none
    int titlesAsked;  // windows whose caption was looked at
    std::vector<std::string> hostCalls;
    const char* folder = "D:\\P";  // the launcher's own, "" when it cannot be found
};

TEST(LauncherTest, ShowsTheFirstWindowCaptionedPellorinOrStartsPellorin) {
    const std::map<std::string, Start> installed{{"Pellorin.exe", Start::started}};
    const LaunchCase cases[] = {
        {"exact caption", {"Pellorin - notes", "Pellorin", "Other"}, installed, 1, 2, {"end"}},
        {"letter case differs", {"pellorin", "PELLORIN"}, installed, -1, 2, {startMain, "end"}},
        {"trailing or leading blank", {"Pellorin ", " Pellorin"}, installed, -1, 2, {startMain, "end"}},
        {"empty captions skipped", {"", "", "Pellorin"}, installed, 2, 3, {"end"}},
        {"two matches: only the first", {"Pellorin", "Other", "Pellorin"}, installed, 0, 1, {"end"}},
        {"no window at all", {}, installed, -1, 0, {startMain, "end"}},
        {"only the short name there",
         {"Other"},
         {{"pellor~1.exe", Start::started}},
         -1,
         1,
         {startMain, startShort, "end"}},
        {"short name only when the long one is missing",
         {},
         {{"Pellorin.exe", Start::failed}},
         -1,
         0,
         {startMain, missingBox, "end"}},
        {"neither there", {"pellorin"}, {}, -1, 1, {startMain, startShort, missingBox, "end"}},
        {"own folder unknown: nothing started", {}, installed, -1, 0, {missingBox, "end"}, ""},
    };
    for (const LaunchCase& c : cases) {
        SCOPED_TRACE(c.what);
        SubstituteDesktop desktop;
        std::vector<Hwnd> windows;
        for (const std::string& caption : c.captions) windows.push_back(desktop.open(caption));
        int titlesAsked = 0;
        desktop.beforeTitleRead = [&](Hwnd) { ++titlesAsked; };
        RecordingLauncherHost host;
        host.programs = c.programs;
        host.folder = c.folder;

        showOrStartPellorin(desktop, host);

        std::vector<std::string> expectedShow;
        if (c.shown >= 0) expectedShow.push_back("ShowWindow " + std::to_string(windows[c.shown]) + " 5");
        EXPECT_EQ(desktop.calls, expectedShow);
        EXPECT_EQ(titlesAsked, c.titlesAsked) << "the enumeration stops at the first match";
        EXPECT_EQ(host.calls, c.hostCalls);
    }
}

}  // namespace
}  // namespace pellorin::testing
