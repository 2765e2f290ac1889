#include "program_fixture.h"

namespace pellorin::testing {
namespace {

using StartupTest = ProgramTest;
using ExitTest = ProgramTest;

TEST_F(StartupTest, FirstStartInAnEmptyFolder) {
    load();
    EXPECT_EQ(files.currentDirectory, files.folder);
    EXPECT_EQ(files.files.size(), 6u);
    EXPECT_EQ(files.get("hotkey.cfg"), "Q\r\n");
    EXPECT_EQ(form.Text1.text(), "Explorer");
    EXPECT_TRUE(form.Option1.selected());
    EXPECT_FALSE(form.Option2.selected());
    EXPECT_EQ(form.lblHotkey.caption(), "Hotkey: Ctrl+Alt+Q");
    EXPECT_EQ(settings.hotkeyLetter, "81");
    EXPECT_EQ(settings.ieWindowState, "visible");
    EXPECT_EQ(settings.fullscreenMode, "no");
    EXPECT_EQ(settings.popupActionEnabled, "");
    EXPECT_EQ(settings.popupAction, "");
    EXPECT_EQ(settings.popupMaxWidth, 0);
    EXPECT_EQ(settings.statMaximizeCount, 0);
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_TRUE(form.Timer2.enabled());
    EXPECT_EQ(runtime.yields, 1);
    EXPECT_TRUE(runtime.boxes.empty());
}

TEST_F(StartupTest, SetupFileDecidesSuffixAndHotkeyAction) {
    struct Case {
        const char* setup;
        const char* suffix;
        bool hide;
    };
    const Case cases[] = {
        {"Explorer\r\nclose\r\n", "Explorer", false}, {"Explorer,close", "Explorer", false},
        {"\r\nclose\r\n", "Explorer", true},  // an empty suffix brings back the defaults
        {"Navigate\r\nhide\r\n", "Navigate", true},   {"Navigate\r\nHide\r\n", "Navigate", false},
        {"Navigate\r\n", "Navigate", false},
    };
    for (const Case& c : cases) {
        FreshProgram fresh;
        fresh.files.put("setup.cfg", c.setup);
        fresh.form.Form_Load();
        EXPECT_EQ(fresh.form.Text1.text(), c.suffix) << "setup.cfg \"" << c.setup << "\"";
        EXPECT_EQ(fresh.form.Option1.selected(), c.hide) << "setup.cfg \"" << c.setup << "\"";
        EXPECT_NE(fresh.form.Option1.selected(), fresh.form.Option2.selected());
    }
}

TEST_F(StartupTest, ListIsFilledWithTheStoredSuffixBeforeTheDefault) {
    desktop.open("Home - Windows Internet Explorer");
    std::vector<std::string> suffixesSeen;
    desktop.beforeTitleRead = [&](Hwnd) { suffixesSeen.push_back(form.titleSuffix()); };
    load();  // empty setup.cfg: the first refresh sees an empty suffix, the second the default
    EXPECT_EQ(suffixesSeen, (std::vector<std::string>{"", "Explorer"}));
    EXPECT_EQ(listTexts(form.List1), std::vector<std::string>{"Home - Windows Internet Explorer"});
    EXPECT_EQ(form.Text1.text(), "Explorer");
}

TEST_F(StartupTest, ReadsEverySettingsFile) {
    files.put("popup.cfg", "enabled\r\n 400 \r\n 300 \r\nclose\r\n");
    files.put("fullscreen.cfg", "yes\r\n");
    files.put("stats.cfg", " 40000 \r\n 7 \r\n");
    files.put("hotkey.cfg", "q\r\n");
    load();
    EXPECT_EQ(settings.popupActionEnabled, "enabled");
    EXPECT_EQ(settings.popupMaxWidth, 400);
    EXPECT_EQ(settings.popupMaxHeight, 300);
    EXPECT_EQ(settings.popupAction, "close");
    EXPECT_EQ(settings.fullscreenMode, "yes");
    EXPECT_EQ(settings.statMaximizeCount, 0);
    EXPECT_EQ(settings.statKilledPopups, 7);
    EXPECT_EQ(form.lblHotkey.caption(), "Hotkey: Ctrl+Alt+q");
    EXPECT_EQ(settings.hotkeyLetter, "81");
}

TEST_F(StartupTest, HotkeyLetterBecomesItsKeyCode) {
    files.put("hotkey.cfg", "Z\r\n");
    load();
    EXPECT_EQ(form.lblHotkey.caption(), "Hotkey: Ctrl+Alt+Z");
    EXPECT_EQ(settings.hotkeyLetter, "90");
}

TEST_F(StartupTest, JunkInEveryFileStillStarts) {
    const std::string junk("\x01\xff\x00\x7f\"\r\n,,\x00\x00", 11);
    for (const char* name : {"setup.cfg", "startup.cfg", "popup.cfg", "fullscreen.cfg", "stats.cfg", "hotkey.cfg"})
        files.put(name, junk);
    load();
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_NE(form.Option1.selected(), form.Option2.selected());
    EXPECT_EQ(settings.statMaximizeCount, 0);
    EXPECT_EQ(settings.hotkeyLetter, "81");
}

TEST_F(StartupTest, ReadOnlyFilesFromBeforeBecomeWritable) {
    files.put("stats.cfg", " 5 \r\n 6 \r\n");
    files.file("stats.cfg").readOnly = true;
    load();
    EXPECT_FALSE(files.file("stats.cfg").readOnly);
    EXPECT_EQ(settings.statMaximizeCount, 5);
}

TEST_F(StartupTest, UnreadableFilesLeaveTheFirstStartValues) {
    files.folderWritable = false;  // nothing can be created
    load();
    EXPECT_EQ(form.Text1.text(), "Explorer");
    EXPECT_TRUE(form.Option1.selected());
    EXPECT_EQ(settings.fullscreenMode, "no");
    EXPECT_EQ(form.lblHotkey.caption(), "Hotkey: Ctrl+Alt+");
    EXPECT_EQ(settings.hotkeyLetter, "81");
}

TEST_F(StartupTest, ResizeRefreshesTheListUnlessMinimized) {
    load();
    const Hwnd window = desktop.open("New - Windows Internet Explorer");
    host.state = 1;
    form.Form_Resize();
    EXPECT_EQ(form.List1.itemText(0), "no open IE windows found...");
    host.state = 0;
    form.Form_Resize();
    ASSERT_EQ(form.List1.count(), 1);
    EXPECT_EQ(form.List1.item(0).data, static_cast<std::int32_t>(window));
}

TEST_F(ExitTest, WritesStatsThenSetupAndEnds) {
    files.put("stats.cfg", "old\r\nlines\r\nmore\r\n");
    files.put("setup.cfg", "a\r\nb\r\nc\r\nd\r\n");
    load();
    settings.statMaximizeCount = 12;
    settings.statKilledPopups = -3;
    form.Option2.select();
    files.writes.clear();
    EXPECT_TRUE(endsProgram([&] { form.cmdExit.click(); }));
    EXPECT_EQ(files.writes, (std::vector<std::string>{"stats.cfg", "setup.cfg"}));
    EXPECT_EQ(files.get("stats.cfg"), " 12 \r\n-3 \r\n");
    EXPECT_EQ(files.get("setup.cfg"), "a\r\nclose\r\n");
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"Shell_NotifyIcon 2"});
    EXPECT_EQ(desktop.trayRecords.at(0).cbSize, 0u);  // never in the tray: the record is still zero
    EXPECT_TRUE(runtime.boxes.empty());
}

