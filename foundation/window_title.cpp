#include "foundation/window_title.h"

#include <charconv>

namespace pellorin {

std::string readWindowTitle(Desktop& desktop, Hwnd window) {
    const std::int32_t length = desktop.getWindowTextLength(window);
    if (length <= 0 || length > longestTitleRead) return {};
    std::string title = desktop.getWindowText(window, length + 1);
    if (title.size() > static_cast<std::size_t>(length)) title.resize(static_cast<std::size_t>(length));
    return title;
}

std::string_view lastEightCharacters(std::string_view title) {
    return title.size() <= 8 ? title : title.substr(title.size() - 8);
}

bool isFolderWindow(Desktop& desktop, Hwnd window) {
    const std::string className = desktop.getClassName(window);
    return className == "CabinetWClass" || className == "ExploreWClass";
}

std::string handleText(Hwnd window) { return std::to_string(static_cast<std::int32_t>(window)); }

bool parseHandle(std::string_view text, Hwnd& window) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    if (value < INT32_MIN || value > UINT32_MAX) return false;
    window = static_cast<Hwnd>(value);
    return true;
}

}  // namespace pellorin
