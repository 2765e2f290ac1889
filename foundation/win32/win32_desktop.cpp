#include "foundation/win32/win32_desktop.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "foundation/win32/win32_text.h"

namespace pellorin {

#if !defined(_WIN64)
// In the 32-bit program the logic's record is the platform's record.
static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == offsetof(TrayIconData, hWnd));
static_assert(offsetof(NOTIFYICONDATAA, uID) == offsetof(TrayIconData, uID));
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == offsetof(TrayIconData, uFlags));
static_assert(offsetof(NOTIFYICONDATAA, uCallbackMessage) == offsetof(TrayIconData, uCallbackMessage));
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == offsetof(TrayIconData, hIcon));
static_assert(offsetof(NOTIFYICONDATAA, szTip) == offsetof(TrayIconData, szTip));
#endif

Hwnd Win32Desktop::getForegroundWindow() { return fromNative(GetForegroundWindow()); }

bool Win32Desktop::isWindow(Hwnd window) { return IsWindow(toNative(window)) != FALSE; }

bool Win32Desktop::isZoomed(Hwnd window) { return IsZoomed(toNative(window)) != FALSE; }

bool Win32Desktop::isIconic(Hwnd window) { return IsIconic(toNative(window)) != FALSE; }

void Win32Desktop::showWindow(Hwnd window, int command) {
    HWND native = toNative(window);
    // ShowWindow on another thread's window waits until that thread has
    // done it, however long it hangs; the asynchronous call only posts it.
    if (GetWindowThreadProcessId(native, nullptr) == GetCurrentThreadId())
        ShowWindow(native, command);
    else
        ShowWindowAsync(native, command);
}

bool Win32Desktop::getWindowRect(Hwnd window, Rect32& rect) {
    RECT native{};
    if (!GetWindowRect(toNative(window), &native)) return false;
    rect = {native.left, native.top, native.right, native.bottom};
    return true;
}

void Win32Desktop::moveWindow(Hwnd window, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                              bool repaint) {
    MoveWindow(toNative(window), left, top, width, height, repaint);
}

std::int16_t Win32Desktop::getAsyncKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }

void Win32Desktop::sendF11(Hwnd window) {
    // Keys go to whichever window has the focus now: another one than ours
    // (a word processor, say) must not get them.
    HWND target = toNative(window);
    if (!target || GetForegroundWindow() != target) return;
    INPUT inputs[2]{};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_F11;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
    // The keys travel through the target's queue; once it answers a message
    // of ours it has had its turn at them. A hung window holds us a second
    // at most.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
}

bool Win32Desktop::foregroundLayoutTypesWithCtrlAlt(int letterKey) {
    HWND foreground = GetForegroundWindow();
    HKL layout = GetKeyboardLayout(foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0);
    auto known = ctrlAltKeys_.find(layout);
    if (known == ctrlAltKeys_.end()) {
        // Asked the other way round, character by character: which key and
        // modifiers type it. (ToUnicodeEx would answer per key, but Wine's
        // says nothing for any Ctrl+Alt combination.) The characters AltGr
        // types on the world's layouts all lie below U+3000.
        std::bitset<256> keys;
        for (wchar_t character = 0x20; character < 0x3000; ++character) {
            const SHORT typed = VkKeyScanExW(character, layout);
            if (typed == -1) continue;
            constexpr int ctrlAndAlt = 2 | 4;
            if ((HIBYTE(typed) & ctrlAndAlt) == ctrlAndAlt) keys.set(LOBYTE(typed));
        }
        known = ctrlAltKeys_.emplace(layout, keys).first;
    }
    return letterKey >= 0 && letterKey < 256 && known->second.test(static_cast<std::size_t>(letterKey));
}

bool Win32Desktop::shellNotifyIcon(std::uint32_t message, const TrayIconData& data) {
    NOTIFYICONDATAA native{};
    native.cbSize = data.cbSize == sizeof(TrayIconData) ? NOTIFYICONDATAA_V1_SIZE : data.cbSize;
    native.hWnd = toNative(data.hWnd);
    native.uID = data.uID;
    native.uFlags = data.uFlags;
    native.uCallbackMessage = data.uCallbackMessage;
    native.hIcon = toNative<HICON>(data.hIcon);
    static_assert(sizeof(native.szTip) >= sizeof(data.szTip));
    for (std::size_t i = 0; i < data.szTip.size(); ++i) native.szTip[i] = data.szTip[i];
    return Shell_NotifyIconA(message, &native) != FALSE;
}

