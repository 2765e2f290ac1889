#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/file_store.h"

namespace pellorin {

// Settings every window reads and writes while the program runs. One instance
// lives in the program; values start empty or 0 as a first start needs.
struct SharedSettings {
    std::string popupActionEnabled;  // "enabled" / "disabled"
    std::int16_t popupMaxWidth = 0;  // pixels
    std::int16_t popupMaxHeight = 0;
    std::string popupAction;     // "close" / "none"
    std::string fullscreenMode;  // "yes" / "no"
    std::int16_t statMaximizeCount = 0;
    std::int16_t statKilledPopups = 0;
    // The letter only between reading hotkey.cfg and converting it; after
    // that the key code as decimal text ("81" for Q).
    std::string hotkeyLetter;
    std::string ieWindowState;  // "visible" / "hidden"
};

namespace files {
inline constexpr const char* setup = "setup.cfg";
inline constexpr const char* startup = "startup.cfg";
inline constexpr const char* popup = "popup.cfg";
inline constexpr const char* fullscreen = "fullscreen.cfg";
inline constexpr const char* stats = "stats.cfg";
inline constexpr const char* hotkey = "hotkey.cfg";
}  // namespace files

// The program folder, a backslash, the name.
std::string settingsPath(FileStore& store, std::string_view fileName);

// Builds a settings file the way it is stored: one value per line, CR LF,
// integers with a blank on either side, and a text in double quotes when it
// would not read back as it is without them.
class SettingsWriter {
public:
    SettingsWriter& text(std::string_view value);
    SettingsWriter& integer(std::int16_t value);
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads a settings file field by field. A value that cannot be read leaves
// its target as it was, and the next read goes on after it.
class FieldReader {
public:
    // Keeps its own copy, so it can read a file's content handed over as a temporary.
    explicit FieldReader(std::string content) : content_(std::move(content)) {}

    bool readText(std::string& target);
    bool readInteger(std::int16_t& target);
    bool atEnd() const { return pos_ >= content_.size(); }

private:
    bool nextField(std::string& field);

    std::string content_;
    std::size_t pos_ = 0;
};

// 65..90 for "A".."Z"; 81 (Q) for anything else.
std::int32_t keyCodeForLetter(std::string_view letter);

// Whether the file is there: one that cannot be read right now (held by a
// backup program, a cloud copy out of reach) is there all the same, and is
// never replaced by an empty one.
bool fileExists(FileStore& store, const std::string& path);

// Creates each missing settings file (hotkey.cfg with "Q"), clears the
// attributes of those that exist. Stops at the first failure. A missing file
// whose complete new content a cut-short write left beside it gets that.
void writeDefaultSettings(FileStore& store);

// Reads a whole file for the field reader; a file that cannot be read reads
// as empty, so every target keeps its value. unreadable, when given, says
// whether the file is there but could not be read.
std::string readSettingsFile(FileStore& store, std::string_view fileName, bool* unreadable = nullptr);
WriteResult writeSettingsFile(FileStore& store, std::string_view fileName, const SettingsWriter& content);

}  // namespace pellorin
