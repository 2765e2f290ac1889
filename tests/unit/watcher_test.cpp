#include <algorithm>
#include <functional>

#include "foundation/window_title.h"
#include "program_fixture.h"

namespace pellorin::testing {
namespace {

class WatcherTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        load();
        desktop.calls.clear();
    }

    // Opens a browser window that takes the focus.
    Hwnd focusNew(const std::string& title = "Start - Windows Internet Explorer", Rect32 rect = {100, 100, 900, 700}) {
        const Hwnd window = desktop.open(title, rect);
        desktop.foreground = window;
        return window;
    }

    void tick() { form.Timer1.tick(); }

    // Ctrl+Alt+Q as the hotkey poll sees it, run while the watcher yields.
    void pressHotkeyDuringYield() {
        desktop.press(vk::control);
        desktop.press(vk::menu);
        desktop.press(81);
        form.Timer2.tick();
        desktop.release(81);
        desktop.release(vk::menu);
        desktop.release(vk::control);
    }

    std::string shown(Hwnd window, int command) {
        return "ShowWindow " + std::to_string(window) + " " + std::to_string(command);
    }
};

TEST_F(WatcherTest, MaximizesANewBrowserWindowOnceAndCountsIt) {
    const Hwnd window = focusNew();
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(window, 3)});
    EXPECT_EQ(settings.statMaximizeCount, 1);
    EXPECT_EQ(listTexts(form.List2), std::vector<std::string>{std::to_string(window)});

    desktop.window(window).zoomed = false;  // the user restores it: it stays as the user wants
    tick();
    EXPECT_EQ(desktop.calls.size(), 1u);
    EXPECT_EQ(settings.statMaximizeCount, 1);
}

TEST_F(WatcherTest, LeavesAloneWhatIsNotANewNormalBrowserWindow) {
    const Hwnd other = focusNew("Notepad");
    tick();
    const Hwnd maximized = focusNew();
    desktop.window(maximized).zoomed = true;
    tick();
    const Hwnd minimized = focusNew();
    desktop.window(minimized).iconic = true;
    tick();
    desktop.foreground = 0;
    tick();
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_EQ(form.List2.count(), 0);
    EXPECT_EQ(settings.statMaximizeCount, 0);
    (void)other;

    desktop.window(maximized).zoomed = false;  // restored with the focus: now it is new
    desktop.foreground = maximized;
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(maximized, 3)});
}

TEST_F(WatcherTest, FolderWindowsAreLeftAloneAndF11GoesOnlyToTheWindowInFront) {
    settings.fullscreenMode = "yes";
    for (const char* folderClass : {"CabinetWClass", "ExploreWClass"}) {
        const Hwnd folder = focusNew("Downloads - File Explorer");
        desktop.window(folder).className = folderClass;
        tick();
    }
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_EQ(form.List2.count(), 0);

    const Hwnd browser = focusNew();
    desktop.window(browser).className = "IEFrame";
    tick();
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{shown(browser, 3), "F11 " + std::to_string(browser)}));
}

TEST_F(WatcherTest, TheSuffixIsReadAtEveryTick) {
    const Hwnd window = focusNew("Start - Mozilla");
    tick();
    EXPECT_TRUE(desktop.calls.empty());
    form.Text1.setText(" Mozilla");
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(window, 3)});
}

TEST_F(WatcherTest, AnEmptySuffixMatchesNoWindow) {
    // The user has emptied the box to type a new suffix: the task bar and
    // tool windows have no title, and are no browser windows.
    form.Text1.setText("");
    focusNew("Start - Windows Internet Explorer");
    tick();
    focusNew("");
    tick();
    desktop.foreground = 0;
    tick();
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_EQ(settings.statMaximizeCount, 0);
    EXPECT_EQ(form.List2.count(), 0);
}

TEST_F(WatcherTest, CtrlDownMinimizesWithoutCountingOrRemembering) {
    for (std::int16_t state : {std::int16_t(0x8000), std::int16_t(0x8001)}) {
        desktop.calls.clear();
        const Hwnd window = focusNew();
        desktop.keyStates[vk::control] = state;
        tick();
        EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(window, 6)}) << "Ctrl state " << state;
        EXPECT_EQ(runtime.yields, 1) << "no yield before the Ctrl test";
    }
    EXPECT_EQ(settings.statMaximizeCount, 0);
    EXPECT_EQ(form.List2.count(), 0);

    // Pressed since the last poll but no longer down does not count.
    desktop.keyStates[vk::control] = 0x0001;
    desktop.calls.clear();
    const Hwnd window = focusNew();
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(window, 3)});
}

