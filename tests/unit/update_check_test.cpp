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

TEST(VersionPage, TitleAsWrittenAndBodyAsOneLine) {
    const struct {
        const char* html;
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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pageTitle(c.html), c.title) << c.html;
        EXPECT_EQ(pageText(c.html), c.text) << c.html;
    }
    EXPECT_LE(pageText(std::string(100000, 'x')).size(), 1000u);
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
                                                          {" 2.2", "You don\xb4t have the latest version!"},
                                                          {"2.3", "You don\xb4t have the latest version!"},
                                                          {"2.2", "You have the latest version!"}};
    for (const auto& [title, verdict] : titles) {
        web.events.loaded(std::string("<title>") + title + "</title><body>The latest:\r\n <b>" + title + "</b></body>");
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
        EXPECT_EQ(check().Label5.caption(), "Couldn\xb4t check for a new version!");
        EXPECT_EQ(check().WebBrowser1.caption(), why);
        EXPECT_FALSE(check().lblProgress.visible());
    }
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
