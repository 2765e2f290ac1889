#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/code_pages.h"

namespace pellorin::testing {

// Windows' code page tables as glibc's iconv has them: the same characters
// for what the tests use, and a code page it has no table for is as missing
// as on a system without that table.
std::optional<std::string> iconvDecode(std::string_view bytes, std::uint32_t codePage);
// UTF-8 into the code page, with "?" for each character it lacks.
std::string iconvEncode(std::string_view text, std::uint32_t codePage);
// As forms::Runtime::ansiCharacterLength for that code page.
std::size_t iconvCharacterLength(std::string_view text, std::uint32_t codePage);

class IconvCodePages : public CodePages {
public:
    std::optional<std::string> decode(std::string_view bytes, std::uint32_t codePage) override {
        return iconvDecode(bytes, codePage);
    }
};

}  // namespace pellorin::testing
