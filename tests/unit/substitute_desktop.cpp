#include "substitute_desktop.h"

#include <algorithm>

#include "foundation/text.h"
#include "iconv_code_pages.h"

namespace pellorin::testing {

Hwnd SubstituteDesktop::open(std::string title, Rect32 rect) {
    const Hwnd handle = nextHandle_;
    nextHandle_ += 0x10;
    windows_[handle] = Window{std::move(title), rect};
    order_.push_back(handle);
    return handle;
}

void SubstituteDesktop::close(Hwnd window) {
    windows_.erase(window);
    order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
    if (foreground == window) foreground = 0;
}

std::int32_t SubstituteDesktop::getWindowTextLength(Hwnd window) {
    if (beforeTitleRead) beforeTitleRead(window);
    auto found = windows_.find(window);
    return found == windows_.end() ? 0 : static_cast<std::int32_t>(found->second.title.size());
}

std::string SubstituteDesktop::getWindowText(Hwnd window, std::int32_t bufferLength) {
    auto found = windows_.find(window);
    if (found == windows_.end() || bufferLength <= 0) return {};
    return found->second.title.substr(0, static_cast<std::size_t>(bufferLength - 1));
}

bool SubstituteDesktop::isZoomed(Hwnd window) { return exists(window) && windows_[window].zoomed; }

bool SubstituteDesktop::isIconic(Hwnd window) { return exists(window) && windows_[window].iconic; }

void SubstituteDesktop::showWindow(Hwnd window, int command) {
    calls.push_back("ShowWindow " + std::to_string(window) + " " + std::to_string(command));
    auto found = windows_.find(window);
    if (found == windows_.end()) return;
    Window& w = found->second;
    switch (command) {
        case show::hide: w.visible = false; break;
        case show::maximize:
            w.zoomed = true;
            w.iconic = false;
            w.visible = true;
            break;
        case show::show: w.visible = true; break;
        case show::minimize:
            w.iconic = true;
            w.zoomed = false;
            break;
        case show::restore:
            w.iconic = false;
            w.zoomed = false;
            w.visible = true;
            break;
        default: break;
    }
}

void SubstituteDesktop::enumWindows(const std::function<std::int32_t(Hwnd, std::int32_t)>& proc, std::int32_t value) {
    // A copy: the callback may close windows as real programs can meanwhile.
    const std::vector<Hwnd> snapshot = order_;
    for (Hwnd window : snapshot)
        if (proc(window, value) == 0) return;
}

bool SubstituteDesktop::getWindowRect(Hwnd window, Rect32& rect) {
    auto found = windows_.find(window);
    if (found == windows_.end()) return false;
    rect = found->second.rect;
    return true;
}

void SubstituteDesktop::moveWindow(Hwnd window, std::int32_t left, std::int32_t top, std::int32_t width,
                                   std::int32_t height, bool) {
    calls.push_back("MoveWindow " + std::to_string(window));
    auto found = windows_.find(window);
    if (found != windows_.end()) found->second.rect = {left, top, left + width, top + height};
}

void SubstituteDesktop::postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
    calls.push_back("PostMessage " + std::to_string(window) + " " + std::to_string(message) + " " +
                    std::to_string(wParam) + " " + std::to_string(lParam));
    if (windowsCloseWhenAsked && message == wmClose && exists(window)) close(window);
}

std::int16_t SubstituteDesktop::getAsyncKeyState(int virtualKey) {
    auto found = keyStates.find(virtualKey);
    if (found == keyStates.end()) return 0;
    const std::int16_t state = found->second;
    found->second = static_cast<std::int16_t>(state & ~1);
    return state;
}

void SubstituteDesktop::sendF11(Hwnd window) {
    if (window != 0 && window == foreground) calls.push_back("F11 " + std::to_string(window));
}

bool SubstituteDesktop::shellNotifyIcon(std::uint32_t message, const TrayIconData& data) {
    calls.push_back("Shell_NotifyIcon " + std::to_string(message));
    trayRecords.push_back(data);
    trayExtras.emplace_back();
    return trayAnswers ? trayAnswers(message) : true;
}

bool SubstituteDesktop::shellNotifyIconEx(std::uint32_t message, const TrayIconData& data,
                                          const TrayIconExtras& extras) {
    calls.push_back("Shell_NotifyIconW " + std::to_string(message));
    trayRecords.push_back(data);
    trayExtras.push_back(extras);
    return trayAnswers ? trayAnswers(message) : true;
}

