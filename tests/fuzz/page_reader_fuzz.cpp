// Feeds arbitrary pages to the version page reader as the update window
// would: decoded by a charset the server may or may not declare, then read
// for its title and text. A page that takes long to read fails the run
// through libFuzzer's per-input time limit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "about/version_page.h"
#include "foundation/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static constexpr const char* contentTypes[] = {"", "text/html; charset=utf-8", "text/html; charset=windows-1252",
                                                   "text/html; charset=\"x-unknown\""};
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string page = pellorin::decodePage(bytes, contentTypes[data[0] % 4]);
    const pellorin::VersionPage read = pellorin::readVersionPage(page);
    if (!pellorin::isValidUtf8(page) || !pellorin::isValidUtf8(read.title) || !pellorin::isValidUtf8(read.text))
        __builtin_trap();
    if (read.text.size() > 1000) __builtin_trap();
    // What reaches the strip is one line of characters a label shows.
    for (unsigned char c : read.text)
        if (c < 0x20 || c == 0x7f) __builtin_trap();
    if (!read.text.empty() && (read.text.front() == ' ' || read.text.back() == ' ')) __builtin_trap();
    return 0;
}