TEST_F(WatcherTest, PopupThresholdIsInclusiveAndSigned) {
    settings.popupActionEnabled = "enabled";
    settings.popupAction = "close";
    settings.popupMaxWidth = 400;
    settings.popupMaxHeight = 300;
    struct Case {
        std::int32_t width, height;
        bool popup;
    };
    const Case cases[] = {
        {400, 300, true}, {401, 300, false},   {400, 301, false},
        {1, 1, true},     {40000, 300, false}, {65836, 300, false},  // wider than 16 bits, not wrapped round
    };
    for (const Case& c : cases) {
        desktop.calls.clear();
        const Hwnd window = focusNew("Ad - Windows Internet Explorer", {10, 20, 10 + c.width, 20 + c.height});
        tick();
        const std::string expected = c.popup ? "PostMessage " + std::to_string(window) + " 16 0 0" : shown(window, 3);
        EXPECT_EQ(desktop.calls, std::vector<std::string>{expected}) << c.width << " x " << c.height;
    }
    EXPECT_EQ(settings.statKilledPopups, 2);
    EXPECT_EQ(settings.statMaximizeCount, 4);
    EXPECT_EQ(form.List2.count(), 4) << "closed pop-ups are not remembered";
}

TEST_F(WatcherTest, PopupActionOnlyWhenExactlyEnabled) {
    settings.popupMaxWidth = 1000;
    settings.popupMaxHeight = 1000;
    settings.popupAction = "close";
    for (const char* enabled : {"", "disabled", "Enabled"}) {
        settings.popupActionEnabled = enabled;
        desktop.calls.clear();
        const Hwnd window = focusNew();
        tick();
        EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(window, 3)}) << "\"" << enabled << "\"";
    }
    settings.popupActionEnabled = "enabled";
    settings.popupMaxWidth = 0;
    settings.popupMaxHeight = 0;
    desktop.calls.clear();
    const Hwnd ordinary = focusNew();
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(ordinary, 3)}) << "thresholds 0, 0 catch nothing";
}

TEST_F(WatcherTest, PopupsLeftAloneAreRememberedNotMaximized) {
    settings.popupActionEnabled = "enabled";
    settings.popupMaxWidth = 500;
    settings.popupMaxHeight = 500;
    for (const char* action : {"", "none", "Close"}) {
        settings.popupAction = action;
        const Hwnd window = focusNew("Ad - Windows Internet Explorer", {0, 0, 300, 200});
        tick();
        tick();
        EXPECT_EQ(form.List2.items().back().text, std::to_string(window)) << "\"" << action << "\"";
    }
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_EQ(settings.statKilledPopups, 0);
    EXPECT_EQ(settings.statMaximizeCount, 0);
}

TEST_F(WatcherTest, FullscreenSendsF11AfterTheMaximize) {
    settings.fullscreenMode = "yes";
    const Hwnd window = focusNew();
    tick();
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{shown(window, 3), "F11 " + std::to_string(window)}));
    settings.fullscreenMode = "Yes";
    const Hwnd next = focusNew();
    desktop.calls.clear();
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(next, 3)});
}

TEST_F(WatcherTest, CountersStopAt32767) {
    settings.statMaximizeCount = 32767;
    const Hwnd window = focusNew();
    tick();
    EXPECT_EQ(settings.statMaximizeCount, 32767);
    EXPECT_EQ(listTexts(form.List2), std::vector<std::string>{std::to_string(window)});

    settings.popupActionEnabled = "enabled";
    settings.popupAction = "close";
    settings.popupMaxWidth = settings.popupMaxHeight = 2000;
    settings.statKilledPopups = 32767;
    focusNew();
    tick();
    EXPECT_EQ(settings.statKilledPopups, 32767);
}

TEST_F(WatcherTest, TwentyHandledWindowsArePrunedToTheOpenOnes) {
    std::vector<Hwnd> windows;
    for (int i = 0; i < 19; ++i) {
        windows.push_back(focusNew("Page " + std::to_string(i) + " - Windows Internet Explorer"));
        tick();
    }
    ASSERT_EQ(form.List2.count(), 19);
    for (int i : {0, 3, 4, 10, 18}) desktop.close(windows[static_cast<std::size_t>(i)]);
    const int yieldsBefore = runtime.yields;
    const Hwnd last = focusNew();
    tick();
    EXPECT_EQ(runtime.yields - yieldsBefore, 2) << "one yield in the tick, one in the pruning";
    std::vector<std::string> expected;
    for (int i = 0; i < 19; ++i)
        if (desktop.exists(windows[static_cast<std::size_t>(i)])) expected.push_back(std::to_string(windows[i]));
    expected.push_back(std::to_string(last));
    EXPECT_EQ(listTexts(form.List2), expected);
    EXPECT_EQ(form.List1.count(), 15);
}

