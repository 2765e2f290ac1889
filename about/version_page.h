#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/web.h"

namespace pellorin {

// The text of the page's title element exactly as written, blanks included;
// "" when there is none.
std::string pageTitle(std::string_view html);

// The page's body as one line of plain text: no tags, scripts or styles,
// character references decoded, every run of white space one blank.
std::string pageText(std::string_view html);

// The progress label's number: read against announced, in percent, halves to
// the even neighbour; -1 when there is nothing to show.
std::int64_t progressPercent(std::int64_t read, std::int64_t announced);

// What the strip says when the check could not be made.
std::string failureText(const LoadFailure& failure);

}  // namespace pellorin
