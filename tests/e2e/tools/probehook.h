// What probe and probehook.dll share: the message that asks, and the record
// that carries the answer back through a named file mapping.
#pragma once

#include <windows.h>

namespace probehook {

inline constexpr const char* messageName = "PellorinE2EProbeDump";
// The mapping's name is this followed by the asking probe's process id
// (the message's wParam), so two probes never share one.
inline constexpr const char* mappingPrefix = "PellorinE2EProbeDump.";
inline constexpr int textSize = 128;
inline constexpr int maxEntries = 64;

struct Entry {
    char text[textSize];
    UINT state;         // menu item: MFS_* bits
    UINT type;          // menu item: MFT_* bits
    ULONG_PTR submenu;  // menu item: its submenu's handle, 0 for none
    RECT rect;          // on the screen
};

struct Dump {
    LONG answered;
    ULONG_PTR handle;  // menu: the menu the window shows
    int count;
    Entry entries[maxEntries];
};

}  // namespace probehook
