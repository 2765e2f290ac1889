// probe: looks at and pokes other processes' windows for the end-to-end tests.
//
// One command per run; results go to stdout as "key=value" lines. Window and
// control texts are printed as hex of their Windows-1252 bytes (of UTF-8 with
// PROBE_UTF8=1 in the environment, for texts beyond it), so that no console
// code page conversion can alter them on the way to the test; arguments are
// read the same way. Exit status: 0 done,
// 1 the window/control was not there (after the optional wait), 2 bad usage.
//
//   serve                          one command per line on stdin instead, each
//                                  "CODEPAGE xHEX xHEX...": 1252 or 65001 for the texts, then
//                                  every argument as "x" and the hex of its UTF-8 bytes;
//                                  answered by the command's lines, "rc=N" and "--end--".
//                                  Starting a Wine process costs more than most commands.
//
//   find TITLE [WAIT_MS]           hwnd=N for each top-level window titled TITLE
//   visible TITLE WAIT_MS          waits for a visible window titled TITLE
//   gone TITLE WAIT_MS             exit 0 once no window is titled TITLE
//   ctl TITLE ID                   class, enabled, visible, check state, text
//   list TITLE ID                  count=N and item=HEX lines of a list box
//   click TITLE ID                 posts BM_CLICK to the control
//   select TITLE ID INDEX          LB_SETCURSEL and LBN_SELCHANGE to the parent
//   close TITLE                    posts WM_CLOSE to the window
//   sysclose TITLE                 posts WM_SYSCOMMAND SC_CLOSE (the close box)
//   logoff TITLE                   WM_QUERYENDSESSION, then WM_ENDSESSION as Windows sends them
//   windows TITLE                  hwnd, zoomed, iconic, visible, taskbar (would have a
//                                  task-bar button on Windows), rect of each match, and
//                                  client, the rect of its inside, on the screen
//   show TITLE CMD                 ShowWindow(CMD) from outside
//   sysmin TITLE                   posts WM_SYSCOMMAND SC_MINIMIZE (the minimize box)
//   msgbox TITLE [WAIT_MS]         dialogs (#32770) titled TITLE: count, texts, buttons
//   msgbox-ok TITLE                presses OK on the first such dialog
//   msgbox-press TITLE ID          presses the button ID (IDYES 6, IDNO 7...) on it
//   key down|up|tap VK             keyboard input through SendInput; prints the key's state
//                                  after, which takes its "newly pressed" bit from everyone
//   hold VK MS                     key held down for MS, repeating, then up
//   chord MS VK... VK              the first keys held (repeating) and the last one
//                                  pressed once, all for MS, then released in reverse
//   typematic MS VK... VK          as chord, but the last key repeats too, as a held
//                                  key does on a real keyboard (after 500 ms, ~30/s)
//   keystate VK                    GetAsyncKeyState as this process sees it
//   poll VK MS                     asks GetAsyncKeyState about the key every 5 ms for MS, as
//                                  a program that watches the key for its own ends does;
//                                  ready=1 first, then pressed=N (the times it took the
//                                  "pressed since" mark)
//   type TEXT                      types TEXT as key presses, Shift where the layout needs it
//   tap VK COUNT                   presses and releases the key COUNT times
//   vkscan CHAR...                 VkKeyScanEx of each character (decimal code) in the
//                                  foreground window's layout; ms= how long a scan
//                                  of U+0020..U+2FFF takes there
//   foreground TITLE               SetForegroundWindow on the window
//   start-minimized PATH           starts the program as a shortcut set to "Minimized"
//                                  does (STARTF_USESHOWWINDOW, SW_SHOWMINNOACTIVE): pid=N
//   usage TITLE                    what Windows reports of the process that owns the window:
//                                  private=BYTES (PrivateUsage) gdi=N user=N (GetGuiResources)
//                                  handles=N (GetProcessHandleCount) windows=N (its windows,
//                                  top-level and child, counted here)
//   icons TITLE                    large=WxH small=WxH: the window's class icons, read
//                                  from inside its process by probehook.dll
//   fg                             the foreground window and its title
//   acp                            this process's ANSI and OEM code pages
//   tray [COUNT WAIT_MS]           the notification area's icons: count, and
//                                  icon=X,Y TIPHEX (screen centre); with COUNT,
//                                  waits until there are that many (exit 1 if not)
//   tray-click TIP left|right [WAIT_MS]
//                                  clicks the icon whose tip is TIP through SendInput,
//                                  once no other window lies over it
//   notify TITLE LPARAM [WPARAM]   posts the icon callback (WM_MOUSEMOVE, wParam 1 unless
//                                  given) to the window as the shell would
//   balloon [WAIT_MS]              the notification area's shown notifications (balloon
//                                  tooltips): count, and text=HEX of each; with WAIT_MS,
//                                  waits until there is one (exit 1 if not)
//   untray TITLE                   removes the window's icon (id 1) from the tray
//   taskbar-created TITLE          posts the shell's "TaskbarCreated" message
//   menu [WAIT_MS]                 the open popup menus: item=LEVEL FLAGS X,Y TEXTHEX,
//                                  LEVEL 0 the menu, 1 its open submenu...; FLAGS
//                                  of separator,popup,grayed,checked,hilite or -;
//                                  window=LEVEL L,T,R,B, where each menu lies
//   menu-click TEXT [WAIT_MS]      clicks that item of an open menu through SendInput,
//                                  again if the menu did not take it (clicks=N)
//   menu-key VK                    posts a key press to the innermost open menu
//   mouse-click X Y [left|right]   a click at that screen point through SendInput
//   pointer X Y                    moves the mouse pointer there, clicking nothing
//   focused TITLE                  id=N of the control that has the keyboard focus in the window
//   fit TITLE [ID SAMPLE]          dpi=N the window's process draws at, client=W,H its inside, and for
//                                  each shown control ctl=ID CLASS STYLE ROOMW,ROOMH NEEDW,NEEDH L,T,R,B:
//                                  the room its text has, what the text needs in the control's own font
//                                  (wrapped to the width in a label that wraps; the one-line text box ID
//                                  measured with SAMPLE too), and where the control lies in the inside
//   icon-sizes PATH                icon=WxH BITS for each image of the program's first icon
//   move TITLE X Y W H             MoveWindow from outside (outer size)
//   press TITLE ID                 a real click on the control's centre through SendInput
//   above TITLE ID1 ID2            above=1 when control ID1 lies above ID2 (painted over
//                                  it where they meet); clips=1 when ID2 leaves out
//                                  what lies above it
//   label TITLE ID                 the static text that names the control for screen readers, found
//                                  as Active Accessibility finds it: label=ID text=HEX, next=1 when it
//                                  lies just before the control; label=none
//   answers TITLE ID MS            asks the control for its text every 50 ms for MS ms;
//                                  slowest=N, the longest wait for an answer in ms
//   hold-file PATH                 opens the file without sharing, as a backup program
//                                  may, until let-go PATH (or the probe ends)
//   hold-event NAME                makes an event of that name, until let-go NAME
//   hold-mutex NAME                makes and owns a mutex of that name, until let-go NAME
//   let-go NAME                    closes what hold-... opened under that name
//
// Menus and the notification area are read from inside their processes by
// probehook.dll, which must lie beside probe.exe.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include "probehook.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string hex(const std::string& s) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string toCp1252(const std::wstring& w);

