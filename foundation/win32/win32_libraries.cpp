// Where the programs take their libraries from: the system folder, never
// the folder they were started from.
#include "foundation/win32/win32_libraries.h"

#include <string>

namespace pellorin {

namespace {

// Both may be missing: the first before Windows 8 (or 7 without the update
// that brought it), the second before XP SP1.
constexpr DWORD searchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

void loadLibrariesFromSystemFolderOnly() {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (const auto setDefault = entryPoint<BOOL(WINAPI*)(DWORD)>(kernel, "SetDefaultDllDirectories")) {
        if (setDefault(searchSystem32)) return;
    }
    // Where the system folder alone cannot be asked for, the current
    // directory at least leaves the search.
    if (const auto setDirectory = entryPoint<BOOL(WINAPI*)(LPCWSTR)>(kernel, "SetDllDirectoryW")) setDirectory(L"");
}

HMODULE loadSystemLibrary(const wchar_t* name) {
    if (HMODULE library = LoadLibraryExW(name, nullptr, searchSystem32)) return library;
    // A loader that does not know the flag refuses it as a bad parameter;
    // then the library by its full path, its own dependencies looked for
    // beside it first.
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace pellorin
