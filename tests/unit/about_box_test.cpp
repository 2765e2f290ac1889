#include "program_fixture.h"

namespace pellorin::testing {
namespace {

class AboutBoxTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        load();
        desktop.calls.clear();
    }
    Form3& open() {
        form.imgAbout.click();
        return *program.form3.get();
    }
};

TEST_F(AboutBoxTest, StatisticsInTheUsersLocale) {
    const struct {
        std::int16_t count;
        const char* point;
        const char* comma;
    } cases[] = {
        {0, "0", "0"}, {10, "1", "1"}, {123, "12.3", "12,3"}, {32767, "3276.7", "3276,7"}, {-5, "-0.5", "-0,5"}};
    for (const auto& c : cases) {
        for (const char* separator : {".", ","}) {
            runtime.separator = separator;
            settings.statMaximizeCount = c.count;
            settings.statKilledPopups = 7;
            Form3& about = open();
            const std::string expected = std::string(*separator == '.' ? c.point : c.comma) + " Meters";
            EXPECT_EQ(about.Label11.caption(), expected) << c.count << " with \"" << separator << "\"";
            EXPECT_EQ(about.Label8.caption(), std::to_string(c.count));
            EXPECT_EQ(about.Label9.caption(), "7");
            about.Command1.click();
            EXPECT_EQ(program.form3.get(), nullptr);
        }
    }
}

TEST_F(AboutBoxTest, DocumentsShowEveryLineEndedAndTheSwitchAlternates) {
    const std::pair<const char*, const char*> documents[] = {{"", ""},
                                                             {"one line", "one line\r\n"},
                                                             {"a\r\nb\r\n", "a\r\nb\r\n"},
                                                             {"a\nb\r\rc", "a\r\nb\r\n\r\nc\r\n"},
                                                             {"\r\n\r\n", "\r\n\r\n"}};
    for (const auto& [content, shown] : documents) {
        files.put("readme.txt", content);
        Form3& about = open();
        EXPECT_EQ(about.Text1.text(), shown) << "readme \"" << content << "\"";
        EXPECT_TRUE(about.Text1.enabled());
        about.Command1.click();
    }

    files.put("readme.txt", "Read me\r\n");
    Form3& about = open();
    EXPECT_EQ(about.Command3.caption(), "FAQ");
    about.Command3.click();  // no faq.txt
    EXPECT_EQ(about.Command3.caption(), "Read Me");
    EXPECT_EQ(about.Text1.text(), "Couldn\u00b4t find faq.txt...");
    EXPECT_FALSE(about.Text1.enabled());
    about.Command3.click();
    EXPECT_EQ(about.Command3.caption(), "FAQ");
    EXPECT_EQ(about.Text1.text(), "Read me\r\n");
    EXPECT_TRUE(about.Text1.enabled());

    files.files.erase(files.path("readme.txt"));
    files.put("faq.txt", "Questions");
    about.Command3.click();
    EXPECT_EQ(about.Text1.text(), "Questions\r\n");
    about.Command3.click();
    EXPECT_EQ(about.Text1.text(), "Couldn\u00b4t find readme.txt...");
    EXPECT_FALSE(about.Text1.enabled());
}

TEST(Documents, ReadAsNotepadSavesThem) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::uint32_t codePage;  // the system's ANSI code page
        bool cut;                // the read stopped at its size limit
        const char* text;
    } cases[] = {
        {"Caf\xe9", 1252, false, "Caf\u00e9"},
        {"\xef\xbb\xbf"
         "Caf\xc3\xa9",
         1252, false, "Caf\u00e9"},
        {"Caf\xc3\xa9", 1252, false, "Caf\u00e9"},  // UTF-8 without a byte order mark
        {"\xff\xfeP\0\xe9\0"s, 1252, false, "P\u00e9"},
        {"\xfe\xff\0P\0\xe9"s, 1252, false, "P\u00e9"},
        {"\x93\xfa\x96\x7b", 932, false, "\u65e5\u672c"},
        // Cut at the size limit: the character it cuts is left out.
        {"Caf\xc3\xa9 \xc3", 1252, true, "Caf\u00e9 "},
        {"\xff\xfeP\0\x3d\xd8"s, 1252, true, "P"},
        {"\xff\xfeP\0Q"s, 1252, true, "P"},
        {"\x93\xfa\x96", 932, true, "\u65e5"},
    };
    SubstituteRuntime runtime;
    for (const auto& c : cases) {
        runtime.ansiCodePage = c.codePage;
        EXPECT_EQ(documentCharacters(c.bytes, c.cut, runtime), c.text) << c.bytes << (c.cut ? ", cut" : "");
    }
    EXPECT_EQ(documentText("a\0b\r\n\0"s), "a b\r\n \r\n") << "a NUL shows as a blank";
}

TEST_F(AboutBoxTest, LinksAreHandedToTheShellWithTheBoxAsOwner) {
    Form3& about = open();
    const std::string owner = std::to_string(runtime.windowOf(about)->window);
    about.Label2.click();
    about.Label3.click();
    EXPECT_EQ(desktop.calls,
              (std::vector<std::string>{
                  "ShellExecute " + owner + " open mailto:" + about.Label2.caption() + "?Subject=Pellorin_2.2 [] [] 9",
                  "ShellExecute " + owner + " open " + about.Label3.caption() + " [] [] 9"}));
    EXPECT_EQ(about.Label3.caption().substr(about.Label3.caption().size() - 9), "index.htm");
}

}  // namespace
}  // namespace pellorin::testing