TEST_F(ExitTest, EveryWayOfClosingRunsTheSameRoutine) {
    for (auto close : {&Form1::Form_Unload, &Form1::Form_Terminate}) {
        FreshProgram fresh;
        fresh.form.Form_Load();
        fresh.form.Text1.setText("Navigate");
        EXPECT_TRUE(endsProgram([&] { (fresh.form.*close)(); }));
        EXPECT_EQ(fresh.files.get("setup.cfg"), "Navigate\r\nhide\r\n");
        EXPECT_EQ(fresh.files.get("stats.cfg"), " 0 \r\n 0 \r\n");
    }
}

TEST_F(ExitTest, ReadOnlySetupShowsTheErrorOnceAndStillEnds) {
    load();
    files.put("setup.cfg", "Keep\r\nclose\r\n");
    files.file("setup.cfg").readOnly = true;
    settings.statMaximizeCount = 4;
    // The user closes the window while the message is up: nothing more happens.
    runtime.whileBoxShown = [&] { form.Form_Unload(); };
    EXPECT_TRUE(endsProgram([&] { form.cmdExit_Click(); }));
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].text, "Error, couldn\u00b4t write to file setup.cfg, it might be write protected!");
    EXPECT_EQ(runtime.boxes[0].title, "Error");
    EXPECT_EQ(runtime.boxes[0].style, 16);
    EXPECT_EQ(files.get("stats.cfg"), " 4 \r\n 0 \r\n");
    EXPECT_EQ(files.get("setup.cfg"), "Keep\r\nclose\r\n");
}

