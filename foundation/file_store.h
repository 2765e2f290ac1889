#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace pellorin {

// How a write ended: refused as write-protected (the file or its folder),
// or failed otherwise (a full disk, a folder that went away).
enum class WriteResult { ok, accessDenied, failed };

// The program folder's files. Win32 implements it on the real disk; the unit
// tests keep the files in memory so that they can make one read-only or make
// a write fail half-way. Paths are UTF-8, as every text of the program: a
// folder may be named in any language, whatever the system's code page.
class FileStore {
public:
    // A file is read up to this many bytes; settings files and documents
    // are far smaller, and anything past it is not ours to load.
    static constexpr std::size_t largestRead = 16u << 20;

    virtual ~FileStore() = default;

    // The folder of the running executable, without a trailing separator.
    virtual std::string programFolder() = 0;
    virtual bool setCurrentDirectory(const std::string& folder) = 0;

    // True when the file is there, whether or not it can be read right now
    // (a backup program may hold it, a cloud copy may be out of reach).
    virtual bool exists(const std::string& path) = 0;
    // Nothing when the file cannot be read whole.
    virtual std::optional<std::string> readAll(const std::string& path) = 0;
    // Replaces the whole content. Must never leave a file half-written: the
    // new content goes into temporaryFor(path) first and replaces the file
    // only once it is complete.
    virtual WriteResult replaceContent(const std::string& path, const std::string& bytes) = 0;
    // Clears read-only, hidden, system and archive.
    virtual bool setNormalAttributes(const std::string& path) = 0;

    // Where a write puts the new content before it replaces the file. One
    // found there later is what a write left when it was cut short.
    static std::string temporaryFor(const std::string& path) { return path + ".new"; }
};

}  // namespace pellorin
