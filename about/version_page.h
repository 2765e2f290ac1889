#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/web.h"

namespace pellorin {

// What the update window takes from the version page.
struct VersionPage {
    std::string title;  // the document's title, blanks as written; "" for none
    std::string text;   // the body as one line of plain text
};

// The page's bytes as the program's text (UTF-8), decoded from the character
// set the server declares in contentType, else the one the page declares in
// a <meta>; UTF-8 or Windows-1252 when neither does. Bytes that are no
// character of that set become "?".
std::string decodePage(std::string_view bytes, std::string_view contentType);

// Reads a decoded page in one pass, in time linear in its length, whatever
// its shape. The title is the first title element's text with its character
// references decoded; comments, scripts and styles hold none. The text has no
// tags, scripts, styles or control characters, its references are decoded
// and every run of white space is one blank.
VersionPage readVersionPage(std::string_view html);

// The progress label's number: read against announced, in percent, halves to
// the even neighbour; -1 when there is nothing to show.
std::int64_t progressPercent(std::int64_t read, std::int64_t announced);

// What the strip says when the check could not be made.
std::string failureText(const LoadFailure& failure);

}  // namespace pellorin
