#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pellorin {

// Windows take text as UTF-16; the program holds its own as UTF-8 and reads
// other programs' in the ANSI code page. A character that codePage lacks
// becomes "?".
std::wstring widen(std::string_view text, UINT codePage = CP_UTF8);
std::string narrow(std::wstring_view text, UINT codePage = CP_UTF8);

// Bytes of any code page the system has a table for, as UTF-8; nullopt when
// it has none for that code page.
std::optional<std::string> decodeCodePage(std::string_view bytes, UINT codePage);

// The bytes of the ANSI code page's character at the start of ansi (not
// empty); more than ansi holds when it ends inside the character.
std::size_t ansiCharacterLength(std::string_view ansi);

}  // namespace pellorin
