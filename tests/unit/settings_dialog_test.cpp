#include "program_fixture.h"

namespace pellorin::testing {
namespace {

class SettingsDialogTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        load();
        desktop.calls.clear();
    }
    Form2& open() {
        form.cmdSetup.click();
        return *program.form2.get();
    }
    std::vector<std::string> scriptsRun() const {
        std::vector<std::string> scripts;
        for (const std::string& call : desktop.calls)
            if (call.rfind("ShellExecute", 0) == 0) scripts.push_back(call.substr(call.rfind('\\') + 1));
        return scripts;
    }
};

TEST_F(SettingsDialogTest, LoadShowsWhatTheFilesHold) {
    struct Case {
        const char* startup;
        const char* popup;
        const char* fullscreen;
        bool minimized, startTicked, popupTicked, closeSelected;
        const char* width;
        const char* height;
    };
    const Case cases[] = {
        {"minimized\r\ntrue\r\n", "", "", true, true, false, false, "Width:  not set", "Height: not set"},
        {"Minimized\r\nTRUE\r\n", "disabled\r\n 0 \r\n 0 \r\nclose\r\n", "no\r\n", false, false, false, true,
         "Width:  not set", "Height: not set"},
        {"normal\r\nfalse\r\n", "enabled\r\n 400 \r\n 0 \r\nclose\r\n", "yes\r\n", false, false, true, true,
         "Width:  400", "Height: 0"},
        {"", "enabled\r\n-5 \r\n 300 \r\nnone\r\n", "", false, false, true, false, "Width:  -5", "Height: 300"},
    };
    for (const Case& c : cases) {
        FreshProgram fresh;
        fresh.files.put("startup.cfg", c.startup);
        fresh.files.put("popup.cfg", c.popup);
        fresh.files.put("fullscreen.cfg", c.fullscreen);
        fresh.form.Form_Load();
        fresh.form.cmdSetup.click();
        Form2& dialog = *fresh.program.form2.get();
        const std::string what = std::string("startup.cfg \"") + c.startup + "\", popup.cfg \"" + c.popup + "\"";
        EXPECT_EQ(dialog.Option2.selected(), c.minimized) << what;
        EXPECT_NE(dialog.Option1.selected(), dialog.Option2.selected()) << what;
        EXPECT_EQ(dialog.Check1.checked(), c.startTicked) << what;
        EXPECT_EQ(dialog.startupSettingChanged, "false") << what;
        EXPECT_EQ(dialog.Check2.checked(), c.popupTicked) << what;
        for (forms::Control* control : std::initializer_list<forms::Control*>{
                 &dialog.Command4, &dialog.Frame1, &dialog.Option3, &dialog.Option4, &dialog.Label4, &dialog.Label5})
            EXPECT_EQ(control->usable(), c.popupTicked) << what << ": " << control->name();
        EXPECT_EQ(dialog.Option4.selected(), c.closeSelected) << what;
        EXPECT_EQ(dialog.Label4.caption(), c.width) << what;
        EXPECT_EQ(dialog.Label5.caption(), c.height) << what;
        EXPECT_EQ(dialog.Check3.checked(), std::string(c.fullscreen) == "yes\r\n") << what;
        EXPECT_TRUE(fresh.runtime.boxes.empty()) << what;
    }
}

TEST_F(SettingsDialogTest, FullScreenStoredAsYesIsWrittenAgainOnOpeningAndReportsAReadOnlyFile) {
    files.put("fullscreen.cfg", "yes");
    open();
    EXPECT_EQ(files.get("fullscreen.cfg"), "yes\r\n");
    EXPECT_TRUE(runtime.boxes.empty());
    program.form2.get()->Command2.click();

    files.file("fullscreen.cfg").readOnly = true;
    Form2& dialog = open();
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].text, "Error, file fullscreen.cfg might be write protected!");
    EXPECT_EQ(runtime.boxes[0].title, "Error");
    EXPECT_EQ(runtime.boxes[0].style, 16);
    EXPECT_EQ(settings.fullscreenMode, "yes");

    // Cleared and cancelled: the box has already switched full screen off.
    files.file("fullscreen.cfg").readOnly = false;
    dialog.Check3.setChecked(false);
    dialog.Command2.click();
    EXPECT_EQ(files.get("fullscreen.cfg"), "no\r\n");
    EXPECT_EQ(settings.fullscreenMode, "no");
}