TEST_F(ExitTest, AWriteThatFailsForAnyReasonIsSaid) {
    load();
    files.failWrites = true;  // a full disk, not a write-protected file
    EXPECT_TRUE(endsProgram([&] { form.cmdExit_Click(); }));
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].text, "Error, couldn\u00b4t write to file setup.cfg, it might be write protected!");
}

TEST_F(ExitTest, FilesStartUpCouldNotReadAreNotWrittenOverWithDefaults) {
    // Held by a backup program at start (read as empty), then as found at exit.
    const struct {
        const char* what;
        bool heldAtExit;
        bool userTypedSuffix;
        const char* stats;
        const char* setup;
    } cases[] = {
        {"still held", true, false, " 900 \r\n 40 \r\n", "Chrome\r\nclose\r\n"},
        {"let go: this run's counts added", false, false, " 903 \r\n 41 \r\n", "Chrome\r\nclose\r\n"},
        {"let go, a suffix typed meanwhile", false, true, " 903 \r\n 41 \r\n", "Edge\r\nhide\r\n"},
    };
    for (const auto& c : cases) {
        FreshProgram fresh;
        fresh.files.put("stats.cfg", " 900 \r\n 40 \r\n");
        fresh.files.put("setup.cfg", "Chrome\r\nclose\r\n");
        for (const char* name : {"stats.cfg", "setup.cfg"}) fresh.files.file(name).unreadable = true;
        fresh.form.Form_Load();
        EXPECT_EQ(fresh.form.Text1.text(), "Explorer") << c.what;
        EXPECT_EQ(fresh.program.settings.statMaximizeCount, 0) << c.what;
        fresh.program.settings.statMaximizeCount = 3;
        fresh.program.settings.statKilledPopups = 1;
        if (c.userTypedSuffix) fresh.form.Text1.setText("Edge");
        for (const char* name : {"stats.cfg", "setup.cfg"}) fresh.files.file(name).unreadable = c.heldAtExit;
        EXPECT_TRUE(endsProgram([&] { fresh.form.cmdExit_Click(); })) << c.what;
        fresh.files.file("stats.cfg").unreadable = fresh.files.file("setup.cfg").unreadable = false;
        EXPECT_EQ(fresh.files.get("stats.cfg"), c.stats) << c.what;
        EXPECT_EQ(fresh.files.get("setup.cfg"), c.setup) << c.what;
        EXPECT_TRUE(fresh.runtime.boxes.empty()) << c.what;
    }
}

TEST_F(StartupTest, MissingFilesAreMadeOfWhatACutShortWriteLeft) {
    // A file that is there but cannot be read is left as it is; a missing
    // one takes the complete new content left beside it, and only that.
    files.put("stats.cfg", " 7 \r\n 2 \r\n");
    files.file("stats.cfg").unreadable = true;
    files.put("popup.cfg.new", "enabled\r\n 400 \r\n 300 \r\nclose\r\n");
    files.put("hotkey.cfg.new", "");
    files.put("setup.cfg.new", "Chrome\r\ncl");
    load();
    EXPECT_EQ(files.files.at(files.path("stats.cfg")).bytes, " 7 \r\n 2 \r\n");
    EXPECT_EQ(files.get("popup.cfg"), "enabled\r\n 400 \r\n 300 \r\nclose\r\n");
    EXPECT_EQ(settings.popupMaxWidth, 400);
    EXPECT_EQ(files.get("hotkey.cfg"), "Q\r\n");
    EXPECT_EQ(files.get("setup.cfg"), "");
    EXPECT_EQ(form.Text1.text(), "Explorer");
}

}  // namespace
}  // namespace pellorin::testing
