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