// The code page of every text going in and out: see the top. A served
// command names its own.
UINT g_textCodePage = 0;
UINT textCodePage() {
    if (!g_textCodePage) {
        char value[8] = {};
        g_textCodePage =
            GetEnvironmentVariableA("PROBE_UTF8", value, sizeof value) && value[0] == '1' ? CP_UTF8 : 1252u;
    }
    return g_textCodePage;
}

std::string windowTitle(HWND hwnd) {
    wchar_t buf[4096] = {0};
    GetWindowTextW(hwnd, buf, 4096);
    return toCp1252(buf);
}

// Texts are read as UTF-16 and converted here, so the result does not hang
// on the code page Wine picked for this process (and because Wine hands ANSI
// list box texts across processes unconverted).
std::string toCp1252(const std::wstring& w) {
    if (w.empty()) return "";
    int n = WideCharToMultiByte(textCodePage(), 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(textCodePage(), 0, w.data(), (int)w.size(), &out[0], n, nullptr, nullptr);
    return out;
}

// GetWindowText does not read another process's controls; WM_GETTEXT does.
std::string controlText(HWND hwnd) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return "";
    std::vector<wchar_t> buf(len + 2, 0);
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), (LPARAM)buf.data(), SMTO_ABORTIFHUNG, 5000, &got);
    return toCp1252(std::wstring(buf.data(), got < buf.size() ? got : 0));
}

std::string listItem(HWND list, int i) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &len) || (LONG_PTR)len < 0) return "";
    std::vector<wchar_t> buf(len + 2, 0);
    DWORD_PTR got = 0;
    SendMessageTimeoutW(list, LB_GETTEXT, i, (LPARAM)buf.data(), SMTO_ABORTIFHUNG, 5000, &got);
    return toCp1252(std::wstring(buf.data(), (LONG_PTR)got > 0 && got < buf.size() ? got : 0));
}

std::string className(HWND hwnd) {
    char buf[256] = {0};
    GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

struct Search {
    std::string title;
    std::string cls;  // empty: any class
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND hwnd, LPARAM lp) {
    Search* s = reinterpret_cast<Search*>(lp);
    if (windowTitle(hwnd) == s->title && (s->cls.empty() || className(hwnd) == s->cls)) s->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> topLevel(const std::string& title, const std::string& cls = "") {
    Search s{title, cls, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> waitFor(const std::string& title, DWORD waitMs, const std::string& cls = "") {
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<HWND> v = topLevel(title, cls);
        if (!v.empty() || GetTickCount() - start >= waitMs) return v;
        Sleep(50);
    }
}

HWND firstOrFail(const std::string& title, DWORD waitMs = 0) {
    std::vector<HWND> v = waitFor(title, waitMs);
    if (v.empty()) {
        std::printf("error=no window titled %s\n", hex(title).c_str());
        return nullptr;
    }
    return v.front();
}

BOOL CALLBACK collectChildren(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

void sendKey(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = (WORD)MapVirtualKeyA(vk, 0);
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    // The right-hand Ctrl and Alt are extended keys; without the flag they
    // would arrive as the left ones.
    if (vk == VK_RMENU || vk == VK_RCONTROL) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &in, sizeof in);
}

void clickAt(POINT at, bool right) {
    // A move first, as a hand would make: Wine's menus and the notification
    // area both track the pointer before they take the button.
    SetCursorPos(at.x, at.y);
    Sleep(100);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in[0], sizeof(INPUT));
    Sleep(50);
    SendInput(1, &in[1], sizeof(INPUT));
    // Not gone before the desktop has passed the click on.
    Sleep(200);
}

// Moved there and clicked as a hand would: every event carries the point.
void clickThere(POINT at, bool right) {
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        i.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    in[1].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    for (INPUT& i : in) {
        SendInput(1, &i, sizeof(INPUT));
        Sleep(100);
    }
}

POINT centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Asks probehook.dll, loaded into the thread that owns `target`, to read
// the window from inside. False when it did not answer.
bool dumpFrom(HWND target, probehook::Dump& out, probehook::Request request = probehook::byClass, int sampleId = 0,
              const std::string& sample = "") {
    static HMODULE dll = [] {
        char path[MAX_PATH] = {0};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* slash = std::strrchr(path, '\\');
        if (slash) slash[1] = '\0';
        std::strncat(path, "probehook.dll", MAX_PATH - std::strlen(path) - 1);
        return LoadLibraryA(path);
    }();
    HOOKPROC proc =
        dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "ProbeHook"))) : nullptr;
    if (!proc) {
        std::printf("error=probehook.dll missing\n");
        return false;
    }
    char name[64];
    std::snprintf(name, sizeof name, "%s%lu", probehook::mappingPrefix, (unsigned long)GetCurrentProcessId());
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(probehook::Dump), name);
    auto* view =
        mapping
            ? static_cast<probehook::Dump*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(probehook::Dump)))
            : nullptr;
    bool answered = false;
    if (view) {
        ZeroMemory(view, sizeof *view);
        view->sampleId = sampleId;
        std::wstring wide(sample.size() + 1, L'\0');
        wide.resize(
            MultiByteToWideChar(textCodePage(), 0, sample.data(), (int)sample.size(), wide.data(), (int)wide.size()));
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), view->sample, probehook::textSize - 1, nullptr,
                            nullptr);
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(target, nullptr));
        if (hook) {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(target, RegisterWindowMessageA(probehook::messageName), GetCurrentProcessId(), request,
                                SMTO_ABORTIFHUNG, 5000, &result);
            UnhookWindowsHookEx(hook);
        }
        answered = view->answered != 0;
        if (answered) out = *view;
        UnmapViewOfFile(view);
    }
    if (mapping) CloseHandle(mapping);
    return answered;
}

