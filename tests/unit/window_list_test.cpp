#include "foundation/window_title.h"
#include "program_fixture.h"

namespace pellorin::testing {
namespace {

class WindowListTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        files.put("setup.cfg", "Explorer\r\nhide\r\n");
    }
};

TEST_F(WindowListTest, SuffixMatchesTheLastEightCharactersExactly) {
    struct Case {
        const char* title;
        const char* suffix;
        bool listed;
    };
    const Case cases[] = {
        {"Start - Windows Internet Explorer", "Explorer", true},
        {"Explorer", "Explorer", true},
        {"xplorer", "Explorer", false},
        {"Start - Windows Internet explorer", "Explorer", false},
        {"Start - Windows Internet Explorer", "explorer", false},
        {"Start - Windows Internet Explorer", "Internet Explorer", false},  // longer than 8 never matches
        {"Short", "Short", true},                                           // shorter: the whole title
        {"Not Short", "Short", false},
        {"Start - Windows Internet Explorer", "", false},
        {"Pellorin", "Pellorin", true},
    };
    for (const Case& c : cases) {
        FreshProgram fresh;
        fresh.desktop.open(c.title);
        fresh.form.Text1.setText(c.suffix);
        fresh.form.cmdRefresh_Click();
        const bool listed = fresh.form.List1.itemText(0) == c.title;
        EXPECT_EQ(listed, c.listed) << "title \"" << c.title << "\", suffix \"" << c.suffix << "\"";
        EXPECT_EQ(fresh.form.List1.enabled(), c.listed);
    }
}

TEST_F(WindowListTest, FolderWindowsAreNeverListedWhateverTheirTitle) {
    const Hwnd browser = desktop.open("Start - Windows Internet Explorer");
    desktop.window(desktop.open("Downloads - File Explorer")).className = "CabinetWClass";
    desktop.window(desktop.open("C:\\ - Explorer")).className = "ExploreWClass";
    const Hwnd other = desktop.open("Notes - Explorer");
    desktop.window(other).className = "Notepad";
    load();
    ASSERT_EQ(form.List1.count(), 2);
    EXPECT_EQ(form.List1.item(0).data, static_cast<std::int32_t>(browser));
    EXPECT_EQ(form.List1.item(1).data, static_cast<std::int32_t>(other))
        << "only the shell's folder windows are left out";
}

TEST_F(WindowListTest, TitlesAndTheSuffixCrossThroughTheAnsiCodePage) {
    // Windows-1252 here: 0xE9 is e acute, 0x80 the euro sign.
    files.put("setup.cfg", "Caf\xe9 Bar\r\nhide\r\n");
    desktop.open("Le Caf\xe9 Bar");
    const Hwnd prices = desktop.open("Nos \x80 Preise");
    load();
    EXPECT_EQ(form.Text1.text(), "Caf\u00e9 Bar");
    EXPECT_EQ(listTexts(form.List1), std::vector<std::string>{"Le Caf\u00e9 Bar"});

    form.Text1.setText("\u20ac Preise");  // as typed
    EXPECT_EQ(form.titleSuffix(), "\x80 Preise");
    form.cmdRefresh.click();
    ASSERT_EQ(form.List1.count(), 1);
    EXPECT_EQ(form.List1.item(0).data, static_cast<std::int32_t>(prices));
    EXPECT_TRUE(endsProgram([&] { form.cmdExit.click(); }));
    EXPECT_EQ(files.get("setup.cfg"), "\x80 Preise\r\nhide\r\n");
}

