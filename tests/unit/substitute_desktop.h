#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "foundation/desktop.h"
#include "foundation/file_store.h"
#include "foundation/forms.h"
#include "foundation/web.h"

namespace pellorin::testing {

// A desktop kept in memory: windows with titles, states and rectangles, key
// states, and a record of everything the logic did to them.
class SubstituteDesktop : public Desktop {
public:
    struct Window {
        std::string title;
        Rect32 rect{100, 100, 900, 700};
        bool zoomed = false;
        bool iconic = false;
        bool visible = true;
        std::string className = "IEFrame";
    };

    Hwnd open(std::string title, Rect32 rect = {100, 100, 900, 700});
    void close(Hwnd window);
    Window& window(Hwnd handle) { return windows_.at(handle); }
    bool exists(Hwnd handle) const { return windows_.count(handle) != 0; }

    Hwnd foreground = 0;
    // As the keyboard reports them: bit 15 down now, bit 0 pressed since the
    // previous query (and cleared by it).
    std::map<int, std::int16_t> keyStates;
    void press(int virtualKey) { keyStates[virtualKey] = static_cast<std::int16_t>(0x8001); }
    void release(int virtualKey) { keyStates[virtualKey] = 0; }
    // A held key's auto-repeat: marked as pressed again.
    void repeat(int virtualKey) { keyStates[virtualKey] = static_cast<std::int16_t>(keyStates[virtualKey] | 1); }
    // Everything that acts on the desktop, e.g. "ShowWindow 7 3".
    std::vector<std::string> calls;
    std::vector<TrayIconData> trayRecords;
    std::vector<TrayIconExtras> trayExtras;  // one per record; empty for the first layout's calls
    bool windowsCloseWhenAsked = false;      // WM_CLOSE closes at once
    // Runs before each title read, so a test can change the desktop between
    // two operations of one step.
    std::function<void(Hwnd)> beforeTitleRead;

    Hwnd getForegroundWindow() override { return foreground; }
    std::string getClassName(Hwnd window) override { return exists(window) ? windows_.at(window).className : ""; }
    std::int32_t getWindowTextLength(Hwnd window) override;
    std::string getWindowText(Hwnd window, std::int32_t bufferLength) override;
    bool isWindow(Hwnd window) override { return exists(window); }
    bool isZoomed(Hwnd window) override;
    bool isIconic(Hwnd window) override;
    void showWindow(Hwnd window, int command) override;
    void enumWindows(const std::function<std::int32_t(Hwnd, std::int32_t)>& proc, std::int32_t value) override;
    bool getWindowRect(Hwnd window, Rect32& rect) override;
    void moveWindow(Hwnd window, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                    bool repaint) override;
    void postMessage(Hwnd window, std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) override;
    std::int16_t getAsyncKeyState(int virtualKey) override;
    // As on Windows: only the window in front takes the keys.
    void sendF11(Hwnd window) override;
    // The letters the foreground window's layout types with AltGr: none on a
    // layout without it, Q (@), E (euro) and M (micro) on a German one.
    std::set<int> altGrLetters;
    bool foregroundLayoutTypesWithCtrlAlt(int letterKey) override { return altGrLetters.count(letterKey) != 0; }
    // Unset until the program asks; a test reports the hook's events through it.
    std::function<void(const LetterKeyEvent&)> letterKeys;
    void watchLetterKeys(std::function<void(const LetterKeyEvent&)> onKey) override { letterKeys = std::move(onKey); }
    // How the notification area answers each call; unset, it takes every one.
    std::function<bool(std::uint32_t message)> trayAnswers;
    bool shellNotifyIcon(std::uint32_t message, const TrayIconData& data) override;
    bool shellNotifyIconEx(std::uint32_t message, const TrayIconData& data, const TrayIconExtras& extras) override;
    void shellExecute(Hwnd owner, const std::string& verb, const std::string& file, const std::string& parameters,
                      const std::string& directory, int showCommand) override;
    std::int32_t regOpenCurrentUserKey(const std::string& path, std::uint32_t access, RegistryKey& key) override;
    std::int32_t regQueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type, std::string& data,
                               std::uint32_t& size) override;
    std::int32_t regCloseKey(RegistryKey key) override;
    static constexpr std::uint32_t registeredMessageBase = 0xC000;
    std::vector<std::string> registeredMessages;
    std::uint32_t registerWindowMessage(const std::string& name) override;
    void allowSetForegroundWindow(Hwnd window) override;

    struct RegistryEntry {
        std::uint32_t type;
        std::string data;
    };
    std::map<std::string, std::map<std::string, RegistryEntry>> registry;

