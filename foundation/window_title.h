#pragma once

#include <string>
#include <string_view>

#include "foundation/desktop.h"
#include "foundation/forms.h"

namespace pellorin {

// Titles longer than this are not read: no browser window has one, and a
// window that claims such a length is not worth a gigabyte buffer.
inline constexpr std::int32_t longestTitleRead = 1 << 20;

// The window's title as GetWindowTextLengthA and GetWindowTextA give it; ""
// for a window without a title or one that vanished between the two calls.
std::string readWindowTitle(TopLevelWindows& windows, Hwnd window);

// The last eight characters of a title read in the ANSI code page, or the
// whole title when it is shorter. They are the code page's characters: a
// character of two bytes (or, where the code page is UTF-8, of up to four)
// counts as one and is never cut in two.
std::string_view lastEightCharacters(forms::Runtime& runtime, std::string_view title);
// How many characters of the ANSI code page text holds.
std::size_t ansiCharacterCount(forms::Runtime& runtime, std::string_view text);

// The shell's folder windows (File Explorer, whose titles end in
// "Explorer" on today's Windows) are never browser windows, whatever their title.
bool isFolderWindow(TopLevelWindows& windows, Hwnd window);

// Handles shown as text read as the platform's signed 32-bit number.
std::string handleText(Hwnd window);
// Accepts what handleText writes, and unsigned values too; false for anything else.
bool parseHandle(std::string_view text, Hwnd& window);

}  // namespace pellorin
