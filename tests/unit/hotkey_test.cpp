#include <algorithm>
#include <set>

#include "program_fixture.h"

namespace pellorin::testing {
namespace {

constexpr int keyQ = 81;

class HotkeyTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        load();
        first = desktop.open("One - Windows Internet Explorer");
        second = desktop.open("Two - Windows Internet Explorer");
        third = desktop.open("Three - Windows Internet Explorer");
        desktop.open("Notes - Notepad");
        desktop.calls.clear();
    }

    void poll() { form.Timer2.tick(); }

    // Ctrl and Alt held, the letter pressed once, then all let go; a poll
    // sees each of the two.
    void pressHotkey(int letter = keyQ) {
        desktop.press(vk::control);
        desktop.press(vk::menu);
        desktop.press(letter);
        poll();
        desktop.release(letter);
        desktop.release(vk::menu);
        desktop.release(vk::control);
        poll();
    }

    void exclude(Hwnd window) {
        form.cmdRefresh.click();
        for (int index = 0; index < form.List1.count(); ++index)
            if (form.List1.item(index).data == static_cast<std::int32_t>(window)) form.List1.select(index);
        desktop.calls.clear();
    }

    std::vector<std::string> callsFor(Hwnd window) const {
        std::vector<std::string> found;
        const std::string name = " " + std::to_string(window) + " ";
        for (const std::string& call : desktop.calls)
            if (call.find(name) != std::string::npos) found.push_back(call);
        return found;
    }

    Hwnd first = 0, second = 0, third = 0;
};

TEST_F(HotkeyTest, HidesThenShowsEveryListedWindowButTheExcludedOne) {
    exclude(second);
    pressHotkey();
    EXPECT_FALSE(desktop.window(first).visible);
    EXPECT_TRUE(desktop.window(second).visible);
    EXPECT_FALSE(desktop.window(third).visible);
    EXPECT_FALSE(form.Timer1.enabled());
    EXPECT_EQ(settings.ieWindowState, "hidden");
    // Hidden windows stay listed, so the next press finds them.
    EXPECT_EQ(form.List1.count(), 3);

    pressHotkey();
    EXPECT_TRUE(desktop.window(first).visible);
    EXPECT_TRUE(desktop.window(third).visible);
    EXPECT_TRUE(callsFor(second).empty());
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_EQ(settings.ieWindowState, "visible");
    EXPECT_EQ(std::count(desktop.calls.begin(), desktop.calls.end(), "ShowWindow " + std::to_string(first) + " 5"), 1);
}

TEST_F(HotkeyTest, KeysHeldDownGiveOneActionAndTheLetterMustBeNew) {
    desktop.press(vk::control);
    desktop.press(vk::menu);
    desktop.press(keyQ);
    for (int i = 0; i < 7; ++i) {  // about two seconds, the letter repeating
        poll();
        desktop.repeat(keyQ);
    }
    EXPECT_EQ(settings.ieWindowState, "hidden");
    EXPECT_EQ(std::count(desktop.calls.begin(), desktop.calls.end(), "ShowWindow " + std::to_string(first) + " 0"), 1);

    desktop.release(keyQ);
    poll();
    desktop.press(keyQ);
    poll();
    EXPECT_EQ(settings.ieWindowState, "visible");

    // Alt let go and pressed again while the letter repeats: a new chord.
    desktop.release(vk::menu);
    poll();
    desktop.press(vk::menu);
    desktop.repeat(keyQ);
    poll();
    EXPECT_EQ(settings.ieWindowState, "hidden");
}

TEST_F(HotkeyTest, APressIsSeenWhenAnotherProgramTookThePressedMark) {
    // Another program asked about Q first: to us the letter is down, not "pressed since".
    desktop.press(vk::control);
    desktop.press(vk::menu);
    desktop.keyStates[keyQ] = static_cast<std::int16_t>(0x8000);
    poll();
    EXPECT_EQ(settings.ieWindowState, "hidden");
    poll();
    EXPECT_EQ(settings.ieWindowState, "hidden") << "still held: no second action";
}

