#include "iconv_code_pages.h"

#include <iconv.h>

#include <cerrno>

#include "foundation/text.h"

namespace pellorin::testing {

namespace {

// iconv's name for a Windows code page; "" for one the tests leave out.
std::string iconvName(std::uint32_t codePage) {
    if (codePage >= 1250 && codePage <= 1258) return "CP" + std::to_string(codePage);
    if (codePage >= 28591 && codePage <= 28606) return "ISO-8859-" + std::to_string(codePage - 28590);
    switch (codePage) {
        case 866: return "CP866";
        case 874: return "CP874";
        case 932: return "CP932";
        case 936: return "CP936";
        case 949: return "CP949";
        case 950: return "CP950";
        case 10000: return "MACINTOSH";
        case 10007: return "MAC-CYRILLIC";
        case 20866: return "KOI8-R";
        case 20932: return "EUC-JP";
        case 21866: return "KOI8-U";
        case 50220: return "ISO-2022-JP";
        case 50225: return "ISO-2022-KR";
        case 50227: return "ISO-2022-CN";
        case 54936: return "GB18030";
        case 65001: return "UTF-8";
        default: return "";
    }
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : handle_(to.empty() || from.empty() ? reinterpret_cast<iconv_t>(-1) : iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of in as it can; errno tells why it stopped.
    std::size_t run(std::string_view& in, std::string& out) {
        char buffer[256];
        char* from = const_cast<char*>(in.data());
        std::size_t left = in.size();
        std::size_t result = 0;
        for (;;) {
            char* to = buffer;
            std::size_t room = sizeof buffer;
            errno = 0;
            result = iconv(handle_, &from, &left, &to, &room);
            out.append(buffer, static_cast<std::size_t>(to - buffer));
            if (result != static_cast<std::size_t>(-1) || errno != E2BIG) break;
        }
        in.remove_prefix(in.size() - left);
        return result;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::optional<std::string> iconvDecode(std::string_view bytes, std::uint32_t codePage) {
    Converter converter("UTF-8", iconvName(codePage));
    if (!converter.valid()) return std::nullopt;
    std::string out;
    while (!bytes.empty()) {
        if (converter.run(bytes, out) != static_cast<std::size_t>(-1)) break;
        // A byte that is no character, or a character cut short at the end.
        appendUtf8(out, notACharacter);
        if (errno == EINVAL) break;
        bytes.remove_prefix(1);
    }
    return out;
}

std::string iconvEncode(std::string_view text, std::uint32_t codePage) {
    Converter converter(iconvName(codePage), "UTF-8");
    std::string out;
    while (converter.valid() && !text.empty()) {
        if (converter.run(text, out) != static_cast<std::size_t>(-1)) break;
        out.push_back('?');
        if (errno == EINVAL) break;
        std::size_t at = 0;
        nextUtf8(text, at);
        text.remove_prefix(at);
    }
    return out;
}

std::size_t iconvCharacterLength(std::string_view text, std::uint32_t codePage) {
    // The fewest bytes that make a whole character, or that cannot start one.
    for (std::size_t length = 1; length <= 4 && length <= text.size(); ++length) {
        Converter converter("UTF-8", iconvName(codePage));
        if (!converter.valid()) return 1;
        std::string_view piece = text.substr(0, length);
        std::string out;
        if (converter.run(piece, out) != static_cast<std::size_t>(-1) || errno != EINVAL) return length;
    }
    return text.size() + 1;
}

}  // namespace pellorin::testing
