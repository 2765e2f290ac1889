#pragma once

#include <windows.h>

#include <versionhelpers.h>

#include <bitset>
#include <map>
#include <vector>

#include "foundation/desktop.h"

namespace pellorin {

// Handles (windows, icons) cross the edge as 32-bit values, the way 64-bit
// Windows shares them with 32-bit programs (sign-extended).
template <typename Handle = HWND>
inline Handle toNative(std::uint32_t handle) {
    return reinterpret_cast<Handle>(static_cast<LONG_PTR>(static_cast<LONG>(handle)));
}
template <typename Handle>
inline std::uint32_t fromNative(Handle handle) {
    return static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(handle) & 0xFFFFFFFFu);
}

// Every program's top-level windows through user32: the launcher's whole
// desktop, and the part of Pellorin's that finds and asks windows.
class Win32TopLevelWindows : public TopLevelWindows {
public:
    std::string getClassName(Hwnd window) override;
    std::int32_t getWindowTextLength(Hwnd window) override;
    std::string getWindowText(Hwnd window, std::int32_t bufferLength) override;
    void enumWindows(const std::function<std::int32_t(Hwnd, std::int32_t)>& proc, std::int32_t value) override;
    void postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) override;
    std::uint32_t registerWindowMessage(const std::string& name) override;
    void allowSetForegroundWindow(Hwnd window) override;
};

class Win32Desktop : public Desktop {
public:
    Win32Desktop() = default;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;
    ~Win32Desktop() override;

    std::string getClassName(Hwnd window) override { return windows_.getClassName(window); }
    std::int32_t getWindowTextLength(Hwnd window) override { return windows_.getWindowTextLength(window); }
    std::string getWindowText(Hwnd window, std::int32_t bufferLength) override {
        return windows_.getWindowText(window, bufferLength);
    }
    void enumWindows(const std::function<std::int32_t(Hwnd, std::int32_t)>& proc, std::int32_t value) override {
        windows_.enumWindows(proc, value);
    }
    void postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) override {
        windows_.postMessage(window, message, wParam, lParam);
    }
    std::uint32_t registerWindowMessage(const std::string& name) override {
        return windows_.registerWindowMessage(name);
    }
    void allowSetForegroundWindow(Hwnd window) override { windows_.allowSetForegroundWindow(window); }

    Hwnd getForegroundWindow() override;
    bool isWindow(Hwnd window) override;
    bool isZoomed(Hwnd window) override;
    bool isIconic(Hwnd window) override;
    void showWindow(Hwnd window, int command) override;
    bool getWindowRect(Hwnd window, Rect32& rect) override;
    void moveWindow(Hwnd window, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                    bool repaint) override;
    std::int16_t getAsyncKeyState(int virtualKey) override;
    void sendF11(Hwnd window) override;
    bool foregroundLayoutTypesWithCtrlAlt(int letterKey) override;
    void watchLetterKeys(std::function<void(const LetterKeyEvent&)> onKey) override;
    bool shellNotifyIcon(std::uint32_t message, const TrayIconData& data) override;
    bool shellNotifyIconEx(std::uint32_t message, const TrayIconData& data, const TrayIconExtras& extras) override;
    void shellExecute(Hwnd owner, const std::string& verb, const std::string& file, const std::string& parameters,
                      const std::string& directory, int showCommand) override;
    std::int32_t regOpenCurrentUserKey(const std::string& path, std::uint32_t access, RegistryKey& key) override;
    std::int32_t regQueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type, std::string& data,
                               std::uint32_t& size) override;
    std::int32_t regCloseKey(RegistryKey key) override;

    ScriptSupport scriptSupport() override;
    bool shellExecuteOwnFile(Hwnd owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& directory, int showCommand) override;
    std::int32_t regSetCurrentUserText(const std::string& path, const std::string& name,
                                       const std::string& text) override;
    std::int32_t regDeleteCurrentUserValue(const std::string& path, const std::string& name) override;
    std::int32_t regDeleteCurrentUserTree(const std::string& path) override;

private:
    bool startWithShell(Hwnd owner, const std::string& verb, const std::string& file, const std::string& parameters,
                        const std::string& directory, int showCommand, ULONG mask);

    Win32TopLevelWindows windows_;
    // COM on the thread that asks the shell, once it first does.
    bool vistaOrLater_ = IsWindowsVistaOrGreater();
    HRESULT apartment_ = S_FALSE;
    bool apartmentTried_ = false;
    std::vector<HKEY> openKeys_;  // RegistryKey n is openKeys_[n - 1]
    // For each keyboard layout asked about, the keys that type a character
    // with Ctrl+Alt.
    std::map<HKL, std::bitset<256>> ctrlAltKeys_;
    // The letter keys' reports: the keyboard hook's thread posts them to a
    // message-only window of the user-interface thread.
    std::function<void(const LetterKeyEvent&)> onLetterKey_;
    HWND letterKeysWindow_ = nullptr;
    DWORD letterKeysThread_ = 0;
};

}  // namespace pellorin