namespace {

// NOTIFYICONDATAW as Windows Vista defined it, whichever Windows the headers
// were set for: the Windows 2000 record and the balloon's own icon.
struct NotifyIconDataVista {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    WCHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    WCHAR szInfo[256];
    UINT uVersion;  // or uTimeout
    WCHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    HICON hBalloonIcon;
};
static_assert(offsetof(NotifyIconDataVista, szTip) == offsetof(NOTIFYICONDATAW, szTip));
static_assert(offsetof(NotifyIconDataVista, uVersion) == offsetof(NOTIFYICONDATAW, uVersion));
static_assert(offsetof(NotifyIconDataVista, guidItem) == offsetof(NOTIFYICONDATAW, guidItem));

template <std::size_t size>
void copyCut(const std::wstring& text, WCHAR (&to)[size]) {
    const std::size_t length = std::min(text.size(), size - 1);
    std::copy_n(text.begin(), length, to);
    to[length] = L'\0';
}

}  // namespace

bool Win32Desktop::shellNotifyIconEx(std::uint32_t message, const TrayIconData& data, const TrayIconExtras& extras) {
    NotifyIconDataVista native{};
    // Windows Vista and later take the whole record (and the version 4
    // behaviour, and NIF_SHOWTIP with it); Windows XP takes it up to the
    // balloon's icon, and knows neither.
    native.cbSize = vistaOrLater_ ? sizeof native : offsetof(NotifyIconDataVista, hBalloonIcon);
    native.hWnd = toNative(data.hWnd);
    native.uID = data.uID;
    native.uFlags = vistaOrLater_ ? data.uFlags : data.uFlags & ~std::uint32_t{nifShowTip};
    native.uCallbackMessage = data.uCallbackMessage;
    native.hIcon = toNative<HICON>(data.hIcon);
    const auto tipEnd = std::find(data.szTip.begin(), data.szTip.end(), '\0');
    copyCut(widen(std::string_view(data.szTip.data(), static_cast<std::size_t>(tipEnd - data.szTip.begin())), CP_ACP),
            native.szTip);
    native.uVersion = extras.uVersion;
    copyCut(widen(extras.szInfoTitle), native.szInfoTitle);
    copyCut(widen(extras.szInfo), native.szInfo);
    native.dwInfoFlags = extras.dwInfoFlags;
    return Shell_NotifyIconW(message, reinterpret_cast<NOTIFYICONDATAW*>(&native)) != FALSE;
}

Win32Desktop::~Win32Desktop() {
    if (letterKeysThread_) PostThreadMessageW(letterKeysThread_, WM_QUIT, 0, 0);
    if (letterKeysWindow_) DestroyWindow(letterKeysWindow_);
    if (apartmentTried_ && SUCCEEDED(apartment_)) CoUninitialize();
}

bool Win32Desktop::startWithShell(Hwnd owner, const std::string& verb, const std::string& file,
                                  const std::string& parameters, const std::string& directory, int showCommand,
                                  ULONG mask) {
    // The shell hands an address, the mail link or a script to its handlers
    // through COM, and some of them (Windows 10 and 11's default apps among
    // them) want a single-threaded apartment on the thread that asks. Made
    // at the first start, so a program that never asks never loads COM.
    if (!apartmentTried_) {
        apartmentTried_ = true;
        apartment_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    }
    // A path of the program folder may hold any letter: handed over in UTF-16.
    const std::wstring wideVerb = widen(verb), wideFile = widen(file), wideParameters = widen(parameters),
                       wideDirectory = widen(directory);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    info.hwnd = toNative(owner);
    info.lpVerb = wideVerb.c_str();
    info.lpFile = wideFile.c_str();
    info.lpParameters = wideParameters.c_str();
    info.lpDirectory = wideDirectory.c_str();
    info.nShow = showCommand;
    return ShellExecuteExW(&info) != FALSE;
}

void Win32Desktop::shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory, int showCommand) {
    startWithShell(owner, verb, file, parameters, directory, showCommand, SEE_MASK_DEFAULT);
}

std::int32_t Win32Desktop::regOpenCurrentUserKey(const std::string& path, std::uint32_t access, RegistryKey& key) {
    HKEY native = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &native);
    if (result == ERROR_SUCCESS) {
        openKeys_.push_back(native);
        key = static_cast<RegistryKey>(openKeys_.size());
    }
    return result;
}

std::int32_t Win32Desktop::regQueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                                         std::string& data, std::uint32_t& size) {
    if (key == 0 || key > openKeys_.size() || !openKeys_[key - 1]) return ERROR_INVALID_HANDLE;
    DWORD nativeType = type;
    DWORD nativeSize = static_cast<DWORD>(std::min<std::size_t>(size, data.size()));
    const LONG result = RegQueryValueExA(openKeys_[key - 1], valueName.c_str(), nullptr, &nativeType,
                                         reinterpret_cast<BYTE*>(data.data()), &nativeSize);
    type = nativeType;
    size = nativeSize;
    return result;
}

std::int32_t Win32Desktop::regCloseKey(RegistryKey key) {
    if (key == 0 || key > openKeys_.size() || !openKeys_[key - 1]) return ERROR_INVALID_HANDLE;
    const LONG result = RegCloseKey(openKeys_[key - 1]);
    openKeys_[key - 1] = nullptr;
    return result;
}

