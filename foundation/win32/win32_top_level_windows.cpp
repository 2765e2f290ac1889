// Every program's top-level windows, found by title and class and asked
// through messages: all the launcher takes from the desktop.
#include "foundation/win32/win32_desktop.h"

namespace pellorin {

std::string Win32TopLevelWindows::getClassName(Hwnd window) {
    char name[256];  // no class name is longer
    const int length = GetClassNameA(toNative(window), name, sizeof name);
    return length > 0 ? std::string(name, static_cast<std::size_t>(length)) : std::string();
}

std::int32_t Win32TopLevelWindows::getWindowTextLength(Hwnd window) { return GetWindowTextLengthA(toNative(window)); }

std::string Win32TopLevelWindows::getWindowText(Hwnd window, std::int32_t bufferLength) {
    if (bufferLength <= 0) return {};
    std::string buffer(static_cast<std::size_t>(bufferLength), '\0');
    const int copied = GetWindowTextA(toNative(window), buffer.data(), bufferLength);
    buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return buffer;
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

void Win32TopLevelWindows::enumWindows(const std::function<std::int32_t(Hwnd, std::int32_t)>& proc,
                                       std::int32_t value) {
    EnumContext context{&proc, value};
    EnumWindows(enumThunk, reinterpret_cast<LPARAM>(&context));
}

void Win32TopLevelWindows::postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
    PostMessageA(toNative(window), message, wParam, lParam);
}

std::uint32_t Win32TopLevelWindows::registerWindowMessage(const std::string& name) {
    return RegisterWindowMessageA(name.c_str());
}

void Win32TopLevelWindows::allowSetForegroundWindow(Hwnd window) {
    DWORD process = 0;
    if (GetWindowThreadProcessId(toNative(window), &process)) AllowSetForegroundWindow(process);
}

}  // namespace pellorin
