#include <optional>

#include "foundation/browsers.h"
#include "foundation/window_title.h"
#include "fresh_program.h"
#include "program_fixture.h"

namespace pellorin::testing {
namespace {

const std::string associations = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\";
const std::string httpsChoice = associations + "https\\UserChoice";
const std::string httpsLatest = associations + "https\\UserChoiceLatest\\ProgId";
const std::string httpChoice = associations + "http\\UserChoice";
const std::string httpLatest = associations + "http\\UserChoiceLatest\\ProgId";

// As Windows stores a ProgId: a string with its terminating zero.
SubstituteDesktop::RegistryEntry progId(const std::string& id) { return {reg::typeString, id + '\0'}; }

TEST(KnownBrowsers, ProgIdAndCodePageGiveTheSuffix) {
    struct Case {
        const char* progId;
        std::uint32_t codePage;
        const char* suffix;  // UTF-8, as the box shows it
    };
    const Case cases[] = {
        {"MSEdgeHTM", 1252, "ft? Edge"},  // the zero-width space is not in the code page
        {"MSEdgeHTM", 1251, "ft? Edge"},
        {"MSEdgeHTM", 932, "ft? Edge"},
        {"MSEdgeHTM", 65001, "ft\u200b Edge"},
        {"ChromeHTML", 1252, "e Chrome"},
        {"ChromeHTML.UAVDPKBXQA3VRNBFPA6UJVHQ4E", 1252, "e Chrome"},  // a per-user install
        {"chromehtml", 65001, "e Chrome"},                            // registry names know no case
        {"FirefoxURL-308046B0AF4A39CB", 1252, " Firefox"},
        {"FirefoxURL", 932, " Firefox"},  // before Firefox marked its folder
        {"IE.HTTP", 1252, "Explorer"},
        {"IE.HTTPS", 1252, "Explorer"},
        {"BraveHTML", 1252, " - Brave"},
        {"OperaStable", 1251, " - Opera"},
        {"VivaldiHTM.RQHFZBZP6K7LHOQJ4J34NJXVTY", 1252, " Vivaldi"},
        {"ChromiumHTM", 1252, "Chromium"},
        // Unknown: the default of old.
        {"", 1252, "Explorer"},
        {"ChromeBHTML", 1252, "Explorer"},  // a channel whose titles are not known here
        {"ChromeHTMLX", 1252, "Explorer"},
        {"ChromeHTML.", 1252, "Explorer"},
        {"MSEdge", 1252, "Explorer"},
        {"Opera GXStable", 1252, "Explorer"},
        {"AppXq0fevzme2pys62n3e0fbqa7peapykr8v", 1252, "Explorer"},
        {"htmlfile", 65001, "Explorer"},
    };
    SubstituteRuntime runtime;
    for (const Case& c : cases) {
        runtime.ansiCodePage = c.codePage;
        EXPECT_EQ(titleSuffixForProgId(runtime, c.progId), runtime.toAnsi(c.suffix))
            << c.progId << " on code page " << c.codePage;
    }
}

TEST(KnownBrowsers, EverySuffixIsTheLastEightCharactersOfARealTitle) {
    SubstituteRuntime runtime;
    for (std::uint32_t codePage : {1252u, 1251u, 932u, 65001u})
        for (const KnownBrowser& browser : knownBrowsers()) {
            runtime.ansiCodePage = codePage;
            const std::string suffix = titleSuffixForProgId(runtime, browser.progId);
            const std::string title = runtime.toAnsi(std::string("Start Page") + browser.titleEnding);
            EXPECT_EQ(ansiCharacterCount(runtime, suffix), 8u) << browser.name << " on code page " << codePage;
            EXPECT_EQ(lastEightCharacters(runtime, title), suffix) << browser.name << " on code page " << codePage;
        }
}

TEST(KnownBrowsers, TheChoiceForHttpsComesFirstAndTheLatestBeforeTheOlder) {
    struct Case {
        const char* what;
        std::map<std::string, SubstituteDesktop::RegistryEntry> values;  // by key
        const char* expected;
    };
    const Case cases[] = {
        {"no choice", {}, ""},
        {"https", {{httpsChoice, progId("ChromeHTML")}, {httpChoice, progId("MSEdgeHTM")}}, "ChromeHTML"},
        {"http alone", {{httpChoice, progId("FirefoxURL-308046B0AF4A39CB")}}, "FirefoxURL-308046B0AF4A39CB"},
        {"Windows 11's latest", {{httpsLatest, progId("BraveHTML")}, {httpsChoice, progId("MSEdgeHTM")}}, "BraveHTML"},
        {"https before http's latest",
         {{httpsChoice, progId("MSEdgeHTM")}, {httpLatest, progId("ChromeHTML")}},
         "MSEdgeHTM"},
        {"no text",
         {{httpsChoice, {4, std::string("\x05\0\0\0", 4)}}, {httpChoice, progId("ChromeHTML")}},
         "ChromeHTML"},
        {"empty", {{httpsChoice, progId("")}, {httpChoice, progId("OperaStable")}}, "OperaStable"},
        {"stored without its zero", {{httpsChoice, {reg::typeString, "IE.HTTPS"}}}, "IE.HTTPS"},
        {"too long to name a browser", {{httpsChoice, progId(std::string(300, 'x'))}}, ""},
    };
    for (const Case& c : cases) {
        SubstituteDesktop desktop;
        for (const auto& [key, value] : c.values) desktop.registry[key]["ProgId"] = value;
        EXPECT_EQ(defaultBrowserProgId(desktop), c.expected) << c.what;
        long opened = 0;
        long closed = 0;
        for (const std::string& call : desktop.calls) {
            opened += call.rfind("RegOpenKey ", 0) == 0 && c.values.count(call.substr(11)) != 0;
            closed += call.rfind("RegCloseKey ", 0) == 0;
        }
        EXPECT_EQ(closed, opened) << c.what << ": every key opened is closed";
    }
}

using FirstStartTest = ProgramTest;

TEST_F(FirstStartTest, AnEmptySuffixBecomesTheDefaultBrowsersAndAStoredOneStays) {
    struct Case {
        const char* progId;                // the choice for https; none when empty
        std::optional<std::string> setup;  // setup.cfg as found; none: a first start
        const char* shown;                 // Text1
        bool hide;
        const char* stored;  // setup.cfg after Exit
    };
    const Case cases[] = {
        {"MSEdgeHTM", std::nullopt, "ft? Edge", true, "ft? Edge\r\nhide\r\n"},
        {"ChromeHTML", std::nullopt, "e Chrome", true, "e Chrome\r\nhide\r\n"},
        {"FirefoxURL-308046B0AF4A39CB", "\r\nclose\r\n", " Firefox", true, "\" Firefox\"\r\nhide\r\n"},
        {"IE.HTTPS", std::nullopt, "Explorer", true, "Explorer\r\nhide\r\n"},
        {"", std::nullopt, "Explorer", true, "Explorer\r\nhide\r\n"},
        {"SomeOtherBrowserURL", "", "Explorer", true, "Explorer\r\nhide\r\n"},
        // The user's own suffix is never changed.
        {"ChromeHTML", "Explorer\r\nclose\r\n", "Explorer", false, "Explorer\r\nclose\r\n"},
        {"MSEdgeHTM", "e Chrome\r\nhide\r\n", "e Chrome", true, "e Chrome\r\nhide\r\n"},
    };
    for (const Case& c : cases) {
        FreshProgram fresh;
        if (*c.progId) fresh.desktop.registry[httpsChoice]["ProgId"] = progId(c.progId);
        if (c.setup) fresh.files.put("setup.cfg", *c.setup);
        fresh.form.Form_Load();
        EXPECT_EQ(fresh.form.Text1.text(), c.shown) << c.progId;
        EXPECT_EQ(fresh.form.Option1.selected(), c.hide) << c.progId;
        EXPECT_TRUE(endsProgram([&] { fresh.form.cmdExit_Click(); }));
        EXPECT_EQ(fresh.files.get("setup.cfg"), c.stored) << c.progId;
    }
}

TEST_F(FirstStartTest, TheDefaultBrowsersWindowsAreListedAndMaximized) {
    runtime.ansiCodePage = 65001;  // Edge's zero-width space is a character of its own here
    desktop.registry[httpsLatest]["ProgId"] = progId("MSEdgeHTM");
    const std::string title = "New tab - Microsoft\u200b Edge";
    const Hwnd edge = desktop.open(title);
    std::vector<std::string> suffixesSeen;
    desktop.beforeTitleRead = [&](Hwnd) { suffixesSeen.push_back(form.titleSuffix()); };
    load();
    // The first look at the windows takes the suffix as stored; once the
    // default is in, the list shows what the box names.
    EXPECT_EQ(suffixesSeen, (std::vector<std::string>{"", "ft\u200b Edge"}));
    EXPECT_EQ(listTexts(form.List1), std::vector<std::string>{title});
    desktop.foreground = edge;
    form.Timer1_Timer();
    EXPECT_TRUE(desktop.window(edge).zoomed);
    EXPECT_TRUE(endsProgram([&] { form.cmdExit.click(); }));
    EXPECT_EQ(files.get("setup.cfg"), "ft\u200b Edge\r\nhide\r\n");
}

}  // namespace
}  // namespace pellorin::testing