struct ClassSearch {
    const char* cls;
    HWND owner;  // nullptr: any
    std::vector<HWND> found;
};

BOOL CALLBACK collectClass(HWND hwnd, LPARAM lp) {
    ClassSearch* s = reinterpret_cast<ClassSearch*>(lp);
    if (className(hwnd) == s->cls && (!s->owner || GetWindow(hwnd, GW_OWNER) == s->owner)) s->found.push_back(hwnd);
    return TRUE;
}

// In z-order, topmost first.
std::vector<HWND> topLevelOfClass(const char* cls, HWND owner = nullptr) {
    ClassSearch s{cls, owner, {}};
    EnumWindows(collectClass, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

struct TrayIcon {
    std::string tip;
    POINT at;
};

// Wine's notification area gives each icon a tooltip of its own, owned by
// the task bar, whose one tool covers the icon; the tooltip outlives its
// icon, with an empty place.
// Every window of the task bar's class is looked at: a test may put a
// stand-in above the real one.
std::vector<TrayIcon> trayIcons() {
    std::vector<TrayIcon> icons;
    auto dump = std::make_unique<probehook::Dump>();
    for (HWND tray : topLevelOfClass("Shell_TrayWnd"))
        for (HWND tip : topLevelOfClass("tooltips_class32", tray)) {
            if (!dumpFrom(tip, *dump)) continue;
            for (int i = 0; i < dump->count; ++i) {
                const probehook::Entry& e = dump->entries[i];
                if (IsRectEmpty(&e.rect)) continue;
                icons.push_back(TrayIcon{e.text, centre(e.rect)});
            }
        }
    return icons;
}

struct MenuView {
    HWND window;
    int level = -1;
    std::unique_ptr<probehook::Dump> dump = std::make_unique<probehook::Dump>();
};

// The open popup menus, outermost first: a submenu is the one whose menu is
// an item's submenu in another.
std::vector<MenuView> openMenus() {
    std::vector<MenuView> menus;
    for (HWND w : topLevelOfClass("#32768")) {
        if (!IsWindowVisible(w)) continue;
        MenuView m;
        m.window = w;
        if (dumpFrom(w, *m.dump)) menus.push_back(std::move(m));
    }
    for (MenuView& m : menus) {
        bool isSub = false;
        for (const MenuView& other : menus)
            for (int i = 0; i < other.dump->count; ++i)
                if (&other != &m && other.dump->entries[i].submenu == m.dump->handle) isSub = true;
        if (!isSub) m.level = 0;
    }
    for (int level = 0; level < (int)menus.size(); ++level)
        for (MenuView& parent : menus) {
            if (parent.level != level) continue;
            for (MenuView& child : menus)
                for (int i = 0; i < parent.dump->count; ++i)
                    if (child.level < 0 && parent.dump->entries[i].submenu == child.dump->handle)
                        child.level = level + 1;
        }
    std::vector<MenuView> ordered;
    for (int level = 0; level <= (int)menus.size(); ++level)
        for (MenuView& m : menus)
            if (m.level == level) ordered.push_back(std::move(m));
    return ordered;
}

// The notifications the notification area shows: balloon tooltips of its
// process, each with its text as its one tool.
std::vector<std::string> balloons() {
    std::vector<std::string> texts;
    auto dump = std::make_unique<probehook::Dump>();
    for (HWND tray : topLevelOfClass("Shell_TrayWnd")) {
        DWORD shell = 0;
        GetWindowThreadProcessId(tray, &shell);
        for (HWND tip : topLevelOfClass("tooltips_class32")) {
            DWORD owner = 0;
            GetWindowThreadProcessId(tip, &owner);
            if (owner != shell || !IsWindowVisible(tip) || !(GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON) ||
                !dumpFrom(tip, *dump))
                continue;
            for (int i = 0; i < dump->count; ++i) texts.push_back(dump->entries[i].text);
        }
    }
    return texts;
}

std::vector<MenuView> waitForMenus(DWORD waitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<MenuView> v = openMenus();
        if (!v.empty() || GetTickCount() - start >= waitMs) return v;
        Sleep(50);
    }
}

std::string menuFlags(const probehook::Entry& e) {
    std::string f;
    auto add = [&f](bool on, const char* name) {
        if (!on) return;
        if (!f.empty()) f += ",";
        f += name;
    };
    add((e.type & MFT_SEPARATOR) != 0, "separator");
    add(e.submenu != 0, "popup");
    add((e.state & MFS_GRAYED) != 0, "grayed");
    add((e.state & MFS_CHECKED) != 0, "checked");
    add((e.state & MFS_HILITE) != 0, "hilite");
    return f.empty() ? "-" : f;
}

// Whether Windows would give the window a task-bar button: a shown,
// unowned window gets one unless it is a tool window that does not ask for
// one. (Wine's desktop here has no task bar of its own: its notification
// area appears only while it holds icons.)
bool onTaskbar(HWND window) {
    LONG ex = GetWindowLongA(window, GWL_EXSTYLE);
    return IsWindowVisible(window) && !GetWindow(window, GW_OWNER) &&
           (!(ex & WS_EX_TOOLWINDOW) || (ex & WS_EX_APPWINDOW));
}

// The windows of one process, top-level and child, as counted so far.
struct WindowCount {
    DWORD pid;
    int windows;
};

BOOL CALLBACK countChild(HWND, LPARAM lp) {
    ++reinterpret_cast<WindowCount*>(lp)->windows;
    return TRUE;
}

BOOL CALLBACK countWindowsOf(HWND window, LPARAM lp) {
    auto* count = reinterpret_cast<WindowCount*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != count->pid) return TRUE;
    ++count->windows;
    EnumChildWindows(window, countChild, lp);
    return TRUE;
}