TEST_F(HotkeyTest, NeedsCtrlAndAltAndDoesNotSpendTheLetterPressWithoutThem) {
    desktop.press(keyQ);
    desktop.press(vk::menu);
    poll();  // no Ctrl: the letter must not be queried, or its press is lost
    EXPECT_EQ(settings.ieWindowState, "visible");
    desktop.release(vk::menu);
    desktop.press(vk::control);
    poll();
    EXPECT_EQ(settings.ieWindowState, "visible");

    desktop.press(vk::menu);
    poll();
    EXPECT_EQ(settings.ieWindowState, "hidden");
}

TEST_F(HotkeyTest, UsesTheLetterCodeSetAtStartOrInTheSettings) {
    pressHotkey(keyQ);
    EXPECT_EQ(settings.ieWindowState, "hidden");
    settings.hotkeyLetter = "90";
    pressHotkey(keyQ);
    EXPECT_EQ(settings.ieWindowState, "hidden");
    pressHotkey(90);
    EXPECT_EQ(settings.ieWindowState, "visible");

    settings.hotkeyLetter = "Z";  // not a code: no key matches
    pressHotkey(90);
    EXPECT_EQ(settings.ieWindowState, "visible");
}

TEST_F(HotkeyTest, HidingNothingStillStopsTheWatcherAndShowingRestartsIt) {
    form.Text1.setText("no match");
    form.mendisable.click();
    form.menenable.click();
    pressHotkey();
    EXPECT_EQ(form.List1.count(), 1);  // the placeholder only
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_FALSE(form.Timer1.enabled());
    EXPECT_EQ(settings.ieWindowState, "hidden");

    form.mendisable.click();  // switched off from the tray menu as well
    pressHotkey();
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_EQ(settings.ieWindowState, "visible");
}

TEST_F(HotkeyTest, CloseModeAsksEachButTheExcludedToCloseAndKeepsTheState) {
    form.Option2.select();
    exclude(third);
    pressHotkey();
    const std::vector<std::string> expected{"PostMessage " + std::to_string(first) + " 16 0 0",
                                            "PostMessage " + std::to_string(second) + " 16 0 0"};
    EXPECT_EQ(desktop.calls, expected);
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_EQ(settings.ieWindowState, "visible");

    // Hidden first, then closed: still "hidden", and the next hide/show press shows.
    form.Option1.select();
    form.cmdClear.click();
    pressHotkey();
    form.Option2.select();
    pressHotkey();
    EXPECT_EQ(settings.ieWindowState, "hidden");
    form.Option1.select();
    pressHotkey();
    EXPECT_EQ(settings.ieWindowState, "visible");
    EXPECT_TRUE(desktop.window(third).visible);
}

TEST_F(HotkeyTest, ClosingRefreshesTheListAfterwards) {
    form.Option2.select();
    exclude(second);
    desktop.windowsCloseWhenAsked = true;
    pressHotkey();
    ASSERT_EQ(form.List1.count(), 1);
    EXPECT_EQ(form.List1.item(0).data, static_cast<std::int32_t>(second));

    form.cmdClear.click();
    desktop.close(second);
    desktop.calls.clear();
    pressHotkey();
    EXPECT_TRUE(desktop.calls.empty());  // the placeholder is never acted on
    EXPECT_EQ(form.List1.itemText(0), form1::noWindowsPlaceholder);
}

