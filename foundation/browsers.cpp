// The browsers Pellorin knows, and which of them Windows opens web links
// with: a first start takes that browser's title suffix.
#include "foundation/browsers.h"

#include <algorithm>
#include <iterator>

#include "foundation/text.h"
#include "foundation/window_title.h"

namespace pellorin {

namespace {

// Each ends its titles with a separator and its name after the page's title
// ("Start - Google Chrome"); Edge puts a zero-width space after "Microsoft",
// Firefox an em dash before its name.
constexpr KnownBrowser browsers[] = {
    {"Microsoft Edge", "MSEdgeHTM", " - Microsoft\u200b Edge"},
    {"Google Chrome", "ChromeHTML", " - Google Chrome"},
    {"Mozilla Firefox", "FirefoxURL", " \u2014 Mozilla Firefox"},
    {"Internet Explorer", "IE.HTTP", " - Internet Explorer"},
    {"Internet Explorer", "IE.HTTPS", " - Internet Explorer"},
    {"Brave", "BraveHTML", " - Brave"},
    {"Opera", "OperaStable", " - Opera"},
    {"Vivaldi", "VivaldiHTM", " - Vivaldi"},
    {"Chromium", "ChromiumHTM", " - Chromium"},
};

constexpr const char* urlAssociations = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\";
// Windows 11 keeps the choice made in its Settings under UserChoiceLatest
// from 24H2 on, and may leave an earlier one under UserChoice.
constexpr const char* userChoices[] = {"\\UserChoiceLatest\\ProgId", "\\UserChoice"};
// No ProgId comes near it; a longer value names no browser we know.
constexpr std::uint32_t progIdBuffer = 256;

// ProgIds are the names of registry keys, which Windows compares without
// regard to case.
bool namesBrowser(std::string_view progId, std::string_view registered) {
    if (progId.size() < registered.size() || !equalIgnoringAsciiCase(progId.substr(0, registered.size()), registered))
        return false;
    if (progId.size() == registered.size()) return true;
    const char mark = progId[registered.size()];
    return (mark == '.' || mark == '-') && progId.size() > registered.size() + 1;
}

// A text value under HKEY_CURRENT_USER; "" when it is missing, no text or too long.
std::string readCurrentUserText(Desktop& desktop, const std::string& path, const char* name) {
    Desktop::RegistryKey key = 0;
    if (desktop.regOpenCurrentUserKey(path, reg::keyRead, key) != 0) return "";
    std::uint32_t type = 0;
    std::uint32_t size = progIdBuffer;
    std::string buffer(progIdBuffer, '\0');
    const std::int32_t result = desktop.regQueryValue(key, name, type, buffer, size);
    desktop.regCloseKey(key);
    if (result != 0 || type != reg::typeString) return "";
    buffer.resize(std::min<std::size_t>(size, buffer.size()));
    return buffer.substr(0, buffer.find('\0'));
}

}  // namespace

std::span<const KnownBrowser> knownBrowsers() { return browsers; }

const KnownBrowser* browserForProgId(std::string_view progId) {
    const auto found = std::find_if(std::begin(browsers), std::end(browsers),
                                    [&](const KnownBrowser& browser) { return namesBrowser(progId, browser.progId); });
    return found == std::end(browsers) ? nullptr : found;
}

std::string defaultBrowserProgId(Desktop& desktop) {
    for (const char* scheme : {"https", "http"})
        for (const char* choice : userChoices) {
            std::string progId = readCurrentUserText(desktop, urlAssociations + std::string(scheme) + choice, "ProgId");
            if (!progId.empty()) return progId;
        }
    return "";
}

std::string titleSuffixForProgId(forms::Runtime& runtime, std::string_view progId) {
    const KnownBrowser* browser = browserForProgId(progId);
    if (!browser) return fallbackTitleSuffix;
    // Read as every title is read: a character the code page lacks (Edge's
    // zero-width space, mostly) turns into what the titles show in its place.
    const std::string ending = runtime.toAnsi(browser->titleEnding);
    return std::string(lastEightCharacters(runtime, ending));
}

}  // namespace pellorin
