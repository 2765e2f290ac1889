#include "foundation/window_title.h"

#include <algorithm>
#include <charconv>

namespace pellorin {

std::string readWindowTitle(TopLevelWindows& windows, Hwnd window) {
    const std::int32_t length = windows.getWindowTextLength(window);
    if (length <= 0 || length > longestTitleRead) return {};
    std::string title = windows.getWindowText(window, length + 1);
    if (title.size() > static_cast<std::size_t>(length)) title.resize(static_cast<std::size_t>(length));
    return title;
}

std::string_view lastEightCharacters(forms::Runtime& runtime, std::string_view title) {
    // A trail byte may look like a lead byte or like ASCII ("\\" ends many a
    // Japanese character), so characters are only known counted from the start.
    std::size_t starts[8] = {};
    std::size_t count = 0;
    for (std::size_t at = 0; at < title.size(); ++count) {
        starts[count % 8] = at;
        at += std::min(runtime.ansiCharacterLength(title.substr(at)), title.size() - at);
    }
    return count <= 8 ? title : title.substr(starts[count % 8]);
}

std::size_t ansiCharacterCount(forms::Runtime& runtime, std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count)
        at += std::min(runtime.ansiCharacterLength(text.substr(at)), text.size() - at);
    return count;
}

bool isFolderWindow(TopLevelWindows& windows, Hwnd window) {
    const std::string className = windows.getClassName(window);
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
