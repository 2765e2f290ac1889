#include "about/version_page.h"
#include "iconv_code_pages.h"
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
        // Nor characters that are not drawn but turn the rest backwards or
        // hide in it, raw or as references; the line separators are blanks.
        {"<body>a\u202eb&#x202E;c&#8203;d\u2028e&#xFEFF;f\u200fg\u2067h</body>", "", "abcd efgh"},
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
    const auto utf16 = [](std::string_view ascii, bool littleEndian) {
        std::string bytes;
        for (char c : ascii) bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
        return bytes;
    };
    const struct {
        std::string bytes;
        const char* contentType;
        const char* text;  // nullptr: no text this system can read, and so no verdict
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
        // Every other set through the system's tables, by any of its names.
        {"\xcd\xee\xe2\xe0\xff", "text/html; charset=windows-1251", "\u041d\u043e\u0432\u0430\u044f"},
        {"\xee\xcf\xd7\xc1\xd1", "text/html; charset=KOI8-R", "\u041d\u043e\u0432\u0430\u044f"},
        {"\xa3\xf3"
         "d\xbc",
         "text/html; charset=iso-8859-2", "\u0141\u00f3d\u017a"},
        {"\xfd", "text/html; charset=iso-8859-9", "\u0131"},  // read as windows-1254, as browsers do
        {"<meta charset=\"Shift_JIS\">\x83\x65\x83\x58\x83\x67", "", "<meta charset=\"Shift_JIS\">\u30c6\u30b9\u30c8"},
        {"\xc6\xfc\xcb\xdc", "text/html; charset=euc-jp", "\u65e5\u672c"},
        {"\xd6\xd0\xce\xc4", "text/html; charset=gb2312", "\u4e2d\u6587"},
        {"\xa4\xa4\xa4\xe5", "text/html; charset=big5", "\u4e2d\u6587"},
        {"\xc7\xd1\xb1\xdb", "text/html; charset=euc-kr", "\ud55c\uae00"},
        // UTF-16 declared by the server needs no byte order mark; one a
        // <meta> names cannot be, for the <meta> itself was read as ASCII.
        {utf16("<title>2.2</title>", true), "text/html; charset=utf-16", "<title>2.2</title>"},
        {utf16("2.2", false), "text/html; charset=UTF-16BE", "2.2"},
        {"<meta charset=utf-16>\xc3\xbc", "", "<meta charset=utf-16>\u00fc"},
        // A name no browser knows counts for nothing; one the system has no
        // table for gives no text rather than a wrong one.
        {"\xc3\xbc", "text/html; charset=x-unknown", "\u00fc"},
        {"<title>2.2</title>", "text/html; charset=hz-gb-2312", nullptr},
    };
    IconvCodePages codePages;
    for (const auto& c : cases) {
        const std::optional<std::string> text = decodePage(c.bytes, c.contentType, codePages);
        if (c.text)
            EXPECT_EQ(text, c.text) << c.bytes;
        else
            EXPECT_EQ(text, std::nullopt) << c.bytes;
    }

    // A page as long as the read, cut inside its last character, is still UTF-8.
    std::string cut = "<title>2.2</title>Caf\xc3\xa9: ";
    while (cut.size() < static_cast<std::size_t>(WebClient::largestPage)) cut += "\xc3\xa9";
    cut.resize(static_cast<std::size_t>(WebClient::largestPage));
    ASSERT_EQ(static_cast<unsigned char>(cut.back()), 0xc3) << "the cut falls inside a character";
    const std::optional<std::string> read = decodePage(cut, "text/html", codePages);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, cut.substr(0, cut.size() - 1));
    // A shorter page ends where it ends: the same bytes are no UTF-8 there.
    EXPECT_EQ(decodePage("Caf\xc3\xa9 \xc3", "", codePages), "Caf\u00c3\u00a9 \u00c3");
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
    // Nor is a page in a character set this system has no table for.
    check().Command1.click();
    program.form3.get()->Command2.click();
    web.events.loaded("<title>2.2</title>", "text/html; charset=hz-gb-2312");
    EXPECT_EQ(check().Label5.caption(), "Couldn\u00b4t check for a new version!");
    EXPECT_EQ(check().WebBrowser1.caption(), "The page is in a character set this system cannot read.");
    EXPECT_FALSE(check().tmrDeadline.enabled());
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
