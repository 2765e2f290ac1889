#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/browsers.h"
#include "substitute_desktop.h"

namespace pellorin::testing {
namespace {

TEST(DefaultBrowser, ProgIdAndCodePageGiveTheSuffix) {
    const struct {
        const char* progId;
        std::uint32_t codePage;
        const char* suffix;  // as the box shows it
    } cases[] = {
        {"MSEdgeHTM", 1252, "ft? Edge"},  // the zero-width space is not in the code page
        {"MSEdgeHTM", 932, "ft? Edge"},
        {"MSEdgeHTM", 65001, "ft\u200b Edge"},
        {"ChromeHTML.UAVDPKBXQA3VRNBFPA6UJVHQ4E", 1252, "e Chrome"},  // a per-user install
        {"chromehtml", 1251, "e Chrome"},                             // registry names know no case
        {"FirefoxURL-308046B0AF4A39CB", 1252, " Firefox"},
        {"IE.HTTPS", 1252, "Explorer"},
        {"BraveHTML", 1252, " - Brave"},
        {"OperaStable", 1252, " - Opera"},
        {"VivaldiHTM.RQHFZBZP6K7LHOQJ4J34NJXVTY", 1252, " Vivaldi"},
        {"ChromiumHTM", 65001, "Chromium"},
        // Not known, or no choice at all.
        {"", 1252, "Explorer"},
        {"ChromeBHTML", 1252, "Explorer"},
        {"ChromeHTMLX", 1252, "Explorer"},
        {"Opera GXStable", 1252, "Explorer"},
    };
    SubstituteRuntime runtime;
    for (const auto& c : cases) {
        runtime.ansiCodePage = c.codePage;
        EXPECT_EQ(titleSuffixForProgId(runtime, c.progId), runtime.toAnsi(c.suffix)) << c.progId << " " << c.codePage;
    }
}

TEST(DefaultBrowser, HttpsComesFirstAndOnlyATextCounts) {
    const std::string associations = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\";
    SubstituteDesktop desktop;
    desktop.registry[associations + "https\\UserChoice"]["ProgId"] = {4, std::string("\x05\0\0\0", 4)};
    desktop.registry[associations + "http\\UserChoice"]["ProgId"] = {reg::typeString, std::string("OperaStable\0", 12)};
    EXPECT_EQ(defaultBrowserProgId(desktop), "OperaStable");
    desktop.registry[associations + "https\\UserChoice"]["ProgId"] = {reg::typeString, "ChromeHTML"};  // no zero
    EXPECT_EQ(defaultBrowserProgId(desktop), "ChromeHTML");
    EXPECT_EQ(std::count_if(desktop.calls.begin(), desktop.calls.end(),
                            [](const std::string& call) { return call.rfind("RegCloseKey", 0) == 0; }),
              3)
        << "every key opened is closed";
}

}  // namespace
}  // namespace pellorin::testing
