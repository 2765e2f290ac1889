// probe: looks at and pokes other processes' windows for the end-to-end tests.
//
// One command per run; results go to stdout as "key=value" lines. Window and
// control texts are printed as hex of their ANSI bytes so that no console code
// page conversion can alter them on the way to the test. Exit status: 0 done,
// 1 the window/control was not there (after the optional wait), 2 bad usage.
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
//   windows TITLE                  hwnd, zoomed, iconic, visible, rect of each match
//   msgbox TITLE [WAIT_MS]         dialogs (#32770) titled TITLE: count, texts, buttons
//   msgbox-ok TITLE                presses OK on the first such dialog
//   key down|up|tap VK             keyboard input through SendInput
//   hold VK MS                     key held down for MS, repeating, then up
//   keystate VK                    GetAsyncKeyState as this process sees it
//   foreground TITLE               SetForegroundWindow on the window
//   fg                             the foreground window and its title
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

std::string windowTitle(HWND hwnd) {
    wchar_t buf[4096] = {0};
    GetWindowTextW(hwnd, buf, 4096);
    return toCp1252(buf);
}

// Pellorin's texts are Windows-1252; read them as UTF-16 and convert here, so
// the result does not hang on the code page Wine picked for this process (and
// because Wine hands ANSI list box texts across processes unconverted).
std::string toCp1252(const std::wstring& w) {
    if (w.empty()) return "";
    int n = WideCharToMultiByte(1252, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(1252, 0, w.data(), (int)w.size(), &out[0], n, nullptr, nullptr);
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
    SendInput(1, &in, sizeof in);
}

DWORD arg(int argc, char** argv, int i, DWORD dflt) {
    return i < argc ? (DWORD)std::strtoul(argv[i], nullptr, 10) : dflt;
}

int run(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string cmd = argv[1];

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
    if (cmd == "keystate" && argc >= 3) {
        WORD vk = (WORD)std::strtoul(argv[2], nullptr, 10);
        GetAsyncKeyState(vk);  // the first call may still carry the "pressed since" bit
        std::printf("state=%d\n", (int)(unsigned short)GetAsyncKeyState(vk));
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
    if (argc < 3) return 2;
    std::string title = argv[2];

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
            RECT r = {};
            GetWindowRect(h, &r);
            std::printf("hwnd=%lu zoomed=%d iconic=%d visible=%d rect=%ld,%ld,%ld,%ld\n", (unsigned long)(ULONG_PTR)h,
                        IsZoomed(h) ? 1 : 0, IsIconic(h) ? 1 : 0, IsWindowVisible(h) ? 1 : 0, r.left, r.top, r.right,
                        r.bottom);
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
    if (cmd == "foreground") {
        SetForegroundWindow(top);
        return GetForegroundWindow() == top ? 0 : 1;
    }

    if (argc < 4) return 2;
    int id = (int)std::strtol(argv[3], nullptr, 10);
    HWND ctl = GetDlgItem(top, id);
    if (!ctl) {
        std::printf("error=no control %d\n", id);
        return 1;
    }
    if (cmd == "ctl") {
        DWORD_PTR check = 0;
        SendMessageTimeoutA(ctl, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &check);
        std::printf("hwnd=%lu\nclass=%s\nenabled=%d\nvisible=%d\ncheck=%d\ntext=%s\n", (unsigned long)(ULONG_PTR)ctl,
                    className(ctl).c_str(), IsWindowEnabled(ctl) ? 1 : 0, IsWindowVisible(ctl) ? 1 : 0, (int)check,
                    hex(controlText(ctl)).c_str());
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

}  // namespace

int main(int argc, char** argv) {
    int rc = run(argc, argv);
    if (rc == 2) std::fprintf(stderr, "probe: bad command, see the comment at the top of probe.cpp\n");
    std::fflush(stdout);
    return rc;
}
