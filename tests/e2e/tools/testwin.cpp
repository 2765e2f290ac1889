// testwin: stands in for the browser windows Pellorin watches.
//
//   testwin [--log FILE] [--foreground] WINDOW...
//   WINDOW = --title TEXT [--size WxH] [--pos X,Y] [--maximized] [--minimized] [--class NAME] [--topmost]
//
// --class gives the window a class of that name instead of the tool's own
// (a folder window's "CabinetWClass", a browser's "IEFrame", a stand-in for
// the task bar's "Shell_TrayWnd", which --topmost puts above the real one, as
// the shell finds the first of that class); such a stand-in answers no to
// every Shell_NotifyIcon call and logs it ("NIM" and the message: NIM0 an
// add...). --hang MS, given
// once, stops the process answering for MS once its windows are up, as a
// browser busy with a page does ("Not Responding").
//
// Each --title starts a new top-level window; the options after it apply to
// that window. Titles are taken as Unicode, as browsers set theirs, so one
// may hold characters the ANSI code page lacks. The process stays until every window is closed. When --log is
// given, the events a test wants to see from the outside (created, F11
// pressed, a letter key pressed while the window has the focus, WM_CLOSE
// received, shown, hidden or maximized by someone) are appended to
// FILE one per line, flushed at once so a test can read them while we still
// run.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Spec {
    std::wstring title;
    int w = 500, h = 400;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    bool maximized = false;
    bool minimized = false;
    std::wstring className = L"PellorinE2ETestWindow";
    bool topmost = false;
};

FILE* g_log = nullptr;
int g_open = 0;

void logEvent(HWND hwnd, const char* what) {
    if (!g_log) return;
    char title[512] = {0};
    GetWindowTextA(hwnd, title, sizeof title);
    std::fprintf(g_log, "%s %lu %s\n", what, (unsigned long)(ULONG_PTR)hwnd, title);
    std::fflush(g_log);
}

LRESULT CALLBACK wndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (wp == VK_F11) logEvent(hwnd, "F11");
            // Each press once (not its repeats): a hotkey must not take it.
            if (wp >= 'A' && wp <= 'Z' && !(lp & (1 << 30))) {
                const char what[] = {'K', 'E', 'Y', '_', (char)wp, '\0'};
                logEvent(hwnd, what);
            }
            break;
        case WM_COPYDATA: {
            // What Wine's Shell_NotifyIcon sends to the task bar it finds.
            char what[16];
            std::snprintf(what, sizeof what, "NIM%lu",
                          (unsigned long)reinterpret_cast<const COPYDATASTRUCT*>(lp)->dwData);
            logEvent(hwnd, what);
            return FALSE;
        }
        case WM_SHOWWINDOW:
            // Each change of visibility once, so a test can count how often
            // another program hid or showed the window.
            logEvent(hwnd, wp ? "SHOW" : "HIDE");
            break;
        case WM_SIZE:
            // The end of a maximize: what it brings (the window activated) is behind it.
            if (wp == SIZE_MAXIMIZED) logEvent(hwnd, "MAXIMIZED");
            break;
        case WM_CLOSE:
            logEvent(hwnd, "CLOSE");
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            if (--g_open <= 0) PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int usage() {
    std::fprintf(stderr,
                 "usage: testwin [--log FILE] [--foreground] --title T [--size WxH] [--pos X,Y] "
                 "[--maximized] [--minimized] [--class NAME] [--topmost] [--title T ...] [--hang MS]\n");
    return 2;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> narrow(argc);
    for (int i = 0; i < argc; ++i) {
        char buffer[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, buffer, sizeof buffer - 1, nullptr, nullptr);
        narrow[i] = buffer;
    }
    std::vector<Spec> specs;
    const char* logPath = nullptr;
    bool foreground = false;
    DWORD hangMs = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = narrow[i];
        bool hasNext = i + 1 < argc;
        if (a == "--log" && hasNext) {
            logPath = narrow[++i].c_str();
        } else if (a == "--foreground") {
            foreground = true;
        } else if (a == "--hang" && hasNext) {
            hangMs = std::strtoul(narrow[++i].c_str(), nullptr, 10);
        } else if (a == "--title" && hasNext) {
            specs.push_back(Spec{});
            specs.back().title = wide[++i];
        } else if (specs.empty()) {
            return usage();
        } else if (a == "--size" && hasNext) {
            if (std::sscanf(narrow[++i].c_str(), "%dx%d", &specs.back().w, &specs.back().h) != 2) return usage();
        } else if (a == "--pos" && hasNext) {
            if (std::sscanf(narrow[++i].c_str(), "%d,%d", &specs.back().x, &specs.back().y) != 2) return usage();
        } else if (a == "--maximized") {
            specs.back().maximized = true;
        } else if (a == "--minimized") {
            specs.back().minimized = true;
        } else if (a == "--class" && hasNext) {
            specs.back().className = wide[++i];
        } else if (a == "--topmost") {
            specs.back().topmost = true;
        } else {
            return usage();
        }
    }
    if (specs.empty()) return usage();
    if (logPath) g_log = std::fopen(logPath, "a");

    HINSTANCE inst = GetModuleHandleA(nullptr);
    HWND last = nullptr;
    for (const Spec& s : specs) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = wndProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = s.className.c_str();
        RegisterClassW(&wc);  // fails harmlessly for a class registered before
        // The size given is the outer size, as GetWindowRect reports it.
        HWND hwnd = CreateWindowExW(s.topmost ? WS_EX_TOPMOST : 0, wc.lpszClassName, s.title.c_str(),
                                    WS_OVERLAPPEDWINDOW, s.x, s.y, s.w, s.h, nullptr, nullptr, inst, nullptr);
        if (!hwnd) {
            std::fprintf(stderr, "CreateWindow failed: %lu\n", GetLastError());
            return 1;
        }
        ++g_open;
        int show = s.maximized ? SW_SHOWMAXIMIZED : s.minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
        ShowWindow(hwnd, show);
        UpdateWindow(hwnd);
        logEvent(hwnd, "CREATED");
        last = hwnd;
    }
    if (foreground && last) {
        SetForegroundWindow(last);
        SetActiveWindow(last);
        SetFocus(last);
    }

    if (hangMs) {
        if (g_log) {
            std::fprintf(g_log, "HANG %lu\n", (unsigned long)hangMs);
            std::fflush(g_log);
        }
        Sleep(hangMs);
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (g_log) std::fclose(g_log);
    return 0;
}
