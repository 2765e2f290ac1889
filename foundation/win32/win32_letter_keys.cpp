// The keyboard hook that sees every press of a letter key, however short, on
// a thread of its own, and the message-only window of the user-interface
// thread that its reports go to.
#include "foundation/win32/win32_desktop.h"

namespace pellorin {

namespace {

// Posted by the hook's thread; wParam is the key's code and these bits.
constexpr UINT letterKeyMessage = WM_APP + 1;
constexpr WPARAM keyDown = 0x100;
constexpr WPARAM controlDown = 0x200;
constexpr WPARAM altDown = 0x400;
constexpr WPARAM leftAltDown = 0x800;
constexpr WPARAM rightAltDown = 0x1000;

const wchar_t* const reportsClass = L"PellorinLetterKeys";

// Set before the hook's thread starts, and only read there afterwards.
HWND reportsWindow = nullptr;

bool isDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

LRESULT CALLBACK lowLevelKeyboard(int code, WPARAM message, LPARAM data) {
    // Windows silently takes away a hook that answers late, so this one only
    // looks and posts: it waits for nothing, and passes every key on to the
    // window in front.
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        if (key->vkCode >= 'A' && key->vkCode <= 'Z') {
            WPARAM report = key->vkCode;
            // The letter's own state is not updated yet, the modifiers'
            // (pressed before it) are.
            if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
                report |= keyDown | (isDown(VK_CONTROL) ? controlDown : 0) | (isDown(VK_MENU) ? altDown : 0) |
                          (isDown(VK_LMENU) ? leftAltDown : 0) | (isDown(VK_RMENU) ? rightAltDown : 0);
            PostMessageW(reportsWindow, letterKeyMessage, report, 0);
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

DWORD WINAPI hookThread(LPVOID) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, lowLevelKeyboard, GetModuleHandleW(nullptr), 0);
    if (!hook) return 1;  // the 300 ms poll goes on alone
    // The hook is called from within this loop; nothing else comes here.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    UnhookWindowsHookEx(hook);
    return 0;
}

LRESULT CALLBACK reportsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != letterKeyMessage) return DefWindowProcW(window, message, wParam, lParam);
    auto* onKey =
        reinterpret_cast<std::function<void(const LetterKeyEvent&)>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (onKey && *onKey) {
        LetterKeyEvent key;
        key.key = static_cast<int>(wParam & 0xFF);
        key.down = (wParam & keyDown) != 0;
        key.control = (wParam & controlDown) != 0;
        key.alt = (wParam & altDown) != 0;
        key.leftAlt = (wParam & leftAltDown) != 0;
        key.rightAlt = (wParam & rightAltDown) != 0;
        (*onKey)(key);
    }
    return 0;
}

}  // namespace

void Win32Desktop::watchLetterKeys(std::function<void(const LetterKeyEvent&)> onKey) {
    onLetterKey_ = std::move(onKey);
    if (letterKeysWindow_) return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = reportsProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = reportsClass;
    RegisterClassW(&windowClass);
    letterKeysWindow_ =
        CreateWindowExW(0, reportsClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!letterKeysWindow_) return;
    SetWindowLongPtrW(letterKeysWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&onLetterKey_));
    reportsWindow = letterKeysWindow_;
    HANDLE thread =
        CreateThread(nullptr, 64 * 1024, hookThread, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, &letterKeysThread_);
    if (!thread) return;
    // Answers at once also on a busy machine, where a late answer would cost
    // the hook; it does next to nothing with the time.
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    CloseHandle(thread);
}

}  // namespace pellorin
