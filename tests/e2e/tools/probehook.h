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

// What the asking probe wants read (the message's lParam).
enum Request : LPARAM {
    byClass = 0,  // a menu's items, a tooltip's tools, or a window's icons
    fit = 1,      // a window's controls: what their texts need, in their own fonts
};

struct Entry {
    char text[textSize];
    UINT state;         // menu item: MFS_* bits
    UINT type;          // menu item: MFT_* bits
    ULONG_PTR submenu;  // menu item: its submenu's handle, 0 for none
    RECT rect;          // on the screen; a control's fit: the room its text has (right, bottom)
    int id;             // a control's fit: its id, style, the size its text needs, and
    LONG style;         // where it stands in the window's inside
    SIZE need;
    RECT place;
};

struct Dump {
    LONG answered;
    ULONG_PTR handle;  // menu: the menu the window shows
    int count;
    int dpi;                // fit: the resolution the window's process draws at, and
    SIZE client;            // the size of the window's inside
    int sampleId;           // fit: set by the probe, the one-line text box measured with sample
    char sample[textSize];  // too (UTF-8): the longest text the box is there to show
    Entry entries[maxEntries];
};

}  // namespace probehook
