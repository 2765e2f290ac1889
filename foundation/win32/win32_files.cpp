#include "foundation/win32/win32_files.h"

#include <windows.h>

#include "foundation/win32/win32_text.h"

namespace pellorin {

namespace {

WriteResult resultOf(DWORD error) {
    return (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) ? WriteResult::accessDenied
                                                                          : WriteResult::failed;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        const bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

FileHandle openForReading(const std::string& path) {
    return FileHandle(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string folderOfExecutable() {
    // Asked in UTF-16: the ANSI call would turn every letter of the user's
    // name that the code page lacks into "?", a folder that does not exist.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return ".";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return ".";  // no path on Windows is longer
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? "." : narrow(std::wstring_view(path).substr(0, slash));
}

// A temporary that an earlier write left behind (cut short by a crash, or
// copied along read-only from a backup) is stale: it goes. One that cannot
// go (a folder of that name, a file someone holds open) gives its name up
// to another, so no leftover can make every later write fail.
std::wstring freeTemporaryFor(const std::string& path) {
    const std::wstring first = widen(FileStore::temporaryFor(path));
    std::wstring candidate = first;
    for (int other = 1; other <= 9; ++other) {
        const DWORD attributes = GetFileAttributesW(candidate.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return candidate;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetFileAttributesW(candidate.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (DeleteFileW(candidate.c_str())) return candidate;
        }
        candidate = first + static_cast<wchar_t>(L'0' + other);
    }
    return candidate;  // all taken: the write fails, as it should
}

}  // namespace

Win32Files::Win32Files() : programFolder_(folderOfExecutable()) {}

bool Win32Files::setCurrentDirectory(const std::string& folder) {
    return SetCurrentDirectoryW(widen(folder).c_str()) != FALSE;
}

bool Win32Files::exists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> Win32Files::readAll(const std::string& path) {
    FileHandle file = openForReading(path);
    if (!file.valid()) return std::nullopt;
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (content.size() < largestRead) {
        // A read that fails part-way has not read the file: half a file is
        // no file, not a shorter one.
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        content.append(chunk, got);
    }
    return content;
}

WriteResult Win32Files::replaceContent(const std::string& path, const std::string& bytes) {
    // A read-only file is refused up front, as opening it for output would be.
    const std::wstring target = widen(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return WriteResult::accessDenied;

    // The new content goes beside the file and replaces it only once it is
    // complete, so a full disk or a crash never leaves the file emptied.
    const std::wstring temporary = freeTemporaryFor(path);
    FileHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return resultOf(GetLastError());
    DWORD written = 0;
    const bool complete =
        (bytes.empty() || (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                           written == bytes.size())) &&
        FlushFileBuffers(file.get());
    const DWORD writeError = GetLastError();
    if (!file.close() || !complete) {
        DeleteFileW(temporary.c_str());
        return resultOf(complete ? GetLastError() : writeError);
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return resultOf(error);
    }
    return WriteResult::ok;
}

bool Win32Files::setNormalAttributes(const std::string& path) {
    return SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
}

}  // namespace pellorin
