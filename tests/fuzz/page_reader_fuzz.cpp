// Feeds arbitrary pages to the version page reader as the update window
// would: decoded by a charset the server may or may not declare, then read
// for its title and text. Nothing of it reaches the strip that a label
// cannot show in one line, the invisible format characters included. A page that takes long to read fails the run
// through libFuzzer's per-input time limit.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "about/version_page.h"
#include "foundation/text.h"
#include "unit/iconv_code_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // Among them the double-byte sets and a stateful one, read through
    // glibc's tables as Windows' own would read them.
    static constexpr const char* contentTypes[] = {"",
                                                   "text/html; charset=utf-8",
                                                   "text/html; charset=windows-1252",
                                                   "text/html; charset=\"x-unknown\"",
                                                   "text/html; charset=windows-1251",
                                                   "text/html; charset=shift_jis",
                                                   "text/html; charset=gb18030",
                                                   "text/html; charset=big5",
                                                   "text/html; charset=euc-kr",
                                                   "text/html; charset=iso-2022-jp",
                                                   "text/html; charset=utf-16"};
    constexpr std::size_t kinds = sizeof contentTypes / sizeof contentTypes[0];
    static pellorin::testing::IconvCodePages codePages;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::optional<std::string> decoded = pellorin::decodePage(bytes, contentTypes[data[0] % kinds], codePages);
    if (!decoded) __builtin_trap();  // glibc has a table for each of them
    const std::string& page = *decoded;
    const pellorin::VersionPage read = pellorin::readVersionPage(page);
    if (!pellorin::isValidUtf8(page) || !pellorin::isValidUtf8(read.title) || !pellorin::isValidUtf8(read.text))
        __builtin_trap();
    if (read.text.size() > 1000) __builtin_trap();
    // What reaches the strip is one line of characters a label shows.
    for (unsigned char c : read.text)
        if (c < 0x20 || c == 0x7f) __builtin_trap();
    for (std::size_t at = 0; at < read.text.size();) {
        const char32_t code = pellorin::nextUtf8(read.text, at);
        if ((code >= 0x200B && code <= 0x200F) || (code >= 0x2028 && code <= 0x202E) || code == 0xFEFF)
            __builtin_trap();
    }
    if (!read.text.empty() && (read.text.front() == ' ' || read.text.back() == ' ')) __builtin_trap();
    return 0;
}