TEST_F(HotkeyTest, AltGrTypingIsNoHotkeyButLeftAltAlwaysIs) {
    constexpr int leftCtrl = 0xA2, rightCtrl = 0xA3, keyA = 65, keyE = 69;
    const std::set<int> german{keyQ, keyE, 77};
    const struct {
        const char* what;
        std::set<int> altGrLetters;  // of the foreground window's layout
        std::vector<int> modifiers;  // as Windows reports them, besides the generic Ctrl and Alt
        int letter;
        bool acts;
    } cases[] = {
        {"US layout, right Alt", {}, {leftCtrl, vk::rightMenu}, keyQ, true},
        {"US layout, left Alt", {}, {leftCtrl, vk::leftMenu}, keyQ, true},
        {"German AltGr+Q types @", german, {leftCtrl, vk::rightMenu}, keyQ, false},
        {"German AltGr+E types the euro", german, {leftCtrl, vk::rightMenu}, keyE, false},
        {"German right Ctrl with AltGr+Q", german, {rightCtrl, leftCtrl, vk::rightMenu}, keyQ, false},
        {"German AltGr+A types nothing", german, {leftCtrl, vk::rightMenu}, keyA, true},
        {"German left Ctrl, left Alt, Q", german, {leftCtrl, vk::leftMenu}, keyQ, true},
        {"German right Ctrl, left Alt, Q", german, {rightCtrl, vk::leftMenu}, keyQ, true},
        {"German, both Alts", german, {leftCtrl, vk::leftMenu, vk::rightMenu}, keyQ, true},
        {"no side reported", german, {}, keyQ, true},
    };
    for (const auto& c : cases) {
        settings.ieWindowState = "visible";
        settings.hotkeyLetter = std::to_string(c.letter);
        desktop.altGrLetters = c.altGrLetters;
        for (int key : c.modifiers) desktop.press(key);
        pressHotkey(c.letter);
        for (int key : c.modifiers) desktop.release(key);
        EXPECT_EQ(settings.ieWindowState, c.acts ? "hidden" : "visible") << c.what;
    }
}

TEST_F(HotkeyTest, EveryPressTheKeyboardHookReportsActsOnceHoweverShort) {
    // Steps: D the letter down (the hook reports it, its auto-repeat alike),
    // U up, P a turn of the poll, p down before its report is read, d a
    // report read once all the keys were let go.
    const struct {
        const char* what;
        const char* steps;
        bool control, leftAlt, rightAlt;  // Alt is down with either side
        std::set<int> altGrLetters;
        int letter, actions;
    } cases[] = {
        {"a 60 ms tap between two polls", "DU", true, true, false, {}, keyQ, 1},
        {"ten taps", "DUDUDUDUDUDUDUDUDUDU", true, true, false, {}, keyQ, 10},
        {"a poll while the letter is down", "DPUP", true, true, false, {}, keyQ, 1},
        {"the poll sees it before its report", "pPDUP", true, true, false, {}, keyQ, 1},
        {"held, repeating over several polls", "DPDPDDPU", true, true, false, {}, keyQ, 1},
        {"reported after the keys were let go", "dU", true, true, false, {}, keyQ, 1},
        {"no Ctrl", "DPU", false, true, false, {}, keyQ, 0},
        {"another letter", "DPU", true, true, false, {}, 87, 0},
        {"German AltGr+Q types @", "DPU", true, false, true, {keyQ}, keyQ, 0},
        {"German left Ctrl, left Alt, Q", "DPU", true, true, false, {keyQ}, keyQ, 1},
    };
    ASSERT_TRUE(desktop.letterKeys) << "the program watches the letter keys from its start";
    for (const auto& c : cases) {
        settings.ieWindowState = "visible";
        desktop.calls.clear();
        desktop.altGrLetters = c.altGrLetters;
        auto hold = [&](bool down) {
            for (auto [key, held] : {std::pair{vk::control, c.control},
                                     {vk::menu, true},
                                     {vk::leftMenu, c.leftAlt},
                                     {vk::rightMenu, c.rightAlt}})
                desktop.keyStates[key] = static_cast<std::int16_t>(down && held ? 0x8000 : 0);
        };
        hold(true);
        for (const char step : std::string(c.steps)) {
            if (step == 'd') hold(false);
            if (step == 'D' || step == 'p' || step == 'U') desktop.keyStates[c.letter] = step == 'U' ? 0 : -32768;
            if (step == 'P') poll();
            if (step != 'P' && step != 'p')
                desktop.letterKeys({c.letter, step != 'U', c.control, true, c.leftAlt, c.rightAlt});
        }
        hold(false);
        desktop.keyStates[c.letter] = 0;
        poll();
        EXPECT_EQ(std::count_if(desktop.calls.begin(), desktop.calls.end(),
                                [&](const std::string& call) {
                                    return call.rfind("ShowWindow " + std::to_string(first), 0) == 0;
                                }),
                  c.actions)
            << c.what;
    }
}

TEST_F(HotkeyTest, OtherStatesOfTheWindowsFlagDoNothing) {
    settings.ieWindowState = "Visible";
    pressHotkey();
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_EQ(settings.ieWindowState, "Visible");
}

}  // namespace
}  // namespace pellorin::testing
