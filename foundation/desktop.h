#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/tray_icon_data.h"

namespace pellorin {

// Window handles travel through the logic as 32-bit values whatever the
// platform's pointer width; 0 means no window.
using Hwnd = std::uint32_t;

struct Rect32 {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

namespace show {
inline constexpr int hide = 0;
inline constexpr int maximize = 3;
inline constexpr int show = 5;
inline constexpr int minimize = 6;
inline constexpr int restore = 9;
}  // namespace show

namespace vk {
inline constexpr int control = 17;
inline constexpr int menu = 18;  // Alt
inline constexpr int leftMenu = 0xA4;
inline constexpr int rightMenu = 0xA5;  // AltGr, on a layout that has one
}  // namespace vk

// Bit 15 of what GetAsyncKeyState gives: the key is down now.
inline bool keyIsDown(std::int16_t state) { return (static_cast<std::uint16_t>(state) & 0x8000u) != 0; }

inline constexpr std::uint32_t wmClose = 16;
inline constexpr std::uint32_t wmContextMenu = 0x7B;
inline constexpr std::uint32_t wmMouseMove = 0x200;
inline constexpr std::uint32_t wmLButtonUp = 0x202;
inline constexpr std::uint32_t wmRButtonUp = 0x205;
inline constexpr std::uint32_t nimAdd = 0;
inline constexpr std::uint32_t nimModify = 1;
inline constexpr std::uint32_t nimDelete = 2;
inline constexpr std::uint32_t nimSetFocus = 3;
inline constexpr std::uint32_t nimSetVersion = 4;
inline constexpr std::uint32_t nifInfo = 0x10;
inline constexpr std::uint32_t nifShowTip = 0x80;
inline constexpr std::uint32_t niifInfo = 1;
inline constexpr std::uint32_t notifyIconVersion4 = 4;
// What an icon in the version 4 behaviour reports besides mouse messages.
inline constexpr std::uint32_t ninSelect = 0x400;     // clicked
inline constexpr std::uint32_t ninKeySelect = 0x401;  // Enter or Space on it

// A letter key going down (its auto-repeat too) or up, as a keyboard hook
// sees it, with Ctrl and Alt as they were at that moment.
struct LetterKeyEvent {
    int key = 0;  // 'A' to 'Z'
    bool down = false;
    bool control = false;
    bool alt = false;
    bool leftAlt = false;
    bool rightAlt = false;  // AltGr, on a layout that has one
};

namespace reg {
inline constexpr std::uint32_t keyRead = 131097;
inline constexpr std::uint32_t typeString = 1;  // REG_SZ
inline constexpr std::int32_t moreData = 234;   // ERROR_MORE_DATA
}  // namespace reg

// The top-level windows of every program, as far as finding one by its
// title and class and asking it something goes: all that the launcher needs.
class TopLevelWindows {
public:
    virtual ~TopLevelWindows() = default;

    // The name of the window's class, as GetClassNameA gives it; "" for none.
    virtual std::string getClassName(Hwnd window) = 0;
    virtual std::int32_t getWindowTextLength(Hwnd window) = 0;
    // What GetWindowTextA leaves in a buffer of bufferLength characters: at
    // most bufferLength - 1 characters, fewer when the title shrank meanwhile.
    virtual std::string getWindowText(Hwnd window, std::int32_t bufferLength) = 0;
    // Calls proc once per top-level window, visible or not, until it returns 0.
    virtual void enumWindows(const std::function<std::int32_t(Hwnd, std::int32_t)>& proc, std::int32_t value) = 0;
    virtual void postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) = 0;
    // Messages between our own programs: a number every program that asks
    // for the same name gets, as RegisterWindowMessageA gives it.
    virtual std::uint32_t registerWindowMessage(const std::string& name) = 0;
    // Lets the program that owns the window take the foreground from us, as
    // the program the user has just started.
    virtual void allowSetForegroundWindow(Hwnd window) = 0;
};

// The desktop as the logic sees it: other programs' windows, the keyboard
// state, the notification area, the shell and the registry. Win32 implements
// it for the real program; the unit tests implement it in memory.
class Desktop : public TopLevelWindows {
public:
    virtual Hwnd getForegroundWindow() = 0;
    virtual bool isWindow(Hwnd window) = 0;
    virtual bool isZoomed(Hwnd window) = 0;
    virtual bool isIconic(Hwnd window) = 0;
    // Another program's window is shown, hidden, maximized or minimized
    // without waiting for it: a program that hangs must not hang us.
    virtual void showWindow(Hwnd window, int command) = 0;
    virtual bool getWindowRect(Hwnd window, Rect32& rect) = 0;
    virtual void moveWindow(Hwnd window, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                            bool repaint) = 0;
    virtual std::int16_t getAsyncKeyState(int virtualKey) = 0;
    // Presses and releases F11 for this window, when it is the one that has
    // the focus (never for another one that took it meanwhile), and waits
    // briefly, at most, until the window has taken them.
    virtual void sendF11(Hwnd window) = 0;
    // Whether Ctrl+Alt and this letter's key type a character in the keyboard
    // layout of the window in the foreground: as AltGr and the key do on
    // layouts that have AltGr ("@" on a German keyboard's Q), never on others.
    virtual bool foregroundLayoutTypesWithCtrlAlt(int letterKey) = 0;
    // Reports the letter keys' events as they happen, however short the
    // press, on the user-interface thread, while the keys still go to the
    // window in front. Where the system takes no keyboard hook, nothing comes.
    virtual void watchLetterKeys(std::function<void(const LetterKeyEvent&)> onKey) = 0;

