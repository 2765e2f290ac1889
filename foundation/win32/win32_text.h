#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace pellorin {

// Windows take text as UTF-16; the program holds its own as UTF-8 and reads
// other programs' in the ANSI code page. A character that codePage lacks
// becomes "?".
std::wstring widen(std::string_view text, UINT codePage = CP_UTF8);
std::string narrow(std::wstring_view text, UINT codePage = CP_UTF8);

}  // namespace pellorin