TEST_F(SettingsDialogTest, OnlyAClickOnTheStartBoxStartsAScript) {
    struct Case {
        const char* stored;
        std::vector<bool> clicks;  // the box set to these, in order
        std::vector<std::string> scripts;
        const char* written;
    };
    const Case cases[] = {
        {"minimized\r\ntrue\r\n", {}, {}, "minimized\r\ntrue\r\n"},
        {"normal\r\nfalse\r\n", {true}, {"addstartup.vbs"}, "normal\r\ntrue\r\n"},
        {"normal\r\nfalse\r\n", {true, false}, {"removestartup.vbs"}, "normal\r\nfalse\r\n"},
        {"normal\r\ntrue\r\n", {false}, {"removestartup.vbs"}, "normal\r\nfalse\r\n"},
    };
    for (const Case& c : cases) {
        FreshProgram fresh;
        fresh.files.put("startup.cfg", c.stored);
        fresh.form.Form_Load();
        fresh.form.cmdSetup.click();
        Form2& dialog = *fresh.program.form2.get();
        for (bool tick : c.clicks) dialog.Check1.setChecked(tick);
        fresh.desktop.calls.clear();
        dialog.Command1.click();
        std::vector<std::string> scripts;
        for (const std::string& call : fresh.desktop.calls) scripts.push_back(call.substr(call.rfind('\\') + 1));
        EXPECT_EQ(scripts.size(), c.scripts.size()) << c.stored;
        for (std::size_t i = 0; i < std::min(scripts.size(), c.scripts.size()); ++i)
            EXPECT_EQ(scripts[i].substr(0, c.scripts[i].size()), c.scripts[i]) << c.stored;
        EXPECT_EQ(fresh.files.get("startup.cfg"), c.written) << c.stored;
        EXPECT_EQ(fresh.program.form2.get(), nullptr) << "Apply closes the dialog";
    }
}

TEST_F(SettingsDialogTest, ApplyStoresEverySettingAndTheLetter) {
    files.put("hotkey.cfg", "a\r\n");
    files.put("popup.cfg", "enabled\r\n 640 \r\n 480 \r\nclose\r\n");
    Form2& dialog = open();
    // The stored lowercase letter shows as a capital, but is no hotkey until Apply.
    EXPECT_EQ(dialog.txtLetter.text(), "A");
    EXPECT_EQ(settings.hotkeyLetter, "81");
    dialog.Option2.select();
    dialog.Option3.select();
    dialog.txtLetter.setText("");
    dialog.Command1.click();

    EXPECT_EQ(files.get("startup.cfg"), "minimized\r\nfalse\r\n");
    EXPECT_EQ(files.get("popup.cfg"), "enabled\r\n 640 \r\n 480 \r\nnone\r\n");
    EXPECT_EQ(files.get("hotkey.cfg"), "Q\r\n");
    EXPECT_EQ(settings.hotkeyLetter, "81");
    EXPECT_EQ(settings.popupAction, "none");
    EXPECT_EQ(form.lblHotkey.caption(), "Hotkey: Ctrl+Alt+Q");
    EXPECT_TRUE(scriptsRun().empty());

    files.put("hotkey.cfg", "a\r\n");
    open().Command1.click();
    EXPECT_EQ(files.get("hotkey.cfg"), "A\r\n");
    EXPECT_EQ(settings.hotkeyLetter, "65");
    EXPECT_EQ(form.lblHotkey.caption(), "Hotkey: Ctrl+Alt+A");
}

