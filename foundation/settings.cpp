#include "foundation/settings.h"

#include <algorithm>
#include <charconv>

namespace pellorin {

namespace {

constexpr const char* crlf = "\r\n";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string settingsPath(FileStore& store, std::string_view fileName) {
    return store.programFolder() + "\\" + std::string(fileName);
}

SettingsWriter& SettingsWriter::text(std::string_view value) {
    // A line break would end the value there and make the rest the next one.
    std::string kept;
    for (char c : value)
        if (c != '\r' && c != '\n') kept.push_back(c);
    // Written as it stands, unless reading it back would change it: the
    // reader skips leading blanks, a comma ends a field and a leading quote
    // opens one. Then it goes in quotes, and the format, which has no way to
    // write a quote inside quotes, keeps everything but its quote marks.
    const bool quoted = !kept.empty() && (isBlank(kept.front()) || isBlank(kept.back()) || kept.front() == '"' ||
                                          kept.find(',') != std::string::npos);
    if (quoted) {
        std::erase(kept, '"');
        bytes_.push_back('"');
        bytes_.append(kept);
        bytes_.push_back('"');
    } else {
        bytes_.append(kept);
    }
    bytes_.append(crlf);
    return *this;
}

SettingsWriter& SettingsWriter::integer(std::int16_t value) {
    // The sign takes the place of the leading blank.
    if (value >= 0) bytes_.push_back(' ');
    bytes_.append(std::to_string(value));
    bytes_.push_back(' ');
    bytes_.append(crlf);
    return *this;
}

bool FieldReader::nextField(std::string& field) {
    while (pos_ < content_.size() && isBlank(content_[pos_])) ++pos_;
    if (pos_ >= content_.size()) return false;

    const std::string_view rest = std::string_view(content_).substr(pos_);
    if (rest.front() == '"') {
        // A quoted field runs to the next quote; an unterminated one ends
        // with its line rather than swallowing the rest of the file.
        const std::size_t end = std::min(rest.find_first_of("\"\r\n", 1), rest.size());
        field.assign(rest.substr(1, end - 1));
        pos_ += end;
        if (pos_ < content_.size() && content_[pos_] == '"') ++pos_;
        // Whatever follows the closing quote up to the delimiter is dropped.
        const std::size_t delimiter = content_.find_first_of(",\r\n", pos_);
        pos_ = delimiter == std::string::npos ? content_.size() : delimiter;
    } else {
        const std::size_t end = std::min(rest.find_first_of(",\r\n"), rest.size());
        field.assign(rest.substr(0, end));
        pos_ += end;
    }

    if (pos_ < content_.size()) {
        if (content_[pos_] == ',') {
            ++pos_;
        } else if (content_[pos_] == '\r') {
            ++pos_;
            if (pos_ < content_.size() && content_[pos_] == '\n') ++pos_;
        } else {
            ++pos_;  // a lone line feed
        }
    }
    return true;
}

bool FieldReader::readText(std::string& target) {
    std::string field;
    if (!nextField(field)) return false;
    target = std::move(field);
    return true;
}

bool FieldReader::readInteger(std::int16_t& target) {
    std::string field;
    if (!nextField(field)) return false;
    std::size_t end = field.size();
    while (end > 0 && isBlank(field[end - 1])) --end;
    const char* first = field.data();
    const char* last = field.data() + end;
    if (first != last && *first == '+') ++first;
    if (first == last) return false;
    std::int32_t value = 0;
    auto [stop, error] = std::from_chars(first, last, value);
    // Trailing letters, a fraction or a number out of 16-bit range: not a value.
    if (error != std::errc() || stop != last || value < INT16_MIN || value > INT16_MAX) return false;
    target = static_cast<std::int16_t>(value);
    return true;
}

std::int32_t keyCodeForLetter(std::string_view letter) {
    if (letter.size() == 1 && letter[0] >= 'A' && letter[0] <= 'Z') return letter[0];
    return 'Q';
}

bool fileExists(FileStore& store, const std::string& path) { return store.exists(path); }

void writeDefaultSettings(FileStore& store) {
    for (const char* name :
         {files::startup, files::popup, files::hotkey, files::fullscreen, files::setup, files::stats}) {
        const std::string path = settingsPath(store, name);
        bool done;
        if (!fileExists(store, path)) {
            const bool isHotkey = std::string_view(name) == files::hotkey;
            std::string content = isHotkey ? SettingsWriter().text("Q").bytes() : "";
            // Every value ends its line, so content that does not end one was
            // cut off in the middle (and an empty one may be all that was).
            const std::optional<std::string> leftOver = store.readAll(FileStore::temporaryFor(path));
            if (leftOver && leftOver->ends_with(crlf)) content = *leftOver;
            done = store.replaceContent(path, content) == WriteResult::ok;
        } else {
            done = store.setNormalAttributes(path);
        }
        if (!done) return;
    }
}

std::string readSettingsFile(FileStore& store, std::string_view fileName, bool* unreadable) {
    const std::string path = settingsPath(store, fileName);
    std::optional<std::string> content = store.readAll(path);
    if (unreadable) *unreadable = !content && store.exists(path);
    return content ? std::move(*content) : std::string();
}

WriteResult writeSettingsFile(FileStore& store, std::string_view fileName, const SettingsWriter& content) {
    return store.replaceContent(settingsPath(store, fileName), content.bytes());
}

}  // namespace pellorin