void SubstituteDesktop::shellExecute(Hwnd owner, const std::string& verb, const std::string& file,
                                     const std::string& parameters, const std::string& directory, int showCommand) {
    calls.push_back("ShellExecute " + std::to_string(owner) + " " + verb + " " + file + " [" + parameters + "] [" +
                    directory + "] " + std::to_string(showCommand));
}

std::int32_t SubstituteDesktop::regOpenCurrentUserKey(const std::string& path, std::uint32_t, RegistryKey& key) {
    calls.push_back("RegOpenKey " + path);
    if (registry.count(path) == 0) return 2;  // ERROR_FILE_NOT_FOUND
    openKeys_.push_back(path);
    key = static_cast<RegistryKey>(openKeys_.size());
    return 0;
}

std::int32_t SubstituteDesktop::regQueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                                              std::string& data, std::uint32_t& size) {
    if (key == 0 || key > openKeys_.size()) return 6;  // ERROR_INVALID_HANDLE
    const auto& values = registry[openKeys_[key - 1]];
    auto found = values.find(valueName);
    if (found == values.end()) return 2;
    type = found->second.type;
    const std::uint32_t needed = static_cast<std::uint32_t>(found->second.data.size());
    if (needed > size) {
        size = needed;
        return 234;  // ERROR_MORE_DATA
    }
    data.replace(0, needed, found->second.data);
    size = needed;
    return 0;
}

std::int32_t SubstituteDesktop::regCloseKey(RegistryKey key) {
    calls.push_back("RegCloseKey " + std::to_string(key));
    return 0;
}

std::uint32_t SubstituteDesktop::registerWindowMessage(const std::string& name) {
    auto known = std::find(registeredMessages.begin(), registeredMessages.end(), name);
    if (known == registeredMessages.end()) known = registeredMessages.insert(known, name);
    return registeredMessageBase + static_cast<std::uint32_t>(known - registeredMessages.begin());
}

void SubstituteDesktop::allowSetForegroundWindow(Hwnd window) {
    calls.push_back("AllowSetForegroundWindow " + std::to_string(window));
}

bool SubstituteDesktop::shellExecuteOwnFile(Hwnd owner, const std::string& verb, const std::string& file,
                                            const std::string& parameters, const std::string& directory,
                                            int showCommand) {
    shellExecute(owner, verb, file, parameters, directory, showCommand);
    return shellStarts;
}

std::int32_t SubstituteDesktop::regSetCurrentUserText(const std::string& path, const std::string& name,
                                                      const std::string& text) {
    calls.push_back("RegSetValue " + path + " " + name);
    if (!registryWritable) return 5;  // ERROR_ACCESS_DENIED
    registry[path][name] = {reg::typeString, text + '\0'};
    return 0;
}

std::int32_t SubstituteDesktop::regDeleteCurrentUserValue(const std::string& path, const std::string& name) {
    calls.push_back("RegDeleteValue " + path + " " + name);
    if (!registryWritable) return 5;
    auto key = registry.find(path);
    if (key == registry.end() || key->second.erase(name) == 0) return 2;  // ERROR_FILE_NOT_FOUND
    return 0;
}

std::int32_t SubstituteDesktop::regDeleteCurrentUserTree(const std::string& path) {
    calls.push_back("RegDeleteTree " + path);
    if (!registryWritable) return 5;
    bool found = false;
    for (auto key = registry.begin(); key != registry.end();) {
        const bool under = key->first == path || key->first.rfind(path + "\\", 0) == 0;
        found = found || under;
        key = under ? registry.erase(key) : std::next(key);
    }
    return found ? 0 : 2;
}

std::optional<std::string> MemoryFiles::get(const std::string& name) const {
    auto found = files.find(path(name));
    if (found == files.end()) return std::nullopt;
    return found->second.bytes;
}

bool MemoryFiles::setCurrentDirectory(const std::string& directory) {
    currentDirectory = directory;
    return true;
}

std::optional<std::string> MemoryFiles::readAll(const std::string& filePath) {
    auto found = files.find(filePath);
    if (found == files.end() || found->second.unreadable) return std::nullopt;
    return found->second.bytes;
}