    // A system on which scripts run, unless a test says otherwise.
    ScriptSupport support{"C:\\Windows\\System32\\WScript.exe", true, {}, {}};
    bool shellStarts = true;       // the shell starts what it is handed
    bool registryWritable = true;  // false: every change is refused
    ScriptSupport scriptSupport() override { return support; }
    // Recorded as shellExecute records its calls.
    bool shellExecuteOwnFile(Hwnd owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& directory, int showCommand) override;
    std::int32_t regSetCurrentUserText(const std::string& path, const std::string& name,
                                       const std::string& text) override;
    std::int32_t regDeleteCurrentUserValue(const std::string& path, const std::string& name) override;
    std::int32_t regDeleteCurrentUserTree(const std::string& path) override;

private:
    std::map<Hwnd, Window> windows_;
    std::vector<Hwnd> order_;
    Hwnd nextHandle_ = 0x10010;
    std::vector<std::string> openKeys_;
};

// The program folder in memory. A file can be made read-only, and a write
// can be made to fail as a full disk would.
class MemoryFiles : public FileStore {
public:
    struct File {
        std::string bytes;
        bool readOnly = false;
        bool hidden = false;
        bool unreadable = false;
        bool attributesLocked = false;  // they cannot be reset
    };

    std::string folder = "C:\\Program Files\\Pellorin";
    std::string currentDirectory;
    std::map<std::string, File> files;
    bool folderWritable = true;
    bool failWrites = false;          // as a full disk: the write cannot complete
    std::vector<std::string> writes;  // names of the files written, in order

    std::string path(const std::string& name) const { return folder + "\\" + name; }
    void put(const std::string& name, std::string bytes) { files[path(name)].bytes = std::move(bytes); }
    std::optional<std::string> get(const std::string& name) const;
    File& file(const std::string& name) { return files.at(path(name)); }

    std::string programFolder() override { return folder; }
    bool setCurrentDirectory(const std::string& directory) override;
    bool exists(const std::string& filePath) override { return files.count(filePath) != 0; }
    std::optional<std::string> readAll(const std::string& filePath) override;
    WriteResult replaceContent(const std::string& filePath, const std::string& bytes) override;
    bool setNormalAttributes(const std::string& filePath) override;
};

struct ProgramEnded {};

class SubstituteHost;

class SubstituteRuntime : public forms::Runtime {
public:
    struct Box {
        std::string text;
        std::string title;
        int style;
    };
    std::vector<Box> boxes;
    std::deque<int> answers;  // what the user presses, in order; OK when empty
    std::function<void()> onYield;
    std::function<void()> whileBoxShown;  // what the user does while a box is open
    int yields = 0;
    bool ended = false;

    void yieldToPendingMessages() override;
    int messageBox(const std::string& text, const std::string& title, int style) override;
    std::string separator = ".";
    std::string decimalSeparator() override { return separator; }
    // A western system, its ANSI code page Windows-1252, unless a test
    // chooses another; then the tables are glibc's.
    std::uint32_t ansiCodePage = 1252;
    std::string fromAnsi(std::string_view ansi) override;
    std::string toAnsi(std::string_view text) override;
    std::size_t ansiCharacterLength(std::string_view ansi) override;
    std::optional<std::string> decode(std::string_view bytes, std::uint32_t codePage) override;
    [[noreturn]] void endProgram() override;

    // Windows of the forms loaded on demand, while they are open.
    std::map<const forms::Form*, std::unique_ptr<SubstituteHost>> windows;
    // Runs as each of them is created, e.g. to give it a place on the desktop.
    std::function<void(forms::Form&, SubstituteHost&)> onCreate;
    forms::WindowHost& createWindow(forms::Form& form) override;
    void destroyWindow(forms::Form& form) override;
    SubstituteHost* windowOf(const forms::Form& form);

private:
    std::vector<std::unique_ptr<SubstituteHost>> closed_;
    std::uint32_t nextWindow_ = 0x5000;
};

// Web pages that load only when the test says so.
class SubstituteWeb : public WebClient {
public:
    std::vector<std::string> urls;  // every load asked for
    // The running load's events; empty once it is given up.
    LoadEvents events;
    bool loading() const { return static_cast<bool>(events.loaded); }
    std::unique_ptr<PageLoad> load(const std::string& url, LoadEvents loadEvents) override;
};

class SubstituteHost : public forms::WindowHost {
public:
    std::uint32_t window = 0x2000;
    std::uint32_t icon = 0x3000;
    int state = 0;
    bool shown = false;
    bool taskbarVisible = true;

    std::uint32_t handle() override { return window; }
    std::uint32_t iconHandle() override { return icon; }
    int windowState() override { return state; }
    void setWindowState(int newState) override { state = newState; }
    void show() override { shown = true; }
    void hide() override { shown = false; }
    void setTaskbarVisible(bool visible) override { taskbarVisible = visible; }
    double twipsPerPixelX() override { return twipsPerPixel; }
    double twipsPerPixel = 15;
    // The entry the user picks next time a menu pops up; none when empty.
    std::string menuChoice;
    std::vector<std::string> menusShown;
    std::vector<std::string> menuPlaces;  // "at the pointer", or "at X,Y"
    void showPopupMenu(forms::MenuItem& menu) override;
    void showPopupMenuAt(forms::MenuItem& menu, int x, int y) override;
};

}  // namespace pellorin::testing