TEST_F(WatcherTest, PruningForgetsWindowsWhoseTitleNoLongerMatches) {
    std::vector<Hwnd> windows;
    for (int i = 0; i < 19; ++i) {
        windows.push_back(focusNew());
        tick();
    }
    desktop.window(windows[5]).title = "Something else entirely";
    focusNew();
    tick();
    EXPECT_EQ(form.List2.count(), 19);
    desktop.window(windows[5]).title = "Back - Windows Internet Explorer";
    desktop.window(windows[5]).zoomed = false;
    desktop.foreground = windows[5];
    desktop.calls.clear();
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(windows[5], 3)}) << "forgotten, so new again";
}

TEST_F(WatcherTest, AWindowThatClosesDuringTheYieldIsNeitherCountedNorRemembered) {
    const Hwnd window = focusNew();
    runtime.onYield = [&] { desktop.close(window); };
    tick();
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_EQ(settings.statMaximizeCount, 0);
    EXPECT_EQ(form.List2.count(), 0);
}

TEST_F(WatcherTest, EventsDuringTheYieldSeeAConsistentProgram) {
    const Hwnd window = focusNew();
    // Another tick comes due while this one yields: it must not handle the window twice.
    runtime.onYield = [&] { form.Timer1.tick(); };
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{shown(window, 3)});
    EXPECT_EQ(settings.statMaximizeCount, 1);

    // The user switches the pop-up action on meanwhile: the tick goes on with it.
    settings.popupActionEnabled = "enabled";
    settings.popupAction = "close";
    const Hwnd popup = focusNew("Ad - Windows Internet Explorer", {0, 0, 200, 200});
    settings.popupActionEnabled = "";
    runtime.onYield = [&] {
        settings.popupActionEnabled = "enabled";
        settings.popupMaxWidth = settings.popupMaxHeight = 300;
    };
    desktop.calls.clear();
    tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"PostMessage " + std::to_string(popup) + " 16 0 0"});
}

TEST_F(WatcherTest, WhatHappensDuringTheYieldDecides) {
    settings.fullscreenMode = "yes";
    Hwnd other = 0;
    const struct {
        const char* what;
        std::function<void(Hwnd)> meanwhile;
    } cases[] = {
        {"the hotkey hides the browser windows", [&](Hwnd) { pressHotkeyDuringYield(); }},
        {"the tray menu switches maximizing off", [&](Hwnd) { form.mendisable_Click(); }},
        {"the user minimizes the window", [&](Hwnd window) { desktop.window(window).iconic = true; }},
        {"the user goes to another window", [&](Hwnd) { desktop.foreground = other = desktop.open("Word"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        form.Timer1.setEnabled(true);
        settings.ieWindowState = "visible";
        const Hwnd window = focusNew();
        runtime.onYield = [&] {
            runtime.onYield = nullptr;
            c.meanwhile(window);
        };
        desktop.calls.clear();
        tick();
        for (const std::string& call : desktop.calls)
            EXPECT_TRUE(call.rfind("ShowWindow " + std::to_string(window), 0) != 0 || call == shown(window, 0))
                << call << ": the window was acted on";
        EXPECT_EQ(std::count(desktop.calls.begin(), desktop.calls.end(), "F11 " + std::to_string(other)), 0);
        EXPECT_EQ(settings.statMaximizeCount, 0);
        EXPECT_EQ(form.List2.count(), 0) << "not remembered: it is new again next time";
    }
}

TEST_F(WatcherTest, APopupThatStaysIsAskedToCloseAndCountedOnce) {
    settings.popupActionEnabled = "enabled";
    settings.popupAction = "close";
    settings.popupMaxWidth = settings.popupMaxHeight = 500;
    const Hwnd prompt = focusNew("Leave? - Windows Internet Explorer", {0, 0, 300, 200});
    for (int i = 0; i < 40; ++i) tick();
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"PostMessage " + std::to_string(prompt) + " 16 0 0"});
    EXPECT_EQ(settings.statKilledPopups, 1);

    desktop.close(prompt);
    const Hwnd next = focusNew("Ad - Windows Internet Explorer", {0, 0, 300, 200});
    tick();
    EXPECT_EQ(desktop.calls.back(), "PostMessage " + std::to_string(next) + " 16 0 0");
    EXPECT_EQ(settings.statKilledPopups, 2);
}

TEST_F(WatcherTest, ExitDuringTheYieldEndsTheProgramWithTheCountsSoFar) {
    settings.statMaximizeCount = 2;
    focusNew();
    runtime.onYield = [&] { form.cmdExit_Click(); };
    EXPECT_TRUE(endsProgram([&] { tick(); }));
    EXPECT_EQ(files.get("stats.cfg"), " 2 \r\n 0 \r\n");
    EXPECT_EQ(settings.statMaximizeCount, 2);
}

TEST_F(WatcherTest, TimerOffMeansNothingRuns) {
    form.Timer1.setEnabled(false);
    focusNew();
    tick();
    EXPECT_TRUE(desktop.calls.empty());
}

}  // namespace
}  // namespace pellorin::testing
