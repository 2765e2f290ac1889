// rovudir.exe: brings the running Pellorin back onto the screen or starts it.
#include <windows.h>

#include <string>

#include "foundation/win32/win32_desktop.h"
#include "foundation/win32/win32_libraries.h"
#include "foundation/win32/win32_text.h"
#include "launcher/launcher.h"

namespace {

using pellorin::narrow;
using pellorin::widen;

class Win32LauncherHost : public pellorin::LauncherHost {
public:
    std::string ownFolder() override {
        // Paths may be longer than MAX_PATH where long paths are switched on.
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length == 0) return {};
            if (length < path.size()) {
                path.resize(length);
                break;
            }
            if (path.size() >= 32768) return {};  // no path on Windows is longer
            path.resize(path.size() * 2);
        }
        const std::size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos || slash == 0) return {};
        return narrow(std::wstring_view(path).substr(0, slash));
    }

    StartResult startProgram(const std::string& path, int showCommand) override {
        const std::wstring program = widen(path);
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
        PROCESS_INFORMATION process{};
        // Suspended until it may take the focus from us: the shell gave it to
        // the launcher, and Pellorin's window should be the one to have it.
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                            nullptr, &startup, &process)) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? StartResult::missing
                                                                                  : StartResult::failed;
        }
        AllowSetForegroundWindow(process.dwProcessId);
        ResumeThread(process.hThread);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return StartResult::started;
    }

    void messageBox(const std::string& text, const std::string& title, int style) override {
        MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), static_cast<UINT>(style));
    }

    void endProgram() override { ExitProcess(0); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    pellorin::loadLibrariesFromSystemFolderOnly();
    pellorin::Win32TopLevelWindows windows;
    Win32LauncherHost host;
    pellorin::showOrStartPellorin(windows, host);
    return 0;
}
