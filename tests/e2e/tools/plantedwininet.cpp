// A wininet.dll as someone might leave it in a Downloads folder beside the
// program: loaded, it leaves a mark (which program loaded it) in its own
// folder, and every call it offers fails as if there were no network. The
// tests put it beside Pellorin.exe and rovudir.exe as "wininet.dll".
#include <windows.h>

// Declared here, not through <wininet.h>, which declares them as imported.
using HINTERNET = void*;

namespace {

constexpr DWORD cannotConnect = 12029;  // ERROR_INTERNET_CANNOT_CONNECT

void leaveMark(HINSTANCE self) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    DWORD slash = length;
    while (slash > 0 && path[slash - 1] != L'\\') --slash;
    lstrcpynW(path + slash, L"planted-dll.mark", MAX_PATH - static_cast<int>(slash));
    HANDLE mark = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark == INVALID_HANDLE_VALUE) return;
    char program[MAX_PATH];
    const DWORD programLength = GetModuleFileNameA(nullptr, program, MAX_PATH - 2);
    program[programLength] = '\r';
    program[programLength + 1] = '\n';
    DWORD written = 0;
    WriteFile(mark, program, programLength + 2, &written, nullptr);
    CloseHandle(mark);
}

template <typename T>
T refuse(T result) {
    SetLastError(cannotConnect);
    return result;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) leaveMark(self);
    return TRUE;
}

__declspec(dllexport) HINTERNET WINAPI InternetOpenA(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD) {
    return refuse<HINTERNET>(nullptr);
}
__declspec(dllexport) BOOL WINAPI InternetSetOptionA(HINTERNET, DWORD, LPVOID, DWORD) { return refuse(FALSE); }
__declspec(dllexport) HINTERNET WINAPI InternetOpenUrlA(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR) {
    return refuse<HINTERNET>(nullptr);
}
__declspec(dllexport) BOOL WINAPI HttpQueryInfoA(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD) { return refuse(FALSE); }
__declspec(dllexport) BOOL WINAPI InternetReadFile(HINTERNET, LPVOID, DWORD, LPDWORD) { return refuse(FALSE); }
__declspec(dllexport) BOOL WINAPI InternetCloseHandle(HINTERNET) { return refuse(FALSE); }
}
