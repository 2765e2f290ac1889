#include "about/version_page.h"
#include "program_fixture.h"

namespace pellorin::testing {
namespace {

class UpdateCheckTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        load();
        form.imgAbout.click();
        program.form3.get()->Command2.click();
    }
    Form5& check() { return *program.form5.get(); }
};

TEST(VersionPage, TitleAndBodyAsABrowserReadsThem) {
    using namespace std::string_view_literals;
    const struct {
        std::string_view html;
        const char* title;
        const char* text;
    } cases[] = {
        {"<html><head><title>2.2</title></head><body><p>Pellorin 2.2</p>\r\n<p>is out</p></body></html>", "2.2",
         "Pellorin 2.2 is out"},
        {"<HTML><TITLE> 2.2 </TITLE><BODY bgcolor=white>a &amp; b&#33; &lt;c&gt;</BODY>", " 2.2 ", "a & b! <c>"},
        {"<title lang=en>2.3</title>no body <script>var x = '<b>';</script>here", "2.3", "no body here"},
        {"<titles>x</titles><title>2.2", "2.2", "x"},
        {"plain text, no tags", "", "plain text, no tags"},
        {"<head><title>2.2</title><style>p{}</style></head>", "2.2", ""},
        // The document's title: references decoded, comments and scripts hold none.
        {"<title>2&#46;2</title>", "2.2", ""},
        {"<!-- <title>2.1</title> --><script>'<title>2.0</title>'</script><title>2.2</title>", "2.2", ""},
        {"<title>2.2</title><title>2.3</title>", "2.2", ""},
        // Text a browser shows: a "<" that opens no tag, references beyond
        // Latin-1, and no control characters or NULs.
        {"<body>a < b &#8364;&euro; &#150;</body>", "", "a < b \u20ac\u20ac \u2013"},
        {"<body>x\x01\x7f\xc2\x85y&#0;z\0w</body>"sv, "", "xy?zw"},
        {"<head><title>2.2</title><body>no end to the head", "2.2", "no end to the head"},
    };
    for (const auto& c : cases) {
        const VersionPage page = readVersionPage(c.html);
        EXPECT_EQ(page.title, c.title) << c.html;
        EXPECT_EQ(page.text, c.text) << c.html;
    }
    const std::string longPage = "<body>" + std::string(100000, 'x') + "\xc3\xa9";
    EXPECT_LE(readVersionPage(longPage).text.size(), 1000u);
}

TEST(VersionPage, DecodedFromTheCharsetItDeclares) {
    const struct {
        std::string bytes;
        const char* contentType;
        const char* text;
    } cases[] = {
        {"Gr\xc3\xbc\xc3\x9f"
         "e \xe2\x80\x93 \xe2\x82\xac",
         "text/html; charset=UTF-8", "Gr\u00fc\u00dfe \u2013 \u20ac"},
        {"Gr\xfc\xdf"
         "e \x96 \x80",
         "text/html; charset=\"windows-1252\"", "Gr\u00fc\u00dfe \u2013 \u20ac"},
        {"Gr\xfc\xdf"
         "e",
         "text/html;charset=ISO-8859-1", "Gr\u00fc\u00dfe"},
        {"<meta charset=\"utf-8\">\xc3\xbc", "text/html", "<meta charset=\"utf-8\">\u00fc"},
        {"<meta http-equiv=Content-Type content='text/html; CHARSET=iso-8859-1'>\xfc", "",
         "<meta http-equiv=Content-Type content='text/html; CHARSET=iso-8859-1'>\u00fc"},
        // The server's word goes before the page's; a byte order mark's before both.
        {"<meta charset=utf-8>\xfc", "text/html; charset=windows-1252", "<meta charset=utf-8>\u00fc"},
        {"\xef\xbb\xbf\xc3\xbc", "text/html; charset=windows-1252", "\u00fc"},
        {std::string("\xff\xfe\xfc\0\xac\x20", 6), "", "\u00fc\u20ac"},
        // Undeclared: UTF-8 when it reads as such, else Windows-1252.
        {"\xc3\xbc", "", "\u00fc"},
        {"\xfc\x80", "", "\u00fc\u20ac"},
        // Declared UTF-8 that is not: each stray byte a question mark.
        {"a\xfc"
         "b\xe2\x82",
         "text/html; charset=utf-8", "a?b??"},
    };
    for (const auto& c : cases) EXPECT_EQ(decodePage(c.bytes, c.contentType), c.text) << c.bytes;
}

