#include "foundation/win32/win32_text.h"

#include "foundation/text.h"

namespace pellorin {

std::wstring widen(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::optional<std::string> decodeCodePage(std::string_view bytes, UINT codePage) {
    if (!IsValidCodePage(codePage)) return std::nullopt;
    if (bytes.empty()) return std::string();
    // No flags: some code pages (the ISO-2022 ones among them) take no other,
    // and a byte that is no character comes out as the table's default one.
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return narrow(wide);
}

std::size_t ansiCharacterLength(std::string_view ansi) {
    // GetACP only reads what the system set up at start. (A cached copy in a
    // function's static would bring in the thread-safe guard, and with it
    // the exception machinery the programs are built without.)
    const UINT codePage = GetACP();
    // IsDBCSLeadByteEx knows the double-byte code pages only; UTF-8 as the
    // system's code page (Windows' "Beta: UTF-8" option) is read here.
    if (codePage == CP_UTF8) return utf8CharacterLength(ansi);
    return IsDBCSLeadByteEx(codePage, static_cast<BYTE>(ansi[0])) ? 2 : 1;
}

}  // namespace pellorin
