// The runtime around the forms: their windows, the message loop and the
// yield, message boxes, and the system's code pages.
#include "foundation/win32/win32_runtime.h"

#include "foundation/win32/win32_text.h"

namespace pellorin {

Win32Runtime::~Win32Runtime() = default;

forms::WindowHost& Win32Runtime::createWindow(forms::Form& form) {
    std::erase_if(closed_, [](const std::unique_ptr<FormWindow>& closed) { return !closed->busy(); });
    auto window = std::make_unique<FormWindow>(form, instance_, icons_, owner_);
    FormWindow& created = *window;
    windows_[&form] = std::move(window);
    return created;
}

void Win32Runtime::destroyWindow(forms::Form& form) {
    auto found = windows_.find(&form);
    if (found == windows_.end()) return;
    std::unique_ptr<FormWindow> window = std::move(found->second);
    windows_.erase(found);
    window->destroy();
    closed_.push_back(std::move(window));
}

bool Win32Runtime::translateDialogMessage(MSG& message) {
    // The window the message is for, or the one its control belongs to.
    HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    for (const auto& [form, window] : windows_)
        if (window->window() == top) return window->opensLink(message) || IsDialogMessageW(top, &message) != FALSE;
    return false;
}

void Win32Runtime::dispatch(MSG& message) {
    if (translateDialogMessage(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32Runtime::yieldToPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit for the main loop to see.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

int Win32Runtime::messageBox(const std::string& text, const std::string& title, int style) {
    // The box belongs to the window the user is working in, if it is ours.
    HWND owner = GetActiveWindow();
    if (!owner) owner = owner_;
    return MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), static_cast<UINT>(style));
}

std::string Win32Runtime::decimalSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1) return ".";
    return narrow(separator);
}

std::string Win32Runtime::fromAnsi(std::string_view ansi) { return narrow(widen(ansi, CP_ACP)); }

std::string Win32Runtime::toAnsi(std::string_view text) { return narrow(widen(text), CP_ACP); }

std::size_t Win32Runtime::ansiCharacterLength(std::string_view ansi) { return pellorin::ansiCharacterLength(ansi); }

std::optional<std::string> Win32Runtime::decode(std::string_view bytes, std::uint32_t codePage) {
    return decodeCodePage(bytes, codePage);
}

void Win32Runtime::endProgram() {
    if (owner_ && IsWindow(owner_)) DestroyWindow(owner_);
    ExitProcess(0);
}

int Win32Runtime::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
    return static_cast<int>(message.wParam);
}

}  // namespace pellorin
