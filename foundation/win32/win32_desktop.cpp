#include "foundation/win32/win32_desktop.h"

#include <shellapi.h>

#include <algorithm>
#include <cstddef>

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

std::string Win32Desktop::getClassName(Hwnd window) {
    char name[256];  // no class name is longer
    const int length = GetClassNameA(toNative(window), name, sizeof name);
    return length > 0 ? std::string(name, static_cast<std::size_t>(length)) : std::string();
}

std::int32_t Win32Desktop::getWindowTextLength(Hwnd window) { return GetWindowTextLengthA(toNative(window)); }

std::string Win32Desktop::getWindowText(Hwnd window, std::int32_t bufferLength) {
    if (bufferLength <= 0) return {};
    std::string buffer(static_cast<std::size_t>(bufferLength), '\0');
    const int copied = GetWindowTextA(toNative(window), buffer.data(), bufferLength);
    buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return buffer;
}

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

namespace {
struct EnumContext {
    const std::function<std::int32_t(Hwnd, std::int32_t)>* proc;
    std::int32_t value;
};

BOOL CALLBACK enumThunk(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<EnumContext*>(param);
    return (*context->proc)(fromNative(window), context->value) != 0;
}
}  // namespace

void Win32Desktop::enumWindows(const std::function<std::int32_t(Hwnd, std::int32_t)>& proc, std::int32_t value) {
    EnumContext context{&proc, value};
    EnumWindows(enumThunk, reinterpret_cast<LPARAM>(&context));
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

void Win32Desktop::postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
    PostMessageA(toNative(window), message, wParam, lParam);
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

void Win32Desktop::shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory, int showCommand) {
    // A path of the program folder may hold any letter: handed over in UTF-16.
    ShellExecuteW(toNative(owner), widen(verb).c_str(), widen(file).c_str(), widen(parameters).c_str(),
                  widen(directory).c_str(), showCommand);
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

std::uint32_t Win32Desktop::registerWindowMessage(const std::string& name) {
    return RegisterWindowMessageA(name.c_str());
}

void Win32Desktop::allowSetForegroundWindow(Hwnd window) {
    DWORD process = 0;
    if (GetWindowThreadProcessId(toNative(window), &process)) AllowSetForegroundWindow(process);
}

}  // namespace pellorin