TEST(AnsiCharacters, TheLastEightAreCharactersOfTheCodePage) {
    const struct {
        std::uint32_t codePage;
        const char* title;  // as UTF-8 here, as the code page's bytes in the test
        const char* lastEight;
        std::size_t count;
    } cases[] = {
        {1252, "Start - Windows Internet Explorer", "Explorer", 33},
        {932, "\u30db\u30fc\u30e0 - \u65e5\u672c\u8a9e\u306e\u30d6\u30e9\u30a6\u30b6",
         "\u65e5\u672c\u8a9e\u306e\u30d6\u30e9\u30a6\u30b6", 14},
        // Half-width katakana are one byte; the second byte of these three
        // kanji and katakana is a backslash, read backwards it would be one.
        {932, "\u30c0\u30e1\u6587\u5b57: \u8868\u30bd\u80fd\uff71\uff72\uff73",
         ": \u8868\u30bd\u80fd\uff71\uff72\uff73", 12},
        {936, "\u65b0\u6807\u7b7e\u9875 - \u4e2d\u6587\u7684\u6d4f\u89c8\u5668\u7a97\u53e3",
         "\u4e2d\u6587\u7684\u6d4f\u89c8\u5668\u7a97\u53e3", 15},
        {949, "\uc0c8 \ud0ed - \ud55c\uad6d\uc5b4 \ube0c\ub77c\uc6b0\uc800",
         "\ud55c\uad6d\uc5b4 \ube0c\ub77c\uc6b0\uc800", 14},
        {950, "Tab - \u7e41\u9ad4\u4e2d\u6587\u700f\u89bd\u5668X", "\u7e41\u9ad4\u4e2d\u6587\u700f\u89bd\u5668X", 14},
        // UTF-8 as the code page: Edge's zero-width space is a character of its own.
        {65001, "New tab - Microsoft\u200b Edge", "ft\u200b Edge", 25},
        {65001, "Browser \U0001F600 Hello", " \U0001F600 Hello", 15},
    };
    SubstituteRuntime runtime;
    for (const auto& c : cases) {
        runtime.ansiCodePage = c.codePage;
        const std::string title = runtime.toAnsi(c.title);
        EXPECT_EQ(lastEightCharacters(runtime, title), runtime.toAnsi(c.lastEight)) << c.codePage << " " << c.title;
        EXPECT_EQ(ansiCharacterCount(runtime, title), c.count) << c.codePage << " " << c.title;
    }
    // A lead byte that its title ends on, cut off from its second byte, is a character of its own.
    runtime.ansiCodePage = 932;
    EXPECT_EQ(lastEightCharacters(runtime, "\xb1\xb2\xb3\x93\xfa\x96\x7b\x8c\xea\xb4\xb5\x93"),
              "\xb2\xb3\x93\xfa\x96\x7b\x8c\xea\xb4\xb5\x93");
}

TEST_F(WindowListTest, OnADoubleByteCodePageTheSuffixIsEightCharacters) {
    runtime.ansiCodePage = 932;
    const std::string suffix = "\u65e5\u672c\u8a9e\u306e\u30d6\u30e9\u30a6\u30b6";  // 8 characters, 16 bytes
    const std::string title = "\u30db\u30fc\u30e0 - " + suffix;
    const Hwnd browser = desktop.open(runtime.toAnsi(title));
    load();
    form.Text1.setText(suffix);  // as typed, 8 characters the box takes
    EXPECT_EQ(form.titleSuffix(), runtime.toAnsi(suffix));
    desktop.foreground = browser;
    form.Timer1_Timer();
    EXPECT_TRUE(desktop.window(browser).zoomed) << "the watcher compares characters";
    form.cmdRefresh_Click();
    EXPECT_EQ(listTexts(form.List1), std::vector<std::string>{title});
    EXPECT_TRUE(endsProgram([&] { form.cmdExit.click(); }));
    EXPECT_EQ(files.get("setup.cfg"), runtime.toAnsi(suffix) + "\r\nhide\r\n");
}

