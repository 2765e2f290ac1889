#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellorin {

// The character sets the system has tables for, by their Windows code page
// numbers (1251 Cyrillic, 932 Japanese, 20866 KOI8-R...). Text read from
// outside in such a set goes through here on its way into the program's UTF-8.
class CodePages {
public:
    virtual ~CodePages() = default;
    // The bytes as UTF-8, as the system's table for that code page reads
    // them; nullopt when the system has no table for it.
    virtual std::optional<std::string> decode(std::string_view bytes, std::uint32_t codePage) = 0;
};

}  // namespace pellorin
