#include "foundation/text.h"

#include <algorithm>

namespace pellorin {

std::string asciiLowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), asciiLower);
    return lowered;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

void appendUtf8(std::string& out, char32_t code) {
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = notACharacter;
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

char32_t fromWindows1252(unsigned char byte) {
    // 0x80 to 0x9F are where Windows-1252 differs from Latin-1.
    static constexpr char32_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                          0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return byte >= 0x80 && byte <= 0x9F ? high[byte - 0x80] : byte;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) appendUtf8(out, fromWindows1252(static_cast<unsigned char>(c)));
    return out;
}

char32_t nextUtf8(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, least = 0x10000;
    }
    if (length == 0 || text.size() - at < length) {
        ++at;
        return notACharacter;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return notACharacter;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode's end are no characters.
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++at;
        return notACharacter;
    }
    at += length;
    return code;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        // A sequence of more than one byte never stands for the "?" that marks no character.
        if (nextUtf8(text, at) == notACharacter) return false;
    }
    return true;
}

std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::size_t utf8CharacterLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 1;
    if (length == 1) return 1;
    if (text.size() >= length) {
        std::size_t at = 0;
        nextUtf8(text, at);
        return at;
    }
    for (std::size_t i = 1; i < text.size(); ++i)
        if ((byte(i) & 0xC0) != 0x80) return 1;
    // The second byte rules out overlong forms, surrogates and code points past Unicode's end.
    if (text.size() >= 2) {
        const unsigned char second = byte(1);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
            (lead == 0xF4 && second > 0x8F))
            return 1;
    }
    return length;
}

std::string_view withoutCutUtf8Character(std::string_view text) {
    // The last character starts at most three bytes before the end.
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const std::size_t start = text.size() - back;
        if ((static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) continue;
        return utf8CharacterLength(text.substr(start)) > back ? text.substr(0, start) : text;
    }
    return text;
}

std::string repairedUtf8(std::string_view bytes, bool cut) {
    if (cut) bytes = withoutCutUtf8Character(bytes);
    if (isValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) appendUtf8(out, nextUtf8(bytes, at));
    return out;
}

bool readsAsUtf8(std::string_view bytes, bool cut) { return isValidUtf8(cut ? withoutCutUtf8Character(bytes) : bytes); }

std::string utf16ToUtf8(std::string_view bytes, bool littleEndian, bool cut) {
    // A cut may leave half a unit, or the first of a surrogate pair.
    if (cut && bytes.size() >= 2) {
        bytes.remove_suffix(bytes.size() % 2);
        const auto last = static_cast<unsigned char>(bytes[bytes.size() - (littleEndian ? 1 : 2)]);
        if (last >= 0xD8 && last <= 0xDB) bytes.remove_suffix(2);
    }
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(littleEndian ? first | second << 8 : second | first << 8);
    };
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t code = unit(at);
        if (code >= 0xD800 && code <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        appendUtf8(out, code);  // a lone surrogate comes out as notACharacter
    }
    return out;
}

std::optional<std::string> textByByteOrderMark(std::string_view bytes, bool cut) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return repairedUtf8(bytes.substr(3), cut);
    if (bytes.substr(0, 2) == "\xFF\xFE") return utf16ToUtf8(bytes.substr(2), true, cut);
    if (bytes.substr(0, 2) == "\xFE\xFF") return utf16ToUtf8(bytes.substr(2), false, cut);
    return std::nullopt;
}

}  // namespace pellorin
