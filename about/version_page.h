#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/code_pages.h"
#include "foundation/web.h"

namespace pellorin {

// What the update window takes from the version page.
struct VersionPage {
    std::string title;  // the document's title, blanks as written; "" for none
    std::string text;   // the body as one line of plain text
};

// The page's bytes as the program's text (UTF-8), decoded from the character
// set its byte order mark names, else the one the server declares in
// contentType, else the one the page declares in a <meta>; UTF-8 or
// Windows-1252 when none does. Sets other than those and UTF-16 are read
// through the system's tables; nullopt when it has none for the one named,
// for a page read wrongly would give a wrong verdict. Bytes that are no
// character of the set become "?" (or what the table makes of them); a page
// as long as the read is not held against UTF-8 for a character cut short
// at its end.
std::optional<std::string> decodePage(std::string_view bytes, std::string_view contentType, CodePages& codePages);

// Reads a decoded page in one pass, in time linear in its length, whatever
// its shape. The title is the first title element's text with its character
// references decoded; comments, scripts and styles hold none. The text has no
// tags, scripts, styles, control characters or invisible format characters
// (raw or as references), its references are decoded and every run of white
// space, the line and paragraph separators among it, is one blank.
VersionPage readVersionPage(std::string_view html);

// The progress label's number: read against announced, in percent, halves to
// the even neighbour; -1 when there is nothing to show.
std::int64_t progressPercent(std::int64_t read, std::int64_t announced);

// What the strip says when the check could not be made.
std::string failureText(const LoadFailure& failure);

}  // namespace pellorin