TEST_F(WindowListTest, ListsEveryMatchInEnumerationOrderWithItsHandle) {
    const Hwnd first = desktop.open("Same - Windows Internet Explorer");
    desktop.open("Notepad");
    const Hwnd second = desktop.open("Same - Windows Internet Explorer");
    const Hwnd hidden = desktop.open("Hidden - Windows Internet Explorer");
    desktop.window(hidden).visible = false;
    desktop.open("");
    load();
    ASSERT_EQ(form.List1.count(), 3);
    EXPECT_EQ(form.List1.item(0).data, static_cast<std::int32_t>(first));
    EXPECT_EQ(form.List1.item(1).data, static_cast<std::int32_t>(second));
    EXPECT_EQ(form.List1.item(2).data, static_cast<std::int32_t>(hidden));
    EXPECT_TRUE(form.List1.enabled());
}

TEST_F(WindowListTest, NoMatchShowsTheDisabledPlaceholder) {
    desktop.open("Notepad");
    load();
    ASSERT_EQ(form.List1.count(), 1);
    EXPECT_EQ(form.List1.item(0).text, "no open IE windows found...");
    EXPECT_EQ(form.List1.item(0).data, 0);
    EXPECT_FALSE(form.List1.enabled());

    desktop.open("Later - Windows Internet Explorer");
    form.cmdRefresh.click();
    EXPECT_EQ(form.List1.count(), 1);
    EXPECT_TRUE(form.List1.enabled());
}

TEST_F(WindowListTest, ClickingATitleExcludesItAndRefreshKeepsTheExclusion) {
    desktop.open("One - Windows Internet Explorer");
    const Hwnd two = desktop.open("Two - Windows Internet Explorer");
    load();
    form.List1.select(1);
    EXPECT_EQ(form.Text2.text(), "Two - Windows Internet Explorer");
    EXPECT_EQ(form.Text3.text(), std::to_string(two));

    desktop.window(two).title = "Renamed - Windows Internet Explorer";
    form.cmdRefresh.click();
    EXPECT_EQ(form.List1.selectedIndex(), -1);
    EXPECT_EQ(form.Text2.text(), "Two - Windows Internet Explorer");
    EXPECT_EQ(form.Text3.text(), std::to_string(two));
}

TEST_F(WindowListTest, HandlesAboveTwoToTheThirtyFirstShowAsNegativeNumbers) {
    load();
    form.List1.clear();
    form.List1.addItem("Odd - Windows Internet Explorer", static_cast<std::int32_t>(0x80000010u));
    form.List1.select(0);
    EXPECT_EQ(form.Text3.text(), "-2147483632");
}

TEST_F(WindowListTest, ClearEmptiesTheExclusionAndFocusesItsBox) {
    struct FocusPeer : forms::ControlPeer {
        std::vector<forms::Aspect> seen;
        void update(forms::Control&, forms::Aspect aspect) override { seen.push_back(aspect); }
    } peer;
    desktop.open("One - Windows Internet Explorer");
    load();
    form.List1.select(0);
    form.Text2.attach(&peer);
    form.cmdClear.click();
    EXPECT_EQ(form.Text2.text(), "");
    EXPECT_EQ(form.Text3.text(), "");
    EXPECT_EQ(peer.seen.back(), forms::Aspect::focus);
}

TEST_F(WindowListTest, WindowsThatVanishOrChangeDuringTheEnumerationAreHarmless) {
    const Hwnd first = desktop.open("First - Windows Internet Explorer");
    const Hwnd second = desktop.open("Second - Windows Internet Explorer");
    const Hwnd third = desktop.open("Third - Windows Internet Explorer");
    load();
    desktop.beforeTitleRead = [&](Hwnd window) {
        if (window == first) desktop.close(second);
        if (window == third) desktop.window(third).title = "Third - now something else";
    };
    form.cmdRefresh_Click();
    EXPECT_EQ(listTexts(form.List1), std::vector<std::string>{"First - Windows Internet Explorer"});
}

TEST_F(WindowListTest, HugeTitles) {
    const std::string long_title = std::string(100000, 'x') + "Explorer";
    desktop.open(long_title);
    desktop.open(std::string(longestTitleRead + 1, 'y') + "Explorer");
    load();
    EXPECT_EQ(listTexts(form.List1), std::vector<std::string>{long_title});
}

}  // namespace
}  // namespace pellorin::testing