    // False when the notification area did not take it (not there yet, or
    // too busy to answer in time).
    virtual bool shellNotifyIcon(std::uint32_t message, const TrayIconData& data) = 0;
    // The same with the larger record (Shell_NotifyIconW): the first
    // record's fields as given, and the extras. NIM_SETVERSION is false
    // where the shell does not know the version asked for.
    virtual bool shellNotifyIconEx(std::uint32_t message, const TrayIconData& data, const TrayIconExtras& extras) = 0;
    // Its texts are UTF-8, as the program's files' paths are.
    virtual void shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& directory, int showCommand) = 0;

    // Read-only registry access under HKEY_CURRENT_USER, call for call as
    // RegOpenKeyExA, RegQueryValueExA and RegCloseKey; results are their codes.
    using RegistryKey = std::uint32_t;
    virtual std::int32_t regOpenCurrentUserKey(const std::string& path, std::uint32_t access, RegistryKey& key) = 0;
    // data is the buffer and size how much of it the query may fill; type and
    // size come back as the query reports them.
    virtual std::int32_t regQueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                                       std::string& data, std::uint32_t& size) = 0;
    virtual std::int32_t regCloseKey(RegistryKey key) = 0;

    // The outside scripts, and the registry changes that the program makes
    // itself where they cannot run. Paths, registry paths and texts are
    // UTF-8, as the program folder's path is.

    // What decides whether a .vbs file runs on this system, as it stands.
    struct ScriptSupport {
        // The program that the shell's "open" starts for a .vbs file; empty
        // when none is associated.
        std::string host;
        // The VBScript engine is registered and its file is there.
        bool engineInstalled = false;
        // Every "Enabled" setting of Windows Script Host found, the
        // machine's and the user's, as stored (a number as decimal text).
        std::vector<std::string> enabledSettings;
        // Likewise every "DisableRegistryTools" policy: it refuses reg.exe,
        // with which three of the scripts delete.
        std::vector<std::string> registryToolsPolicies;
    };
    virtual ScriptSupport scriptSupport() = 0;
    // Hands one of the program's own files to the shell as shellExecute
    // does, but without the shell's questions and messages: no zone warning
    // for a copy unpacked from a download, no "Open with", no error box.
    // True when the shell started what opens it.
    virtual bool shellExecuteOwnFile(Hwnd owner, const std::string& verb, const std::string& file,
                                     const std::string& parameters, const std::string& directory, int showCommand) = 0;
    // Changes under HKEY_CURRENT_USER; results are Win32 codes, 0 when done.
    // A text value (REG_SZ), its key created when missing.
    virtual std::int32_t regSetCurrentUserText(const std::string& path, const std::string& name,
                                               const std::string& text) = 0;
    virtual std::int32_t regDeleteCurrentUserValue(const std::string& path, const std::string& name) = 0;
    // The key with all its values and keys.
    virtual std::int32_t regDeleteCurrentUserTree(const std::string& path) = 0;
};

}  // namespace pellorin
