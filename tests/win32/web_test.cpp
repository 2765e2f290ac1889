// Runs under Wine (or Windows): the page loader against a web server of its
// own on 127.0.0.1, with its WinINet calls watched (the loader takes them
// from the table it is given). A load given up while its worker waits on the
// network, and a new one started at once, as closing and reopening the update
// window does.
// WinINet hands a closed handle's value to the next handle it opens, so a
// handle must be closed once, by the thread that uses it, and never used
// after that. Exit code 0 when all pass.
// Before <windows.h>, which would bring the old <winsock.h> otherwise.
#include <winsock2.h>

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "foundation/win32/win32_web.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

// ---- what the loader does with WinINet, and from which thread ----

struct Watch {
    CRITICAL_SECTION lock;
    DWORD interfaceThread = 0;
    struct Handle {
        HINTERNET parent;
        DWORD opener;
        bool closed;
    };
    std::map<HINTERNET, Handle> handles;
    int open = 0;
    struct Fault {
        int count = 0;
        std::string first;  // for the log
    };
    Fault onInterfaceThread, afterClose, closedByAnother;
};
Watch watch;

class Held {
public:
    Held() { EnterCriticalSection(&watch.lock); }
    ~Held() { LeaveCriticalSection(&watch.lock); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
};

void fault(Watch::Fault& fault, const char* call, const char* what) {
    if (fault.count++ == 0) fault.first = std::string(call) + " " + what;
}

// Before a call on a handle (none for InternetOpenA).
void using_(HINTERNET handle, const char* call) {
    Held held;
    if (GetCurrentThreadId() == watch.interfaceThread) fault(watch.onInterfaceThread, call, "on the interface thread");
    for (HINTERNET at = handle; at;) {
        auto found = watch.handles.find(at);
        if (found == watch.handles.end()) break;
        if (found->second.closed) {
            fault(watch.afterClose, call, at == handle ? "on a closed handle" : "under a closed session");
            break;
        }
        at = found->second.parent;
    }
}

void opened(HINTERNET handle, HINTERNET parent) {
    if (!handle) return;
    Held held;
    watch.handles[handle] = {parent, GetCurrentThreadId(), false};
    ++watch.open;
}

decltype(&InternetOpenA) realOpen;
decltype(&InternetOpenUrlA) realOpenUrl;
decltype(&InternetSetOptionA) realSetOption;
decltype(&HttpQueryInfoA) realQueryInfo;
decltype(&InternetReadFile) realReadFile;
decltype(&InternetCloseHandle) realCloseHandle;

// Each keeps the error the loader asks for next.
HINTERNET WINAPI watchedOpen(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags) {
    using_(nullptr, "InternetOpenA");
    HINTERNET handle = realOpen(agent, access, proxy, bypass, flags);
    const DWORD error = GetLastError();
    opened(handle, nullptr);
    SetLastError(error);
    return handle;
}

HINTERNET WINAPI watchedOpenUrl(HINTERNET session, LPCSTR url, LPCSTR headers, DWORD length, DWORD flags,
                                DWORD_PTR context) {
    using_(session, "InternetOpenUrlA");
    HINTERNET handle = realOpenUrl(session, url, headers, length, flags, context);
    const DWORD error = GetLastError();
    opened(handle, session);
    SetLastError(error);
    return handle;
}

BOOL WINAPI watchedSetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
    using_(handle, "InternetSetOptionA");
    return realSetOption(handle, option, buffer, length);
}

BOOL WINAPI watchedQueryInfo(HINTERNET request, DWORD level, LPVOID buffer, LPDWORD length, LPDWORD index) {
    using_(request, "HttpQueryInfoA");
    return realQueryInfo(request, level, buffer, length, index);
}

BOOL WINAPI watchedReadFile(HINTERNET request, LPVOID buffer, DWORD wanted, LPDWORD got) {
    using_(request, "InternetReadFile");
    return realReadFile(request, buffer, wanted, got);
}

BOOL WINAPI watchedCloseHandle(HINTERNET handle) {
    using_(handle, "InternetCloseHandle");
    {
        Held held;
        auto found = watch.handles.find(handle);
        if (found != watch.handles.end() && !found->second.closed) {
            if (found->second.opener != GetCurrentThreadId())
                fault(watch.closedByAnother, "InternetCloseHandle", "from a thread that did not open the handle");
            found->second.closed = true;
            --watch.open;
        }
    }
    return realCloseHandle(handle);
}

// ---- a web server that stalls one page half-way until it is let go ----

struct Server {
    SOCKET listener = INVALID_SOCKET;
    unsigned short port = 0;
    HANDLE letGo = nullptr;
};
Server server;

// More than one read of the loader before the stall: Wine's WinINet fills a
// read whole before it returns.
constexpr int stalledLength = 12000;
constexpr int beforeStall = 6000;
const char* const freshPage = "<title>2.2</title>fresh";

void sendAll(SOCKET to, const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const int sent = send(to, bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
        if (sent <= 0) return;
        at += static_cast<std::size_t>(sent);
    }
}

std::string head(int length) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(length) +
           "\r\nConnection: close\r\n\r\n";
}

DWORD WINAPI answer(void* parameter) {
    const auto connection = reinterpret_cast<SOCKET>(parameter);
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, got);
    }
    if (request.rfind("GET /stall", 0) == 0) {
        sendAll(connection, head(stalledLength) + std::string(beforeStall, 's'));
        WaitForSingleObject(server.letGo, 30000);
        sendAll(connection, std::string(stalledLength - beforeStall, 's'));
    } else {
        sendAll(connection, head(static_cast<int>(std::strlen(freshPage))) + freshPage);
    }
    shutdown(connection, SD_SEND);
    closesocket(connection);
    return 0;
}

