// probehook: the part of probe that has to run inside another process.
//
// Under Wine a menu handle means nothing outside the process that made it,
// and the notification area keeps its icons to itself: what a user sees of
// them can only be read from within. probe installs ProbeHook on the thread
// that owns a window, sends that window the registered message below, and
// this hook answers it from inside, filling the shared record probe mapped.
//
// Kept small and careful: one of its hosts is Wine's desktop process, shared
// by every test of a run.
#include "probehook.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

void copyText(char* to, const char* from) {
    std::strncpy(to, from, probehook::textSize - 1);
    to[probehook::textSize - 1] = '\0';
}

// The items of a popup menu, with their places on the screen.
void readMenu(HWND window, probehook::Dump& dump) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    dump.handle = reinterpret_cast<ULONG_PTR>(menu);
    int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count && dump.count < probehook::maxEntries; ++i) {
        char text[probehook::textSize] = {0};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
        probehook::Entry& e = dump.entries[dump.count++];
        copyText(e.text, text);
        e.state = info.fState;
        e.type = info.fType;
        e.submenu = reinterpret_cast<ULONG_PTR>(info.hSubMenu);
        GetMenuItemRect(window, menu, i, &e.rect);
    }
}

// The tools of one of the notification area's tooltips: Wine gives every
// icon one, with the icon's tip and place; a removed icon's place is empty.
void readTooltip(HWND window, probehook::Dump& dump) {
    int count = (int)SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0);
    for (int i = 0; i < count && dump.count < probehook::maxEntries; ++i) {
        // Asked in UTF-16: Wine's tooltips give ANSI readers 80 characters at most.
        wchar_t text[1024] = {0};  // a tooltip copies up to this much
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.lpszText = text;
        if (!SendMessageW(window, TTM_ENUMTOOLSW, i, (LPARAM)&tool)) continue;
        probehook::Entry& e = dump.entries[dump.count++];
        char ansi[probehook::textSize] = {0};
        WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi - 1, nullptr, nullptr);
        copyText(e.text, ansi);
        e.rect = tool.rect;
        MapWindowPoints(tool.hwnd, nullptr, reinterpret_cast<POINT*>(&e.rect), 2);
    }
}

// The sizes of the window's class icons, which only their own process can
// read: entries "large" and "small", each with the size as its rectangle.
void readIcons(HWND window, probehook::Dump& dump) {
    for (int which : {GCLP_HICON, GCLP_HICONSM}) {
        probehook::Entry& e = dump.entries[dump.count++];
        copyText(e.text, which == GCLP_HICON ? "large" : "small");
        ICONINFO info = {};
        BITMAP bitmap = {};
        HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, which));
        if (!icon || !GetIconInfo(icon, &info)) continue;
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        e.rect = {0, 0, bitmap.bmWidth, bitmap.bmHeight};
    }
}

// What one control's text needs, measured with the control's own font as it
// draws it: a label's lines wrapped to its width (or one line, for a strip
// that does not wrap), a button's or a link's one line, a one-line text box's
// text or the sample, whichever is longer. Pictures, lists and boxes
// of several lines scroll or show no text: they need nothing.
SIZE textNeed(HWND control, const char* cls, LONG style, const RECT& room, const char* sample) {
    // (sample is "" for every control but the one the probe named.)
    UINT format = DT_CALCRECT | DT_EXPANDTABS;
    const bool isEdit = lstrcmpiA(cls, "Edit") == 0;
    if (lstrcmpiA(cls, "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP || type == SS_ETCHEDHORZ) return SIZE{0, 0};
        format |= (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        format |= (type == SS_LEFTNOWORDWRAP || (style & SS_ELLIPSISMASK)) ? DT_SINGLELINE : DT_WORDBREAK;
    } else if (isEdit) {
        if (style & ES_MULTILINE) return SIZE{0, 0};
        format |= DT_SINGLELINE | DT_NOPREFIX;
    } else if (lstrcmpiA(cls, "Button") == 0 || lstrcmpiA(cls, "SysLink") == 0) {
        format |= DT_SINGLELINE;
    } else {
        return SIZE{0, 0};
    }
    wchar_t text[1024] = {0};
    GetWindowTextW(control, text, 1024);
    if (lstrcmpiA(cls, "SysLink") == 0) {
        // The link's own text, without its markup.
        int at = 0;
        for (const wchar_t* c = text; *c; ++c) {
            if (*c == L'<') {
                while (c[1] && *c != L'>') ++c;
                continue;
            }
            text[at++] = *c;
        }
        text[at] = L'\0';
    }
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    if (isEdit && sample[0]) {
        wchar_t wide[probehook::textSize] = {0};
        MultiByteToWideChar(CP_UTF8, 0, sample, -1, wide, probehook::textSize);
        SIZE mine = {0, 0}, theirs = {0, 0};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &mine);
        GetTextExtentPoint32W(dc, wide, lstrlenW(wide), &theirs);
        if (theirs.cx > mine.cx) lstrcpyW(text, wide);
    }
    RECT r = {0, 0, 0, 0};
    if (text[0]) {
        r.right = room.right - room.left;
        DrawTextW(dc, text, -1, &r, format);
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

struct FitReading {
    probehook::Dump* dump;
};

BOOL CALLBACK readFitOfChild(HWND control, LPARAM lp) {
    probehook::Dump& dump = *reinterpret_cast<FitReading*>(lp)->dump;
    if (dump.count >= probehook::maxEntries || !IsWindowVisible(control)) return TRUE;
    char cls[64] = {0};
    GetClassNameA(control, cls, sizeof cls);
    probehook::Entry& e = dump.entries[dump.count++];
    copyText(e.text, cls);
    e.id = GetDlgCtrlID(control);
    e.style = GetWindowLongA(control, GWL_STYLE);
    // A text box's text goes where its margins leave room.
    GetClientRect(control, &e.rect);
    if (lstrcmpiA(cls, "Edit") == 0) SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&e.rect));
    OffsetRect(&e.rect, -e.rect.left, -e.rect.top);
    e.need = textNeed(control, cls, e.style, e.rect, e.id == dump.sampleId ? dump.sample : "");
    GetWindowRect(control, &e.place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&e.place), 2);
    return TRUE;
}

void readFit(HWND window, probehook::Dump& dump) {
    HDC screen = GetDC(nullptr);
    dump.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT inside = {0, 0, 0, 0};
    GetClientRect(window, &inside);
    dump.client = SIZE{inside.right, inside.bottom};
    FitReading reading{&dump};
    EnumChildWindows(window, readFitOfChild, reinterpret_cast<LPARAM>(&reading));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wp, LPARAM lp) {
    static const UINT dumpMessage = RegisterWindowMessageA(probehook::messageName);
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && call && call->message == dumpMessage) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%lu", probehook::mappingPrefix, (unsigned long)call->wParam);
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
        void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(probehook::Dump)) : nullptr;
        if (view) {
            probehook::Dump& dump = *static_cast<probehook::Dump*>(view);
            char cls[64] = {0};
            GetClassNameA(call->hwnd, cls, sizeof cls);
            if (call->lParam == probehook::fit)
                readFit(call->hwnd, dump);
            else if (std::strcmp(cls, "#32768") == 0)
                readMenu(call->hwnd, dump);
            else if (std::strcmp(cls, TOOLTIPS_CLASSA) == 0)
                readTooltip(call->hwnd, dump);
            else
                readIcons(call->hwnd, dump);
            dump.answered = 1;
            UnmapViewOfFile(view);
        }
        if (mapping) CloseHandle(mapping);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
