#pragma once

#include <span>
#include <string>
#include <string_view>

#include "foundation/desktop.h"
#include "foundation/forms.h"

namespace pellorin {

// The title suffix for a browser Pellorin does not know: Internet
// Explorer's titles end in it.
inline constexpr const char* fallbackTitleSuffix = "Explorer";

// A browser that Pellorin knows by the ProgId with which Windows opens web
// links in it, and by how it ends the titles of its windows.
struct KnownBrowser {
    const char* name;
    // As its maker registers it. Installs that add a mark of their own
    // (Chromium's per-user ".ABC123", Firefox's per-folder "-308046B0AF4A39CB")
    // are the same browser.
    const char* progId;
    // What follows the page's title in every window title, in UTF-8.
    const char* titleEnding;
};

// Every browser Pellorin knows.
std::span<const KnownBrowser> knownBrowsers();

// The browser that a ProgId names; nullptr for one Pellorin does not know.
const KnownBrowser* browserForProgId(std::string_view progId);

// The ProgId of the browser that Windows opens https links with, or http
// links where it keeps no choice for https; "" where the user has none.
std::string defaultBrowserProgId(Desktop& desktop);

// The last eight characters of the title ending of the browser that progId
// names, as its titles read in the ANSI code page; fallbackTitleSuffix for
// a browser Pellorin does not know.
std::string titleSuffixForProgId(forms::Runtime& runtime, std::string_view progId);

}  // namespace pellorin
