#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pellorin {

// The notification-area record in its first ANSI layout (NOTIFYICONDATAA as
// Windows 95 defined it). The logic fills it with 32-bit values; the Win32
// edge copies it field by field into the platform's own record.
struct TrayIconData {
    std::uint32_t cbSize = 0;
    std::uint32_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint32_t hIcon = 0;
    std::array<char, 64> szTip{};
};

static_assert(sizeof(TrayIconData) == 88, "six 32-bit fields and 64 bytes of tip");
static_assert(offsetof(TrayIconData, hWnd) == 4);
static_assert(offsetof(TrayIconData, uID) == 8);
static_assert(offsetof(TrayIconData, uFlags) == 12);
static_assert(offsetof(TrayIconData, uCallbackMessage) == 16);
static_assert(offsetof(TrayIconData, hIcon) == 20);
static_assert(offsetof(TrayIconData, szTip) == 24);

// What the larger record of today's shells (NOTIFYICONDATAW as Windows Vista
// defined it) carries beyond the first layout, for the calls that need it:
// the icon's behaviour and a notification. Texts are UTF-8.
struct TrayIconExtras {
    std::uint32_t uVersion = 0;  // NIM_SETVERSION
    std::string szInfoTitle;     // with NIF_INFO
    std::string szInfo;
    std::uint32_t dwInfoFlags = 0;
};

}  // namespace pellorin
