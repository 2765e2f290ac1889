#include <gtest/gtest.h>

#include <algorithm>
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
const std::string missingBox = "box Can\u00b4t find Pellorin exe-file|Pellorin|48";

struct Window {
    const char* caption;
    const char* className = pellorinWindowClass;
};

struct LaunchCase {
    const char* what;
    std::vector<Window> windows;  // the top-level windows in enumeration order
    std::map<std::string, Start> programs;
    int asked;        // index of the window asked to come back, -1 for none
    int titlesAsked;  // windows whose caption was looked at
    std::vector<std::string> hostCalls;
    const char* folder = "D:\\P";  // the launcher's own, "" when it cannot be found
};

// What asking window to come back leaves on the desktop.
std::vector<std::string> comeBackCalls(Hwnd window) {
    return {"AllowSetForegroundWindow " + std::to_string(window),
            "PostMessage " + std::to_string(window) + " " + std::to_string(SubstituteDesktop::registeredMessageBase) +
                " 0 0"};
}

TEST(LauncherTest, AsksTheFirstPellorinWindowToComeBackOrStartsPellorin) {
    const std::map<std::string, Start> installed{{"Pellorin.exe", Start::started}};
    const LaunchCase cases[] = {
        {"exact caption", {{"Pellorin - notes"}, {"Pellorin"}, {"Other"}}, installed, 1, 2, {"end"}},
        {"letter case differs", {{"pellorin"}, {"PELLORIN"}}, installed, -1, 2, {startMain, "end"}},
        {"trailing or leading blank", {{"Pellorin "}, {" Pellorin"}}, installed, -1, 2, {startMain, "end"}},
        {"a folder window on Pellorin's folder", {{"Pellorin", "CabinetWClass"}}, installed, -1, 1, {startMain, "end"}},
        {"another program's window so called, then Pellorin's",
         {{"Pellorin", "Notepad"}, {"Pellorin"}},
         installed,
         1,
         2,
         {"end"}},
        {"empty captions skipped", {{""}, {""}, {"Pellorin"}}, installed, 2, 3, {"end"}},
        {"two matches: only the first", {{"Pellorin"}, {"Other"}, {"Pellorin"}}, installed, 0, 1, {"end"}},
        {"no window at all", {}, installed, -1, 0, {startMain, "end"}},
        // The installer or a download beside the launcher is never started for Pellorin.
        {"only another pellor*.exe there",
         {{"Other"}},
         {{"pellor~1.exe", Start::started}, {"Pellorin-2.2-setup.exe", Start::started}},
         -1,
         1,
         {startMain, missingBox, "end"}},
        {"Pellorin.exe there but it cannot start",
         {},
         {{"Pellorin.exe", Start::failed}},
         -1,
         0,
         {startMain, missingBox, "end"}},
        {"own folder unknown: nothing started", {}, installed, -1, 0, {missingBox, "end"}, ""},
    };
    for (const LaunchCase& c : cases) {
        SCOPED_TRACE(c.what);
        SubstituteDesktop desktop;
        std::vector<Hwnd> windows;
        for (const Window& window : c.windows) {
            windows.push_back(desktop.open(window.caption));
            desktop.window(windows.back()).className = window.className;
        }
        int titlesAsked = 0;
        desktop.beforeTitleRead = [&](Hwnd) { ++titlesAsked; };
        RecordingLauncherHost host;
        host.programs = c.programs;
        host.folder = c.folder;

        showOrStartPellorin(desktop, host);

        EXPECT_EQ(desktop.calls, c.asked >= 0 ? comeBackCalls(windows[c.asked]) : std::vector<std::string>{});
        EXPECT_EQ(titlesAsked, c.titlesAsked) << "the enumeration stops at the first match";
        EXPECT_EQ(host.calls, c.hostCalls);
        EXPECT_TRUE(std::all_of(windows.begin(), windows.end(), [&](Hwnd w) { return desktop.window(w).visible; }))
            << "the launcher shows nothing itself: Pellorin restores its own window";
    }
}

TEST(LauncherTest, ASecondPellorinWaitsForTheFirstOnesWindowAndHandsOver) {
    for (int appearsAfter : {0, 3, 10}) {
        SCOPED_TRACE(appearsAfter);
        SubstituteDesktop desktop;
        Hwnd first = 0;
        const auto pellorinStarts = [&] {
            first = desktop.open(pellorinCaption);
            desktop.window(first).className = pellorinWindowClass;
        };
        if (appearsAfter == 0) pellorinStarts();
        int looks = 0;
        const bool handedOver = handOverToRunningPellorin(desktop, 5, [&] {
            if (++looks == appearsAfter) pellorinStarts();
        });
        EXPECT_EQ(handedOver, appearsAfter < 5);
        EXPECT_EQ(desktop.calls, handedOver ? comeBackCalls(first) : std::vector<std::string>{});
        EXPECT_EQ(looks, handedOver ? appearsAfter : 4) << "pauses between looks, never after the last";
    }
}

TEST(LauncherTest, AStartRunsUnlessARunningPellorinTookItsPlace) {
    // The lock as this start found it, whether Pellorin's window is there,
    // and what follows: the start runs, or hands over, after so many pauses.
    const struct {
        const char* what;
        CopyLock lock;
        bool windowThere;
        bool runs;
        int pauses;
    } cases[] = {
        {"the lock is ours", CopyLock::ours, true, true, 0},
        {"a running Pellorin holds it", CopyLock::heldByAnother, true, false, 0},
        {"another program holds it: after the wait, the program", CopyLock::heldByAnother, false, true, 4},
        {"its name taken by another kind of object, Pellorin running", CopyLock::unavailable, true, false, 0},
        {"its name taken, no Pellorin: the program at once", CopyLock::unavailable, false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SubstituteDesktop desktop;
        Hwnd running = 0;
        if (c.windowThere) desktop.window(running = desktop.open(pellorinCaption)).className = pellorinWindowClass;
        int pauses = 0;
        EXPECT_EQ(startsHere(desktop, c.lock, 5, [&] { ++pauses; }), c.runs);
        EXPECT_EQ(pauses, c.pauses);
        EXPECT_EQ(desktop.calls, c.runs ? std::vector<std::string>{} : comeBackCalls(running));
    }
}

}  // namespace
}  // namespace pellorin::testing