WriteResult MemoryFiles::replaceContent(const std::string& filePath, const std::string& bytes) {
    auto found = files.find(filePath);
    if (!folderWritable || (found != files.end() && found->second.readOnly)) return WriteResult::accessDenied;
    if (failWrites) return WriteResult::failed;
    files[filePath].bytes = bytes;
    writes.push_back(filePath.substr(folder.size() + 1));
    return WriteResult::ok;
}

bool MemoryFiles::setNormalAttributes(const std::string& filePath) {
    auto found = files.find(filePath);
    if (found == files.end() || found->second.attributesLocked) return false;
    found->second.readOnly = false;
    found->second.hidden = false;
    return true;
}

void SubstituteRuntime::yieldToPendingMessages() {
    ++yields;
    if (onYield) {
        // One pending event per yield; the test re-arms the hook if it wants more.
        auto pending = std::move(onYield);
        onYield = nullptr;
        pending();
    }
}

std::string SubstituteRuntime::fromAnsi(std::string_view ansi) {
    return ansiCodePage == 1252 ? windows1252ToUtf8(ansi) : iconvDecode(ansi, ansiCodePage).value_or("");
}

std::size_t SubstituteRuntime::ansiCharacterLength(std::string_view ansi) {
    return ansiCodePage == 1252 ? 1 : iconvCharacterLength(ansi, ansiCodePage);
}

std::optional<std::string> SubstituteRuntime::decode(std::string_view bytes, std::uint32_t codePage) {
    return iconvDecode(bytes, codePage);
}

std::string SubstituteRuntime::toAnsi(std::string_view text) {
    if (ansiCodePage != 1252) return iconvEncode(text, ansiCodePage);
    std::string ansi;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t code = nextUtf8(text, at);
        char byte = '?';
        for (int candidate = 0; candidate < 256; ++candidate)
            if (fromWindows1252(static_cast<unsigned char>(candidate)) == code) byte = static_cast<char>(candidate);
        ansi.push_back(byte);
    }
    return ansi;
}

int SubstituteRuntime::messageBox(const std::string& text, const std::string& title, int style) {
    boxes.push_back({text, title, style});
    if (whileBoxShown) whileBoxShown();
    if (answers.empty()) return forms::mb::answerOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void SubstituteRuntime::endProgram() {
    ended = true;
    throw ProgramEnded{};
}

std::unique_ptr<PageLoad> SubstituteWeb::load(const std::string& url, LoadEvents loadEvents) {
    struct Load : PageLoad {
        explicit Load(SubstituteWeb& web) : web(web) {}
        ~Load() override { web.events = {}; }
        SubstituteWeb& web;
    };
    urls.push_back(url);
    events = std::move(loadEvents);
    return std::make_unique<Load>(*this);
}

forms::WindowHost& SubstituteRuntime::createWindow(forms::Form& form) {
    auto host = std::make_unique<SubstituteHost>();
    host->window = nextWindow_;
    nextWindow_ += 0x10;
    if (onCreate) onCreate(form, *host);
    form.attachHost(host.get());
    return *(windows[&form] = std::move(host));
}

void SubstituteRuntime::destroyWindow(forms::Form& form) {
    auto found = windows.find(&form);
    if (found == windows.end()) return;
    form.attachHost(nullptr);
    closed_.push_back(std::move(found->second));
    windows.erase(found);
}

SubstituteHost* SubstituteRuntime::windowOf(const forms::Form& form) {
    auto found = windows.find(&form);
    return found == windows.end() ? nullptr : found->second.get();
}

namespace {
forms::MenuItem* findEntry(forms::MenuItem& menu, const std::string& name) {
    for (forms::MenuItem* child : menu.children()) {
        if (child->name() == name) return child;
        if (forms::MenuItem* found = findEntry(*child, name)) return found;
    }
    return nullptr;
}
}  // namespace

void SubstituteHost::showPopupMenu(forms::MenuItem& menu) {
    menusShown.push_back(menu.name());
    menuPlaces.push_back("at the pointer");
    if (forms::MenuItem* chosen = findEntry(menu, menuChoice)) chosen->click();
}

void SubstituteHost::showPopupMenuAt(forms::MenuItem& menu, int x, int y) {
    menusShown.push_back(menu.name());
    menuPlaces.push_back("at " + std::to_string(x) + "," + std::to_string(y));
    if (forms::MenuItem* chosen = findEntry(menu, menuChoice)) chosen->click();
}

}  // namespace pellorin::testing