TEST_F(UpdateCheckTest, LoadsTheVersionPageAtOnceAndShowsProgress) {
    ASSERT_EQ(web.urls.size(), 1u);
    EXPECT_EQ(web.urls[0].substr(web.urls[0].size() - 28), "program/pellorin/version.htm");
    EXPECT_EQ(check().Label5.caption(), "Connecting...");
    const struct {
        std::int64_t read, announced;
        const char* shown;
    } steps[] = {{0, 200, ""},  {50, 200, "25%"}, {50, 0, "25%"},    {1, 8, "12%"},
                 {3, 8, "38%"}, {0, 0, "38%"},    {200, 200, "100%"}};
    for (const auto& step : steps) {
        web.events.progress(step.read, step.announced);
        EXPECT_EQ(check().lblProgress.caption(), step.shown) << step.read << " of " << step.announced;
    }
}

TEST_F(UpdateCheckTest, TheTitleDecidesAndTheProgressGoesForGood) {
    const std::pair<const char*, const char*> titles[] = {{"2.2", "You have the latest version!"},
                                                          {" 2.2", "You don\u00b4t have the latest version!"},
                                                          {"2.3", "You don\u00b4t have the latest version!"},
                                                          {"2.2", "You have the latest version!"}};
    for (const auto& [title, verdict] : titles) {
        web.events.loaded(std::string("<title>") + title + "</title><body>The latest:\r\n <b>" + title + "</b></body>",
                          "text/html");
        EXPECT_EQ(check().Label5.caption(), verdict) << "title \"" << title << "\"";
        EXPECT_EQ(check().WebBrowser1.caption(), std::string("The latest: ") + (title[0] == ' ' ? title + 1 : title));
        EXPECT_FALSE(check().lblProgress.visible());
    }
    web.events.progress(10, 20);
    EXPECT_FALSE(check().lblProgress.visible());
}

TEST_F(UpdateCheckTest, APageThatCannotBeHadIsNoVerdict) {
    const std::pair<LoadFailure, const char*> failures[] = {
        {{LoadFailure::Kind::noConnection, 0}, "No connection to the server."},
        {{LoadFailure::Kind::timedOut, 0}, "The server did not answer in time."},
        {{LoadFailure::Kind::httpStatus, 404}, "The server answered with status 404."}};
    for (const auto& [failure, why] : failures) {
        web.events.failed(failure);
        EXPECT_EQ(check().Label5.caption(), "Couldn\u00b4t check for a new version!");
        EXPECT_EQ(check().WebBrowser1.caption(), why);
        EXPECT_FALSE(check().lblProgress.visible());
    }
}

TEST_F(UpdateCheckTest, ThirtySecondsWithoutAnAnswerIsNoAnswer) {
    EXPECT_TRUE(check().tmrDeadline.enabled());
    EXPECT_EQ(check().tmrDeadline.interval(), 30000);
    web.events.progress(10, 100);
    check().tmrDeadline.tick();
    EXPECT_FALSE(web.loading()) << "the load is given up";
    EXPECT_EQ(check().Label5.caption(), "Couldn\u00b4t check for a new version!");
    EXPECT_EQ(check().WebBrowser1.caption(), "The server did not answer in time.");
    EXPECT_FALSE(check().tmrDeadline.enabled());

    // A page in time stops the clock.
    check().Command1.click();
    program.form3.get()->Command2.click();
    web.events.loaded("<title>2.2</title>", "");
    EXPECT_FALSE(check().tmrDeadline.enabled());
    EXPECT_EQ(check().Label5.caption(), "You have the latest version!");
}

TEST_F(UpdateCheckTest, ClosingGivesTheLoadUpAndOpeningAgainLoadsAfresh) {
    EXPECT_TRUE(web.loading());
    check().Command2.click();
    EXPECT_EQ(desktop.calls.back().find("index.htm [] [] 9") != std::string::npos, true) << desktop.calls.back();
    check().Command1.click();
    EXPECT_FALSE(web.loading());
    EXPECT_EQ(program.form5.get(), nullptr);
    program.form3.get()->Command2.click();
    EXPECT_EQ(web.urls.size(), 2u);
    EXPECT_EQ(check().Label5.caption(), "Connecting...");
}

}  // namespace
}  // namespace pellorin::testing
