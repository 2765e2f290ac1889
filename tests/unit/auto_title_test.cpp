#include <algorithm>

#include "program_fixture.h"

namespace pellorin::testing {
namespace {

const std::string browserKey = "Software\\Microsoft\\Internet Explorer\\Main";
const std::string seemsDefault =
    "The title of Internet Explorer seems to be set to default.If not, set it to default by clicking the setup "
    "button!";
const std::string tooShort =
    "The title of Internet Explorer has to be at least 8 characters long, do you want to set the title to default? "
    "Note: Registry change needed!";

class AutoTitleTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        load();
        form.Text1.setText("Original");
        desktop.registry[browserKey]["Other"] = {1, std::string("x\0", 2)};
        desktop.calls.clear();
    }

    // As the browser stores it: a string with its terminating zero.
    void setTitle(const std::string& title, std::uint32_t type = 1) {
        desktop.registry[browserKey]["Window Title"] = {type, title + '\0'};
    }

    long closes() const {
        return std::count_if(desktop.calls.begin(), desktop.calls.end(),
                             [](const std::string& call) { return call.rfind("RegCloseKey", 0) == 0; });
    }

    std::string scriptCall() const {
        return "ShellExecute " + std::to_string(host.window) +
               " open C:\\Program Files\\Pellorin\\setiedefault.vbs [] [] 9";
    }
};

TEST_F(AutoTitleTest, ALongEnoughTitleGivesItsLastEightCharactersSilently) {
    struct Case {
        std::string stored;
        std::string expected;
    };
    const Case cases[] = {
        {"Microsoft Internet Explorer", "Explorer"},
        {"Surf with me - my browser", " browser"},  // blank included
        {"exactly8", "exactly8"},
        {std::string(300, 'a') + "the end!", "the end!"},   // longer than the first buffer
        {std::string(70000, 'b') + " 12345 ", "b 12345 "},  // far longer
    };
    for (const Case& c : cases) {
        setTitle(c.stored);
        desktop.calls.clear();
        form.cmdAutoTitle.click();
        EXPECT_EQ(form.Text1.text(), c.expected) << c.stored.size();
        EXPECT_TRUE(runtime.boxes.empty()) << c.stored.size();
        EXPECT_EQ(closes(), 1) << c.stored.size();
    }
}

TEST_F(AutoTitleTest, OnADoubleByteCodePageTheTitleIsCutAndCountedByCharacters) {
    runtime.ansiCodePage = 932;
    // Eight bytes from the end lie inside a character.
    setTitle(runtime.toAnsi("\u30c0\u30e1\u6587\u5b57: \u8868\u30bd\u80fd\uff71\uff72\uff73"));
    form.cmdAutoTitle.click();
    EXPECT_EQ(form.Text1.text(), ": \u8868\u30bd\u80fd\uff71\uff72\uff73");
    EXPECT_TRUE(runtime.boxes.empty());
    // Five characters are too few, though ten bytes.
    setTitle(runtime.toAnsi("\u65e5\u672c\u8a9e\u30d6\u30e9"));
    runtime.answers = {forms::mb::answerNo};
    form.cmdAutoTitle.click();
    EXPECT_EQ(form.Text1.text(), "\u65e5\u672c\u8a9e\u30d6\u30e9");
    EXPECT_EQ(runtime.boxes.size(), 1u);
}

TEST_F(AutoTitleTest, AShortTitleAsksWhetherToResetAndNoKeepsIt) {
    setTitle("abc");
    runtime.answers = {forms::mb::answerNo};
    form.cmdAutoTitle.click();
    EXPECT_EQ(form.Text1.text(), "abc");
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].text, tooShort);
    EXPECT_EQ(runtime.boxes[0].title, "Pellorin");
    EXPECT_EQ(runtime.boxes[0].style, 4);
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"RegOpenKey " + browserKey, "RegCloseKey 1"}));
}

TEST_F(AutoTitleTest, YesClosesTheKeyThenStartsTheResetScript) {
    setTitle("abc");
    runtime.answers = {forms::mb::answerYes};
    form.cmdAutoTitle.click();
    EXPECT_EQ(desktop.calls, (std::vector<std::string>{"RegOpenKey " + browserKey, "RegCloseKey 1", scriptCall()}));
    EXPECT_EQ(form.Text1.text(), "Explorer");
}

TEST_F(AutoTitleTest, AnEmptyTitleEmptiesTheSuffixAndAsks) {
    setTitle("");
    runtime.answers = {forms::mb::answerNo};
    form.cmdAutoTitle.click();
    EXPECT_EQ(form.Text1.text(), "");
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].text, tooShort);
    EXPECT_EQ(closes(), 1);
}

TEST_F(AutoTitleTest, NoStringValueMeansTheDefaultTitle) {
    const auto expectDefault = [&](const char* what) {
        ASSERT_EQ(runtime.boxes.size(), 1u) << what;
        EXPECT_EQ(runtime.boxes[0].text, seemsDefault) << what;
        EXPECT_EQ(runtime.boxes[0].title, "Pellorin") << what;
        EXPECT_EQ(runtime.boxes[0].style, 0) << what;
        EXPECT_EQ(form.Text1.text(), "Explorer") << what;
        EXPECT_EQ(closes(), 1) << what;
        runtime.boxes.clear();
        desktop.calls.clear();
        form.Text1.setText("Original");
    };
    form.cmdAutoTitle.click();
    expectDefault("absent");
    setTitle("Expandable %USERNAME% title", 2);
    form.cmdAutoTitle.click();
    expectDefault("REG_EXPAND_SZ");
    desktop.registry[browserKey]["Window Title"] = {4, std::string("\x10\0\0\0", 4)};
    form.cmdAutoTitle.click();
    expectDefault("REG_DWORD");
    desktop.registry[browserKey]["Window Title"] = {3, std::string(400, '\x01')};
    form.cmdAutoTitle.click();
    expectDefault("long REG_BINARY");
}

TEST_F(AutoTitleTest, AKeyThatCannotBeOpenedLeavesTheSuffixAndClosesNothing) {
    desktop.registry.clear();
    form.cmdAutoTitle.click();
    ASSERT_EQ(runtime.boxes.size(), 1u);
    EXPECT_EQ(runtime.boxes[0].text, "Error, couldn\u00b4t read from the registry");
    EXPECT_EQ(runtime.boxes[0].title, "Pellorin");
    EXPECT_EQ(runtime.boxes[0].style, 16);
    EXPECT_EQ(form.Text1.text(), "Original");
    EXPECT_EQ(closes(), 0);
}

TEST_F(AutoTitleTest, AStringStoredWithoutItsZeroIsReadToItsEnd) {
    desktop.registry[browserKey]["Window Title"] = {1, "Unterminated title"};
    form.cmdAutoTitle.click();
    EXPECT_EQ(form.Text1.text(), "ed title");
    EXPECT_TRUE(runtime.boxes.empty());
}

}  // namespace
}  // namespace pellorin::testing