TEST_F(SettingsDialogTest, AHotkeyFileThatCannotBeReadLeavesTheLetterInForce) {
    struct Case {
        const char* what;
        void (*spoil)(MemoryFiles&);
    };
    const Case cases[] = {
        {"held open by a scanner", [](MemoryFiles& files) { files.file("hotkey.cfg").unreadable = true; }},
        {"deleted", [](MemoryFiles& files) { files.files.erase(files.path("hotkey.cfg")); }},
    };
    for (const Case& c : cases) {
        FreshProgram fresh;
        fresh.files.put("hotkey.cfg", "E\r\n");
        fresh.form.Form_Load();
        c.spoil(fresh.files);
        fresh.form.cmdSetup.click();
        Form2& dialog = *fresh.program.form2.get();
        EXPECT_EQ(dialog.txtLetter.text(), "E") << c.what;
        EXPECT_EQ(fresh.program.settings.hotkeyLetter, "69") << c.what;
        dialog.Command1.click();
        EXPECT_EQ(fresh.files.get("hotkey.cfg"), "E\r\n") << c.what;
        EXPECT_EQ(fresh.program.settings.hotkeyLetter, "69") << c.what;
        EXPECT_EQ(fresh.form.lblHotkey.caption(), "Hotkey: Ctrl+Alt+E") << c.what;
    }
}

TEST_F(SettingsDialogTest, ApplySaysWhichFileItCouldNotWriteAndStillAppliesTheRest) {
    Form2& dialog = open();
    dialog.txtLetter.setText("k");
    files.file("hotkey.cfg").readOnly = true;
    dialog.Command1.click();
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].text, "Error, couldn\u00b4t write to file hotkey.cfg, it might be write protected!");
    EXPECT_EQ(runtime.boxes[0].style, 16);
    EXPECT_EQ(files.get("hotkey.cfg"), "Q\r\n");
    EXPECT_EQ(settings.hotkeyLetter, "75") << "in force for this run";
    EXPECT_EQ(files.get("startup.cfg"), "normal\r\nfalse\r\n");
    EXPECT_EQ(program.form2.get(), nullptr);

    // A full disk is said as well, once for each file.
    files.file("hotkey.cfg").readOnly = false;
    files.failWrites = true;
    runtime.boxes.clear();
    open().Command1.click();
    EXPECT_EQ(runtime.boxes.size(), 3u);
}

TEST_F(SettingsDialogTest, TheLetterBoxKeepsOneCapitalAToZ) {
    Form2& dialog = open();
    int changes = 0;
    const auto check = dialog.txtLetter.onChange;
    dialog.txtLetter.onChange = [&] {
        ++changes;
        check();
    };
    const std::pair<const char*, const char*> typed[] = {{"a", "A"},   {"Z", "Z"}, {"5", ""}, {"[", ""},
                                                         {"\xe9", ""}, {"@", ""},  {"m", "M"}};
    for (const auto& [in, shown] : typed) {
        dialog.txtLetter.setText("");
        changes = 0;
        dialog.txtLetter.setText(in);
        EXPECT_EQ(dialog.txtLetter.text(), shown) << "typed \"" << in << "\"";
        EXPECT_LE(changes, 2) << "typed \"" << in << "\": the check ran " << changes << " times";
    }
}

TEST_F(SettingsDialogTest, ScriptButtonsStartTheirScriptsWithTheDialogAsOwner) {
    Form2& dialog = open();
    const std::string owner = std::to_string(runtime.windowOf(dialog)->window);
    dialog.Command3.click();
    dialog.cmdAddIeIcon.click();
    dialog.cmdRemoveIeIcon.click();
    const std::string folder = "C:\\Program Files\\Pellorin\\";
    EXPECT_EQ(desktop.calls,
              (std::vector<std::string>{"ShellExecute " + owner + " open " + folder + "setiedefault.vbs [] [] 9",
                                        "ShellExecute " + owner + " open " + folder + "addieicon.vbs [] [] 9",
                                        "ShellExecute " + owner + " open " + folder + "removeieicon.vbs [] [] 9"}));
    EXPECT_EQ(form.Text1.text(), "Explorer");
}

TEST_F(SettingsDialogTest, OpenedTwiceItIsBroughtToTheFrontAndReadsNothing) {
    Form2& dialog = open();
    files.put("popup.cfg", "enabled\r\n 1 \r\n 2 \r\nclose\r\n");
    runtime.windowOf(dialog)->shown = false;
    EXPECT_EQ(&open(), &dialog);
    EXPECT_TRUE(runtime.windowOf(dialog)->shown);
    EXPECT_EQ(settings.popupMaxWidth, 0);
    EXPECT_EQ(runtime.windows.size(), 1u);
}

}  // namespace
}  // namespace pellorin::testing
