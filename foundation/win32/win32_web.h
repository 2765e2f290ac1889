#pragma once

#include <windows.h>

#include <wininet.h>

#include "foundation/web.h"

namespace pellorin {

// The WinINet entry points the page loader calls.
struct WinInetCalls {
    decltype(&InternetOpenA) internetOpen = nullptr;
    decltype(&InternetSetOptionA) setOption = nullptr;
    decltype(&InternetOpenUrlA) openUrl = nullptr;
    decltype(&HttpQueryInfoA) queryInfo = nullptr;
    decltype(&InternetReadFile) readFile = nullptr;
    decltype(&InternetCloseHandle) closeHandle = nullptr;

    // WinINet from the system folder, loaded at the first update check
    // rather than with the program (it is no library Windows keeps loaded
    // for everyone, so one beside the program would be taken instead);
    // nullptr when it cannot be had. The user-interface thread asks.
    static const WinInetCalls* fromSystemFolder();
};

// Pages loaded with WinINet on a thread of their own, reported back to the
// user-interface thread through a message-only window.
class Win32WebClient : public WebClient {
public:
    // WinINet's own entry points, unless a test watches them.
    explicit Win32WebClient(const WinInetCalls* calls = nullptr) : calls_(calls) {}
    std::unique_ptr<PageLoad> load(const std::string& url, LoadEvents events) override;

private:
    const WinInetCalls* calls_;
};

}  // namespace pellorin
