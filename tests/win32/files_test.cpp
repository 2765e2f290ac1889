// Runs under Wine (or Windows) as an unprivileged user: the real file store,
// on a real disk, with real read-only attributes. Exit code 0 when all pass.
#include <windows.h>

#include <cstdio>
#include <string>

#include "foundation/win32/win32_files.h"
#include "foundation/win32/win32_text.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

std::string read(pellorin::Win32Files& files, const std::string& path) {
    return files.readAll(path).value_or("<missing>");
}

// The far end of a pipe: some bytes, then gone.
DWORD WINAPI writeAndBreakOff(void* end) {
    ConnectNamedPipe(end, nullptr);
    const std::string part(5000, 'h');
    DWORD written = 0;
    WriteFile(end, part.data(), static_cast<DWORD>(part.size()), &written, nullptr);
    FlushFileBuffers(end);  // until the reader has it all
    DisconnectNamedPipe(end);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    pellorin::Win32Files files;
    const std::string folder = argc > 1 ? argv[1] : files.programFolder();
    const std::string path = folder + "\\setup.cfg";
    DeleteFileW(pellorin::widen(path).c_str());
    SetFileAttributesW(pellorin::widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(pellorin::widen(path).c_str());

    check(!files.exists(path) && !files.readAll(path), "a missing file is not there");
    check(files.replaceContent(path, "Explorer\r\nhide\r\n") == pellorin::WriteResult::ok, "a new file is written");
    check(read(files, path) == "Explorer\r\nhide\r\n", "it holds exactly what was written");
    check(files.replaceContent(path, "x\r\n") == pellorin::WriteResult::ok, "an existing file is replaced");
    check(read(files, path) == "x\r\n", "the old content is gone, not appended to");
    check(GetFileAttributesW(pellorin::widen(path + ".new").c_str()) == INVALID_FILE_ATTRIBUTES,
          "no temporary file is left");

    SetFileAttributesW(pellorin::widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
    check(files.replaceContent(path, "y\r\n") == pellorin::WriteResult::accessDenied,
          "a read-only file is refused as write-protected");
    check(read(files, path) == "x\r\n", "and keeps its content");
    check(files.setNormalAttributes(path), "attributes can be reset");
    check(!(GetFileAttributesW(pellorin::widen(path).c_str()) & FILE_ATTRIBUTE_READONLY), "the file is writable again");

    // What a write cut short left where the new content goes (read-only, as
    // a backup may restore it, or a folder of that name) never makes a
    // later write fail.
    const std::wstring temporary = pellorin::widen(path + ".new");
    HANDLE stale =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr);
    if (stale != INVALID_HANDLE_VALUE) CloseHandle(stale);
    check(files.replaceContent(path, "w\r\n") == pellorin::WriteResult::ok && read(files, path) == "w\r\n",
          "a stale read-only temporary is cleared and the write done");
    CreateDirectoryW(temporary.c_str(), nullptr);
    check(files.replaceContent(path, "x\r\n") == pellorin::WriteResult::ok && read(files, path) == "x\r\n",
          "a folder in the temporary's place: the write goes through another name");
    RemoveDirectoryW(temporary.c_str());

    // A write that cannot complete (here: the file is held open without
    // sharing) must leave the old content alone.
    HANDLE holding = CreateFileW(pellorin::widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    check(files.replaceContent(path, "z\r\n") != pellorin::WriteResult::ok, "a write that cannot complete fails");
    check(files.exists(path), "a held file is there all the same");
    if (holding != INVALID_HANDLE_VALUE) CloseHandle(holding);
    check(read(files, path) == "x\r\n", "and the previous content survives it");
    for (const char* left : {".new", ".new1"})
        check(GetFileAttributesW(pellorin::widen(path + left).c_str()) == INVALID_FILE_ATTRIBUTES,
              "no temporary is left behind");

    std::string big(3u << 20, 'b');
    check(files.replaceContent(path, big) == pellorin::WriteResult::ok && read(files, path) == big,
          "a large file round-trips");

    // A read that fails after part of the file came (here: the other end of
    // a pipe goes away) has read nothing, not a shorter file.
    const std::string pipe = "\\\\.\\pipe\\pellorin-files-test";
    HANDLE server =
        CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, nullptr);
    HANDLE writer = CreateThread(nullptr, 0, writeAndBreakOff, server, 0, nullptr);
    check(server != INVALID_HANDLE_VALUE && writer, "a pipe stands in for a file that breaks off");
    check(!files.readAll(pipe), "a read that fails part-way reads nothing");
    if (writer) {
        WaitForSingleObject(writer, 5000);
        CloseHandle(writer);
    }
    if (server != INVALID_HANDLE_VALUE) CloseHandle(server);

    // A backup or a virus scanner holding the file without sharing: the read
    // fails, which the settings dialog must not take for an empty file.
    HANDLE held = CreateFileW(pellorin::widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    check(held != INVALID_HANDLE_VALUE && !files.readAll(path), "a file held open without sharing cannot be read");
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    check(read(files, path) == big, "once let go it reads again");
    DeleteFileW(pellorin::widen(path).c_str());

    // A folder named in letters the ANSI code page lacks (here Polish and
    // Cyrillic on a Western system): the paths go in as UTF-8 and reach the
    // disk whole, where the ANSI calls would see question marks.
    const std::string named = folder + "\\\u0141\u00f3d\u017a \u041f\u0435\u043b\u043b\u043e\u0440\u0438\u043d";
    const std::wstring wideNamed = pellorin::widen(named);
    CreateDirectoryW(wideNamed.c_str(), nullptr);
    const std::string inNamed = named + "\\setup.cfg";
    check(files.replaceContent(inNamed, "Explorer\r\nhide\r\n") == pellorin::WriteResult::ok,
          "a file is written in a folder named in any language");
    check(GetFileAttributesW((wideNamed + L"\\setup.cfg").c_str()) != INVALID_FILE_ATTRIBUTES,
          "under the folder's true name");
    check(files.exists(inNamed) && read(files, inNamed) == "Explorer\r\nhide\r\n", "and read back");
    SetFileAttributesW((wideNamed + L"\\setup.cfg").c_str(), FILE_ATTRIBUTE_READONLY);
    check(files.setNormalAttributes(inNamed) &&
              !(GetFileAttributesW((wideNamed + L"\\setup.cfg").c_str()) & FILE_ATTRIBUTE_READONLY),
          "its attributes are reset");
    check(files.setCurrentDirectory(named), "it can be the current directory");
    SetCurrentDirectoryW(pellorin::widen(folder).c_str());
    DeleteFileW((wideNamed + L"\\setup.cfg").c_str());
    RemoveDirectoryW(wideNamed.c_str());

    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