namespace {

// A value as the program reads settings: a text as it is, a number as its
// decimal text, anything else as ""; nothing when it is not there.
std::optional<std::string> readRegistryText(HKEY root, const std::string& path, const char* name, REGSAM view = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::string data;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data.assign(size, '\0');
        result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return std::nullopt;
    data.resize(std::min<std::size_t>(size, data.size()));
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::copy(data.begin(), data.end(), reinterpret_cast<char*>(&number));
        return std::to_string(number);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
    return data.substr(0, data.find('\0'));
}

// The engine that Windows Script Host runs .vbs files with: the class that
// the name "VBScript" stands for, served by a library that is there. Taking
// away Windows' VBScript feature takes the library away.
bool vbscriptEngineInstalled() {
    const std::string engine = readRegistryText(HKEY_CLASSES_ROOT, "VBScript\\CLSID", nullptr).value_or("");
    if (engine.empty()) return false;
    std::string library =
        readRegistryText(HKEY_CLASSES_ROOT, "CLSID\\" + engine + "\\InprocServer32", nullptr).value_or("");
    library.erase(std::remove(library.begin(), library.end(), '"'), library.end());
    if (library.empty()) return false;
    char expanded[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsA(library.c_str(), expanded, sizeof expanded);
    if (length > 0 && length <= sizeof expanded) library = expanded;
    // A bare name is one of the system's own libraries.
    if (library.find('\\') == std::string::npos) {
        char system[MAX_PATH] = {};
        const UINT systemLength = GetSystemDirectoryA(system, MAX_PATH);
        if (systemLength == 0 || systemLength >= MAX_PATH) return false;
        library = std::string(system) + "\\" + library;
    }
    return GetFileAttributesA(library.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

Desktop::ScriptSupport Win32Desktop::scriptSupport() {
    ScriptSupport support;
    // What the shell's "open" would start, the user's own choice included.
    // (Asked for the size alone, Wine answers S_OK where Windows answers
    // S_FALSE; a buffer that is too small gets E_POINTER and the size.)
    constexpr ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_NOTRUNCATE;
    std::string host(MAX_PATH, '\0');
    DWORD length = static_cast<DWORD>(host.size());
    HRESULT result = AssocQueryStringA(flags, ASSOCSTR_EXECUTABLE, ".vbs", "open", host.data(), &length);
    if (result == E_POINTER && length > host.size()) {
        host.assign(length, '\0');
        result = AssocQueryStringA(flags, ASSOCSTR_EXECUTABLE, ".vbs", "open", host.data(), &length);
    }
    if (result == S_OK) support.host = host.c_str();
    support.engineInstalled = vbscriptEngineInstalled();
    // The machine's setting where 64-bit and 32-bit script hosts read it
    // (the same place on 32-bit Windows), then the user's.
    const char* const settingsKey = "Software\\Microsoft\\Windows Script Host\\Settings";
    for (const auto& [root, view] :
         {std::pair{HKEY_LOCAL_MACHINE, REGSAM{KEY_WOW64_64KEY}},
          std::pair{HKEY_LOCAL_MACHINE, REGSAM{KEY_WOW64_32KEY}}, std::pair{HKEY_CURRENT_USER, REGSAM{0}}})
        if (auto setting = readRegistryText(root, settingsKey, "Enabled", view))
            support.enabledSettings.push_back(*setting);
    const char* const policyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        if (auto policy = readRegistryText(root, policyKey, "DisableRegistryTools"))
            support.registryToolsPolicies.push_back(*policy);
    return support;
}

bool Win32Desktop::shellExecuteOwnFile(Hwnd owner, const std::string& verb, const std::string& file,
                                       const std::string& parameters, const std::string& directory, int showCommand) {
    // The file came with the program: the zone its copy was unpacked from
    // says nothing about it. A failure is the caller's to handle, so the
    // shell shows no box of its own.
    return startWithShell(owner, verb, file, parameters, directory, showCommand,
                          SEE_MASK_NOZONECHECKS | SEE_MASK_FLAG_NO_UI);
}

std::int32_t Win32Desktop::regSetCurrentUserText(const std::string& path, const std::string& name,
                                                 const std::string& text) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return result;
    // Wide, so that a folder named in any language reaches the value whole;
    // the size counts the terminating zero, as a REG_SZ value holds it.
    const std::wstring value = widen(text);
    result = RegSetValueExW(key, widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result;
}

std::int32_t Win32Desktop::regDeleteCurrentUserValue(const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, widen(path).c_str(), 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) return result;
    result = RegDeleteValueW(key, widen(name).c_str());
    RegCloseKey(key);
    return result;
}

std::int32_t Win32Desktop::regDeleteCurrentUserTree(const std::string& path) {
    // RegDeleteTree does the same from Vista on; this works wherever the
    // program does.
    return static_cast<std::int32_t>(SHDeleteKeyW(HKEY_CURRENT_USER, widen(path).c_str()));
}

}  // namespace pellorin