// What hold-file, hold-event and hold-mutex keep open, by name.
std::vector<std::pair<std::string, HANDLE>> held;

DWORD arg(int argc, char** argv, int i, DWORD dflt) {
    return i < argc ? (DWORD)std::strtoul(argv[i], nullptr, 10) : dflt;
}

int run(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string cmd = argv[1];

    if (cmd == "acp") {
        std::printf("acp=%u\noemcp=%u\n", GetACP(), GetOEMCP());
        return 0;
    }
    if (cmd == "fg") {
        HWND fg = GetForegroundWindow();
        std::printf("hwnd=%lu\ntitle=%s\n", (unsigned long)(ULONG_PTR)fg, fg ? hex(windowTitle(fg)).c_str() : "");
        return 0;
    }
    if (cmd == "key" && argc >= 4) {
        std::string how = argv[2];
        WORD vk = (WORD)std::strtoul(argv[3], nullptr, 10);
        if (how == "down" || how == "tap") sendKey(vk, false);
        if (how == "up" || how == "tap") sendKey(vk, true);
        std::printf("state=%d\n", (int)(unsigned short)GetAsyncKeyState(vk));
        return 0;
    }
    if (cmd == "type" && argc >= 3) {
        for (const char* c = argv[2]; *c; ++c) {
            const SHORT typed = VkKeyScanA(*c);
            if (typed == -1) {
                std::printf("error=cannot type %02x\n", (unsigned char)*c);
                return 1;
            }
            const bool shift = (HIBYTE(typed) & 1) != 0;
            if (shift) sendKey(VK_SHIFT, false);
            sendKey(LOBYTE(typed), false);
            sendKey(LOBYTE(typed), true);
            if (shift) sendKey(VK_SHIFT, true);
            Sleep(30);
        }
        return 0;
    }
    if (cmd == "tap" && argc >= 4) {
        const WORD vk = (WORD)std::strtoul(argv[2], nullptr, 10);
        for (DWORD i = 0, count = arg(argc, argv, 3, 1); i < count; ++i) {
            sendKey(vk, false);
            sendKey(vk, true);
            Sleep(30);
        }
        return 0;
    }
    if (cmd == "vkscan") {
        HWND fg = GetForegroundWindow();
        HKL layout = GetKeyboardLayout(fg ? GetWindowThreadProcessId(fg, nullptr) : 0);
        std::printf("layout=%08lx\n", (unsigned long)(ULONG_PTR)layout);
        for (int i = 2; i < argc; ++i) {
            const wchar_t character = (wchar_t)std::strtoul(argv[i], nullptr, 10);
            std::printf("scan=%u %04x\n", (unsigned)character,
                        (unsigned)(unsigned short)VkKeyScanExW(character, layout));
        }
        DWORD start = GetTickCount();
        int found = 0;
        for (wchar_t c = 0x20; c < 0x3000; ++c) {
            const SHORT typed = VkKeyScanExW(c, layout);
            found += typed != -1 && (HIBYTE(typed) & 6) == 6 ? 1 : 0;
        }
        std::printf("altgr=%d\nms=%lu\n", found, (unsigned long)(GetTickCount() - start));
        return 0;
    }
    if (cmd == "keystate" && argc >= 3) {
        WORD vk = (WORD)std::strtoul(argv[2], nullptr, 10);
        GetAsyncKeyState(vk);  // the first call may still carry the "pressed since" bit
        std::printf("state=%d\n", (int)(unsigned short)GetAsyncKeyState(vk));
        return 0;
    }
    if (cmd == "poll" && argc >= 4) {
        WORD vk = (WORD)std::strtoul(argv[2], nullptr, 10);
        DWORD start = GetTickCount(), ms = arg(argc, argv, 3, 1000);
        int pressed = 0;
        std::printf("ready=1\n");
        std::fflush(stdout);
        do {
            pressed += (GetAsyncKeyState(vk) & 1) ? 1 : 0;
            Sleep(5);
        } while (GetTickCount() - start < ms);
        std::printf("pressed=%d\n", pressed);
        return 0;
    }
    if ((cmd == "hold-file" || cmd == "hold-event" || cmd == "hold-mutex") && argc >= 3) {
        HANDLE handle = nullptr;
        if (cmd == "hold-file") {
            handle = CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle == INVALID_HANDLE_VALUE) handle = nullptr;
        } else if (cmd == "hold-event") {
            handle = CreateEventA(nullptr, TRUE, FALSE, argv[2]);
        } else {
            handle = CreateMutexA(nullptr, TRUE, argv[2]);
        }
        if (!handle) return 1;
        held.emplace_back(argv[2], handle);
        return 0;
    }
    if (cmd == "let-go" && argc >= 3) {
        for (auto it = held.begin(); it != held.end(); ++it) {
            if (it->first != argv[2]) continue;
            CloseHandle(it->second);
            held.erase(it);
            return 0;
        }
        return 1;
    }
    if (cmd == "start-minimized" && argc >= 3) {
        std::wstring program(argv[2], argv[2] + std::strlen(argv[2]));
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWMINNOACTIVE;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return 1;
        std::printf("pid=%lu\n", (unsigned long)process.dwProcessId);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 0;
    }
    if (cmd == "hold" && argc >= 4) {
        // Repeated key-downs, as a held key's auto-repeat gives: Wine drops
        // its idea of held modifiers whenever another window is activated.
        WORD vk = (WORD)std::strtoul(argv[2], nullptr, 10);
        DWORD start = GetTickCount(), ms = arg(argc, argv, 3, 1000);
        std::printf("ready=1\n");
        std::fflush(stdout);
        do {
            sendKey(vk, false);
            Sleep(30);
        } while (GetTickCount() - start < ms);
        sendKey(vk, true);
        return 0;
    }
    if ((cmd == "chord" || cmd == "typematic") && argc >= 4) {
        // Held modifiers repeat as a keyboard repeats them (Wine forgets a
        // single key-down when another window is activated); the last key
        // goes down once, so it reads "newly pressed" once only.
        DWORD ms = arg(argc, argv, 2, 500);
        std::vector<WORD> keys;
        for (int i = 3; i < argc; ++i) keys.push_back((WORD)std::strtoul(argv[i], nullptr, 10));
        for (WORD k : keys) {
            sendKey(k, false);
            Sleep(30);
        }
        const bool lastRepeats = cmd == "typematic";
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            Sleep(30);
            for (size_t i = 0; i + 1 < keys.size(); ++i) sendKey(keys[i], false);
            if (lastRepeats && GetTickCount() - start >= 500) sendKey(keys.back(), false);
        }
        for (size_t i = keys.size(); i-- > 0;) {
            sendKey(keys[i], true);
            Sleep(30);
        }
        return 0;
    }
    if (cmd == "tray") {
        DWORD want = arg(argc, argv, 2, (DWORD)-1), waitMs = arg(argc, argv, 3, 0), start = GetTickCount();
        std::vector<TrayIcon> icons = trayIcons();
        while (want != (DWORD)-1 && icons.size() != want && GetTickCount() - start < waitMs) {
            Sleep(100);
            icons = trayIcons();
        }
        std::printf("count=%u\n", (unsigned)icons.size());
        for (const TrayIcon& i : icons) std::printf("icon=%ld,%ld %s\n", i.at.x, i.at.y, hex(i.tip).c_str());
        return want == (DWORD)-1 || icons.size() == want ? 0 : 1;
    }
    if (cmd == "balloon") {
        DWORD waitMs = arg(argc, argv, 2, 0), start = GetTickCount();
        std::vector<std::string> texts = balloons();
        while (texts.empty() && GetTickCount() - start < waitMs) {
            Sleep(100);
            texts = balloons();
        }
        std::printf("count=%u\n", (unsigned)texts.size());
        for (const std::string& t : texts) std::printf("text=%s\n", hex(t).c_str());
        return texts.empty() && waitMs ? 1 : 0;
    }
    if (cmd == "menu") {
        std::vector<MenuView> menus = waitForMenus(arg(argc, argv, 2, 0));
        std::printf("menus=%u\n", (unsigned)menus.size());
        for (const MenuView& m : menus) {
            RECT r{};
            GetWindowRect(m.window, &r);
            std::printf("window=%d %ld,%ld,%ld,%ld\n", m.level, r.left, r.top, r.right, r.bottom);
        }
        for (const MenuView& m : menus)
            for (int i = 0; i < m.dump->count; ++i) {
                const probehook::Entry& e = m.dump->entries[i];
                POINT at = centre(e.rect);
                std::printf("item=%d %s %ld,%ld %s\n", m.level, menuFlags(e).c_str(), at.x, at.y, hex(e.text).c_str());
            }
        return menus.empty() ? 1 : 0;
    }
    if (cmd == "menu-key" && argc >= 3) {
        std::vector<MenuView> menus = openMenus();
        if (menus.empty()) return 1;
        // Posted, not typed: the menu's thread reads its own queue, and the
        // keyboard belongs to whichever window is in the foreground.
        WPARAM vk = std::strtoul(argv[2], nullptr, 10);
        PostMessageA(menus.back().window, WM_KEYDOWN, vk, 1);
        PostMessageA(menus.back().window, WM_KEYUP, vk, 0xC0000001);
        return 0;
    }
    if (cmd == "pointer" && argc >= 4) {
        return SetCursorPos(std::strtol(argv[2], nullptr, 10), std::strtol(argv[3], nullptr, 10)) ? 0 : 1;
    }
    if (cmd == "mouse-click" && argc >= 4) {
        POINT at{std::strtol(argv[2], nullptr, 10), std::strtol(argv[3], nullptr, 10)};
        clickThere(at, argc >= 5 && std::string(argv[4]) == "right");
        return 0;
    }
    if (cmd == "icon-sizes" && argc >= 3) {
        // The images of the program's icon (the first icon group), as Windows chooses among them.
        std::wstring path(argv[2], argv[2] + std::strlen(argv[2]));
        HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HRSRC found = module ? FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)) : nullptr;
        const BYTE* group = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
        if (!group) return 1;
        // GRPICONDIR: reserved, type, count; then 14 bytes an image.
        const WORD count = *reinterpret_cast<const WORD*>(group + 4);
        for (WORD i = 0; i < count; ++i) {
            const BYTE* entry = group + 6 + 14 * i;
            const int width = entry[0] ? entry[0] : 256, height = entry[1] ? entry[1] : 256;
            std::printf("icon=%dx%d %u\n", width, height, (unsigned)*reinterpret_cast<const WORD*>(entry + 6));
        }
        FreeLibrary(module);
        return 0;
    }
    if (argc < 3) return 2;
    std::string title = argv[2];

    if (cmd == "tray-click" && argc >= 4) {
        std::string how = argv[3];
        if (how != "left" && how != "right") return 2;
        DWORD start = GetTickCount(), waitMs = arg(argc, argv, 4, 0);
        std::string covering;
        for (;;) {
            for (const TrayIcon& i : trayIcons()) {
                if (i.tip != title) continue;
                // A click meant for the icon must reach it: another window
                // lying over the corner of the screen would take it.
                HWND under = GetAncestor(WindowFromPoint(i.at), GA_ROOT);
                DWORD underProcess = 0, shellProcess = 0;
                GetWindowThreadProcessId(under, &underProcess);
                for (HWND tray : topLevelOfClass("Shell_TrayWnd")) {
                    GetWindowThreadProcessId(tray, &shellProcess);
                    if (shellProcess == underProcess) break;
                }
                if (underProcess != shellProcess) {
                    covering = windowTitle(under);
                    break;
                }
                clickAt(i.at, how == "right");
                std::printf("at=%ld,%ld\n", i.at.x, i.at.y);
                return 0;
            }
            if (GetTickCount() - start >= waitMs) break;
            Sleep(100);
        }
        if (!covering.empty() || GetTickCount() - start >= waitMs)
            std::printf("error=%s %s\n", covering.empty() ? "no icon with tip" : "the icon lies under",
                        hex(covering.empty() ? title : covering).c_str());
        return 1;
    }
    if (cmd == "menu-click") {
        // Now and then Wine's menu lets a synthetic click go by: the item
        // lights up under the pointer but is not chosen. A hand would click
        // again; so do we, and tell how many clicks it took.
        DWORD start = GetTickCount(), waitMs = arg(argc, argv, 3, 0);
        int clicks = 0;
        while (clicks < 3) {
            HWND window = nullptr;
            ULONG_PTR submenu = 0;
            POINT at{};
            for (const MenuView& m : openMenus())
                for (int i = 0; i < m.dump->count && !window; ++i)
                    if (m.dump->entries[i].text == title) {
                        window = m.window;
                        submenu = m.dump->entries[i].submenu;
                        at = centre(m.dump->entries[i].rect);
                    }
            if (!window) {
                if (clicks == 0 && GetTickCount() - start < waitMs) {
                    Sleep(50);
                    continue;
                }
                break;
            }
            clickAt(at, false);
            ++clicks;
            // Taken: a command closes its menu, a submenu's entry opens it.
            for (DWORD t = GetTickCount(); GetTickCount() - t < 1500;) {
                Sleep(100);
                bool taken = !IsWindowVisible(window);
                if (submenu)
                    for (const MenuView& m : openMenus()) taken = taken || m.dump->handle == submenu;
                if (taken) {
                    std::printf("at=%ld,%ld\nclicks=%d\n", at.x, at.y, clicks);
                    return 0;
                }
            }
        }
        std::printf("error=no open menu item %s taking a click\nclicks=%d\n", hex(title).c_str(), clicks);
        return 1;
    }

    if (cmd == "find") {
        std::vector<HWND> v = waitFor(title, arg(argc, argv, 3, 0));
        for (HWND h : v) std::printf("hwnd=%lu\n", (unsigned long)(ULONG_PTR)h);
        return v.empty() ? 1 : 0;
    }
    if (cmd == "visible") {
        // Prints "ready" first so a caller can start the watched program
        // only once this probe's own start-up is behind it.
        std::printf("ready=1\n");
        std::fflush(stdout);
        DWORD start = GetTickCount(), waitMs = arg(argc, argv, 3, 0);
        for (;;) {
            for (HWND h : topLevel(title))
                if (IsWindowVisible(h)) {
                    std::printf("hwnd=%lu\n", (unsigned long)(ULONG_PTR)h);
                    return 0;
                }
            if (GetTickCount() - start >= waitMs) return 1;
            Sleep(20);
        }
    }
    if (cmd == "gone") {
        DWORD start = GetTickCount(), waitMs = arg(argc, argv, 3, 0);
        while (!topLevel(title).empty()) {
            if (GetTickCount() - start >= waitMs) return 1;
            Sleep(50);
        }
        return 0;
    }
    if (cmd == "windows") {
        for (HWND h : topLevel(title)) {
            RECT r = {}, inside = {};
            GetWindowRect(h, &r);
            GetClientRect(h, &inside);
            MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&inside), 2);
            std::printf(
                "hwnd=%lu zoomed=%d iconic=%d visible=%d taskbar=%d rect=%ld,%ld,%ld,%ld "
                "client=%ld,%ld,%ld,%ld\n",
                (unsigned long)(ULONG_PTR)h, IsZoomed(h) ? 1 : 0, IsIconic(h) ? 1 : 0, IsWindowVisible(h) ? 1 : 0,
                onTaskbar(h) ? 1 : 0, r.left, r.top, r.right, r.bottom, inside.left, inside.top, inside.right,
                inside.bottom);
        }
        return 0;
    }
    if (cmd == "msgbox") {
        std::vector<HWND> v = waitFor(title, arg(argc, argv, 3, 0), "#32770");
        std::printf("count=%u\n", (unsigned)v.size());
        if (v.empty()) return 1;
        std::vector<HWND> kids;
        EnumChildWindows(v.front(), collectChildren, reinterpret_cast<LPARAM>(&kids));
        for (HWND k : kids) {
            std::string cls = className(k);
            std::string text = controlText(k);
            if (lstrcmpiA(cls.c_str(), "Button") == 0)
                std::printf("button=%s\n", hex(text).c_str());
            else if (lstrcmpiA(cls.c_str(), "Static") == 0 && !text.empty())
                std::printf("text=%s\n", hex(text).c_str());
        }
        return 0;
    }
    if (cmd == "msgbox-ok") {
        std::vector<HWND> v = topLevel(title, "#32770");
        if (v.empty()) return 1;
        HWND ok = GetDlgItem(v.front(), IDOK);
        if (ok)
            PostMessageA(ok, BM_CLICK, 0, 0);
        else
            PostMessageA(v.front(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    }
    if (cmd == "msgbox-press" && argc >= 4) {
        std::vector<HWND> v = topLevel(title, "#32770");
        if (v.empty()) return 1;
        HWND button = GetDlgItem(v.front(), (int)std::strtol(argv[3], nullptr, 10));
        return button && PostMessageA(button, BM_CLICK, 0, 0) ? 0 : 1;
    }

    HWND top = firstOrFail(title);
    if (!top) return 1;

    if (cmd == "close") return PostMessageA(top, WM_CLOSE, 0, 0) ? 0 : 1;
    if (cmd == "sysclose") return PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
    if (cmd == "logoff") {
        DWORD_PTR ok = 0;
        SendMessageTimeoutA(top, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &ok);
        std::printf("queryendsession=%d\n", (int)ok);
        if (ok) SendMessageTimeoutA(top, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &ok);
        return 0;
    }
    if (cmd == "sysmin") return PostMessageA(top, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 1;
    if (cmd == "show" && argc >= 4) {
        ShowWindow(top, (int)std::strtol(argv[3], nullptr, 10));
        return 0;
    }
    if (cmd == "notify" && argc >= 4) {
        // The icon's id in wParam and the mouse message in lParam, as the
        // shell reports icon events registered with the first record layout;
        // in the version 4 behaviour the place in wParam, the event and the
        // id in lParam.
        const WPARAM wp = argc >= 5 ? (WPARAM)std::strtoul(argv[4], nullptr, 0) : 1;
        return PostMessageA(top, WM_MOUSEMOVE, wp, (LPARAM)std::strtoul(argv[3], nullptr, 0)) ? 0 : 1;
    }
    if (cmd == "untray") {
        // Takes the window's icon (id 1) out of the notification area, as a
        // restarting shell loses every icon.
        NOTIFYICONDATAA icon{};
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = top;
        icon.uID = 1;
        return Shell_NotifyIconA(NIM_DELETE, &icon) ? 0 : 1;
    }
    if (cmd == "taskbar-created") {
        // What a shell broadcasts once its notification area is (re)built.
        return PostMessageA(top, RegisterWindowMessageA("TaskbarCreated"), 0, 0) ? 0 : 1;
    }
    if (cmd == "focused") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) || !info.hwndFocus) return 1;
        std::printf("id=%d\n", GetDlgCtrlID(info.hwndFocus));
        return GetAncestor(info.hwndFocus, GA_ROOT) == top ? 0 : 1;
    }
    if (cmd == "move" && argc >= 7) {
        const auto n = [&](int i) { return (int)std::strtol(argv[i], nullptr, 10); };
        return MoveWindow(top, n(3), n(4), n(5), n(6), TRUE) ? 0 : 1;
    }
    if (cmd == "usage") {
        DWORD pid = 0;
        GetWindowThreadProcessId(top, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (!process) return 1;
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        DWORD handles = 0;
        GetProcessHandleCount(process, &handles);
        WindowCount count{pid, 0};
        EnumWindows(countWindowsOf, reinterpret_cast<LPARAM>(&count));
        std::printf("private=%lu\ngdi=%lu\nuser=%lu\nhandles=%lu\nwindows=%d\n", (unsigned long)memory.PrivateUsage,
                    (unsigned long)GetGuiResources(process, GR_GDIOBJECTS),
                    (unsigned long)GetGuiResources(process, GR_USEROBJECTS), (unsigned long)handles, count.windows);
        CloseHandle(process);
        return 0;
    }
    if (cmd == "icons") {
        // Read from inside: another process's icon handles mean nothing here.
        auto dump = std::make_unique<probehook::Dump>();
        if (!dumpFrom(top, *dump)) return 1;
        for (int i = 0; i < dump->count; ++i)
            std::printf("%s=%ldx%ld\n", dump->entries[i].text, dump->entries[i].rect.right,
                        dump->entries[i].rect.bottom);
        return 0;
    }
    if (cmd == "fit") {
        // Read from inside, where the controls' fonts are.
        auto dump = std::make_unique<probehook::Dump>();
        const bool sampled = argc >= 5;
        if (!dumpFrom(top, *dump, probehook::fit, sampled ? std::atoi(argv[3]) : 0, sampled ? argv[4] : "")) return 1;
        std::printf("dpi=%d\nclient=%ld,%ld\n", dump->dpi, dump->client.cx, dump->client.cy);
        for (int i = 0; i < dump->count; ++i) {
            const probehook::Entry& e = dump->entries[i];
            std::printf("ctl=%d %s %08lx %ld,%ld %ld,%ld %ld,%ld,%ld,%ld\n", e.id, e.text, (unsigned long)e.style,
                        e.rect.right, e.rect.bottom, e.need.cx, e.need.cy, e.place.left, e.place.top, e.place.right,
                        e.place.bottom);
        }
        return 0;
    }
    if (cmd == "foreground") {
        SetForegroundWindow(top);
        // Wine finishes an activation a moment later, and forgets the keys
        // held down when it does: keys sent at once would be lost.
        Sleep(150);
        return GetForegroundWindow() == top ? 0 : 1;
    }

    if (argc < 4) return 2;
    int id = (int)std::strtol(argv[3], nullptr, 10);
    // A message box may bear the same title: take the window that has the control.
    HWND ctl = nullptr;
    for (HWND h : topLevel(title))
        if ((ctl = GetDlgItem(h, id)) != nullptr) {
            top = h;
            break;
        }
    if (!ctl) {
        std::printf("error=no control %d\n", id);
        return 1;
    }
    if (cmd == "ctl") {
        DWORD_PTR check = 0;
        SendMessageTimeoutA(ctl, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &check);
        std::printf("hwnd=%lu\nclass=%s\nenabled=%d\nvisible=%d\ncheck=%d\ntext=%s\nstyle=%08lx\n",
                    (unsigned long)(ULONG_PTR)ctl, className(ctl).c_str(), IsWindowEnabled(ctl) ? 1 : 0,
                    IsWindowVisible(ctl) ? 1 : 0, (int)check, hex(controlText(ctl)).c_str(),
                    (unsigned long)GetWindowLongA(ctl, GWL_STYLE));
        return 0;
    }
    if (cmd == "list") {
        DWORD_PTR count = 0;
        SendMessageTimeoutA(ctl, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
        std::printf("count=%d\nenabled=%d\n", (int)count, IsWindowEnabled(ctl) ? 1 : 0);
        for (int i = 0; i < (int)count; ++i) std::printf("item=%s\n", hex(listItem(ctl, i)).c_str());
        return 0;
    }
    if (cmd == "click") return PostMessageA(ctl, BM_CLICK, 0, 0) ? 0 : 1;
    if (cmd == "above" && argc >= 5) {
        HWND other = GetDlgItem(top, (int)std::strtol(argv[4], nullptr, 10));
        if (!other) return 1;
        bool above = false;
        for (HWND w = GetWindow(other, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) above = above || w == ctl;
        std::printf("above=%d\nclips=%d\n", above ? 1 : 0,
                    (GetWindowLongA(other, GWL_STYLE) & WS_CLIPSIBLINGS) ? 1 : 0);
        return 0;
    }
    if (cmd == "label") {
        // How Active Accessibility finds a control's label: back through the
        // window order to a static text, stopping at a control that Tab
        // stops at and that starts a group.
        for (HWND w = GetWindow(ctl, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            const LONG style = GetWindowLongA(w, GWL_STYLE);
            if (lstrcmpiA(className(w).c_str(), "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT) {
                std::printf("label=%d\ntext=%s\nnext=%d\n", GetDlgCtrlID(w), hex(controlText(w)).c_str(),
                            GetWindow(w, GW_HWNDNEXT) == ctl ? 1 : 0);
                return 0;
            }
            if ((style & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) break;
        }
        std::printf("label=none\n");
        return 0;
    }
    if (cmd == "answers" && argc >= 5) {
        // A window whose thread is busy answers late; one that is gone not at all.
        std::printf("ready=1\n");
        std::fflush(stdout);
        DWORD start = GetTickCount(), slowest = 0, ms = arg(argc, argv, 4, 1000);
        int asked = 0;
        while (GetTickCount() - start < ms) {
            DWORD before = GetTickCount();
            DWORD_PTR len = 0;
            if (!SendMessageTimeoutW(ctl, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &len)) {
                std::printf("error=no answer\n");
                break;
            }
            slowest = std::max<DWORD>(slowest, GetTickCount() - before);
            ++asked;
            Sleep(50);
        }
        std::printf("asked=%d\nslowest=%lu\n", asked, (unsigned long)slowest);
        return 0;
    }
    if (cmd == "press") {
        RECT r{};
        GetWindowRect(ctl, &r);
        clickThere(centre(r), false);
        return 0;
    }
    if (cmd == "select" && argc >= 5) {
        int index = (int)std::strtol(argv[4], nullptr, 10);
        DWORD_PTR res = 0;
        SendMessageTimeoutA(ctl, LB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 5000, &res);
        // LB_SETCURSEL sends no notification; a user's click does.
        PostMessageA(top, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)ctl);
        return (int)res == index ? 0 : 1;
    }
    return 2;
}

int runArguments(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int rc = run((int)args.size(), argv.data());
    if (rc == 2) std::fprintf(stderr, "probe: bad command, see the comment at the top of probe.cpp\n");
    return rc;
}

// Commands read from stdin, one per line, for as long as it is open.
int serve() {
    std::string line;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        if (c != '\n') {
            line += (char)c;
            continue;
        }
        std::vector<std::string> tokens;
        for (size_t at = 0; at < line.size();) {
            size_t end = line.find(' ', at);
            if (end == std::string::npos) end = line.size();
            if (end > at) tokens.push_back(line.substr(at, end - at));
            at = end + 1;
        }
        line.clear();
        if (tokens.empty()) continue;
        g_textCodePage = (UINT)std::strtoul(tokens[0].c_str(), nullptr, 10);
        std::vector<std::string> args{"probe"};
        for (size_t i = 1; i < tokens.size(); ++i) {
            std::string utf8;
            for (size_t at = 1; at + 1 < tokens[i].size(); at += 2)
                utf8 += (char)std::strtoul(tokens[i].substr(at, 2).c_str(), nullptr, 16);
            std::wstring wide(utf8.size() + 1, L'\0');
            wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), wide.data(), (int)wide.size()));
            args.push_back(toCp1252(wide));
        }
        const int rc = runArguments(args);
        std::printf("rc=%d\n--end--\n", rc);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int, char**) {
    // The arguments in the texts' code page, whatever this process's own is.
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 2 && std::wstring(wide[1]) == L"serve") return serve();
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(toCp1252(wide[i]));
    const int rc = runArguments(args);
    std::fflush(stdout);
    return rc;
}