DWORD WINAPI serve(void*) {
    for (;;) {
        const SOCKET connection = accept(server.listener, nullptr, nullptr);
        if (connection == INVALID_SOCKET) return 0;
        HANDLE thread = CreateThread(nullptr, 0, answer, reinterpret_cast<void*>(connection), 0, nullptr);
        if (thread)
            CloseHandle(thread);
        else
            closesocket(connection);
    }
}

bool startServer() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    server.letGo = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    server.listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(server.listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(server.listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        listen(server.listener, 8) != 0)
        return false;
    server.port = ntohs(address.sin_port);
    HANDLE thread = CreateThread(nullptr, 0, serve, nullptr, 0, nullptr);
    if (thread) CloseHandle(thread);
    return thread != nullptr;
}

// ---- the interface thread ----

struct Reports {
    int progress = 0;
    int loaded = 0;
    int failed = 0;
    std::string page;
    pellorin::LoadFailure failure;
};

pellorin::LoadEvents eventsInto(Reports& reports) {
    pellorin::LoadEvents events;
    events.progress = [&reports](std::int64_t, std::int64_t) { ++reports.progress; };
    events.loaded = [&reports](const std::string& page, const std::string&) {
        ++reports.loaded;
        reports.page = page;
    };
    events.failed = [&reports](const pellorin::LoadFailure& failure) {
        ++reports.failed;
        reports.failure = failure;
    };
    return events;
}

// Runs the interface thread's messages until done() holds or the time is up.
template <typename Done>
bool pumpUntil(Done done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    InitializeCriticalSection(&watch.lock);
    watch.interfaceThread = GetCurrentThreadId();
    const pellorin::WinInetCalls* system = pellorin::WinInetCalls::fromSystemFolder();
    check(system != nullptr, "WinINet is loaded when the first page is");
    if (!system) return 1;
    char loadedFrom[MAX_PATH] = {};
    char systemFolder[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("wininet.dll"), loadedFrom, MAX_PATH);
    GetSystemDirectoryA(systemFolder, MAX_PATH);
    std::printf("  WinINet from %s\n", loadedFrom);
    check(CharUpperA(loadedFrom) && CharUpperA(systemFolder) &&
              std::strncmp(loadedFrom, systemFolder, std::strlen(systemFolder)) == 0,
          "WinINet comes from the system folder");
    realOpen = system->internetOpen;
    realOpenUrl = system->openUrl;
    realSetOption = system->setOption;
    realQueryInfo = system->queryInfo;
    realReadFile = system->readFile;
    realCloseHandle = system->closeHandle;
    pellorin::WinInetCalls watched{&watchedOpen,      &watchedSetOption, &watchedOpenUrl,
                                   &watchedQueryInfo, &watchedReadFile,  &watchedCloseHandle};
    check(startServer(), "a web server runs on 127.0.0.1");
    if (failures) return 1;
    const std::string site = "http://127.0.0.1:" + std::to_string(server.port);

    pellorin::Win32WebClient client(&watched);
    Reports stalled;
    auto load = client.load(site + "/stall", eventsInto(stalled));
    check(pumpUntil([&] { return stalled.progress > 0; }, 10000), "the stalled page's first part comes in");
    Sleep(200);  // the worker is waiting for the rest now

    const DWORD start = GetTickCount();
    load.reset();
    const DWORD tookMs = GetTickCount() - start;
    std::printf("  given up in %lu ms\n", static_cast<unsigned long>(tookMs));
    check(tookMs < 1000, "giving a load up does not wait for the network");
    const int reportedBefore = stalled.loaded + stalled.failed;

    Reports fresh;
    load = client.load(site + "/fresh", eventsInto(fresh));
    check(pumpUntil([&] { return fresh.loaded + fresh.failed > 0; }, 10000) && fresh.page == freshPage,
          "a load started at once after the give-up gets its page");
    load.reset();

    // A secure server whose certificate nobody vouches for (the tests' own,
    // made up for the run): that is not the same as no connection.
    if (argc > 1) {
        Reports untrusted;
        load = client.load(argv[1], eventsInto(untrusted));
        pumpUntil([&] { return untrusted.loaded + untrusted.failed > 0; }, 20000);
        std::printf("  %s: loaded %d, failed %d (kind %d)\n", argv[1], untrusted.loaded, untrusted.failed,
                    static_cast<int>(untrusted.failure.kind));
        check(untrusted.failed == 1 && untrusted.failure.kind == pellorin::LoadFailure::Kind::certificate,
              "an untrusted certificate is told apart from no connection");
    }
    load.reset();

    // The stalled page comes in whole now; its worker ends on its own.
    SetEvent(server.letGo);
    const bool allClosed = pumpUntil(
        [] {
            Held held;
            return watch.open == 0;
        },
        10000);
    pumpUntil([] { return false; }, 300);
    check(allClosed, "every WinINet handle is closed in the end");
    check(stalled.loaded + stalled.failed == reportedBefore, "the given-up load reports nothing");

    Held held;
    for (const auto& [fault, what] :
         {std::pair{&watch.onInterfaceThread, "the interface thread makes no WinINet call"},
          std::pair{&watch.afterClose, "no handle is used after it, or its session, was closed"},
          std::pair{&watch.closedByAnother, "each handle is closed by the thread that opened it"}}) {
        check(fault->count == 0, what);
        if (fault->count) std::printf("    %d times, first: %s\n", fault->count, fault->first.c_str());
    }
    closesocket(server.listener);

    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
