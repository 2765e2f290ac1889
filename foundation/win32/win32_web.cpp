#include "foundation/win32/win32_web.h"

#include <algorithm>
#include <memory>

#include "foundation/web_address.h"
#include "foundation/win32/win32_libraries.h"

namespace pellorin {

namespace {

constexpr const char* notifyClassName = "PellorinPageLoad";
constexpr UINT wmProgress = WM_APP + 1;
constexpr UINT wmDone = WM_APP + 2;
// A server that says nothing for this long is not answering.
constexpr DWORD answerTimeoutMs = 30000;
constexpr DWORD chunk = 4096;  // small reads, so that progress shows while a slow page comes in

// What the worker and the user-interface thread share; the lock guards all of
// it. No WinINet handle is among it: the worker alone opens, uses and closes
// its handles. Closing one from this side while a call of the worker runs on
// it is not safe (WinINet allows a close only when no call is running or
// will be made on the handle), and WinINet hands a closed handle's value to
// the next handle it opens, so a late use or close by the worker could hit a
// new check's handle.
struct Shared {
    CRITICAL_SECTION lock;
    HWND notify = nullptr;  // null once the load is given up
    const WinInetCalls* calls = nullptr;
    std::string url;
    // The worker's results, set once it is done.
    std::string page;
    std::string contentType;
    bool ok = false;
    LoadFailure failure;
    bool finished = false;
    LONG references = 2;  // the worker's and the load's

    Shared() { InitializeCriticalSection(&lock); }
    ~Shared() { DeleteCriticalSection(&lock); }
};

void release(Shared* shared) {
    if (InterlockedDecrement(&shared->references) == 0) delete shared;
}

class Locked {
public:
    explicit Locked(Shared& shared) : lock_(shared.lock) { EnterCriticalSection(&lock_); }
    ~Locked() { LeaveCriticalSection(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

// Posts to the window only while someone still listens there; false once
// no one does.
bool tell(Shared& shared, UINT message, WPARAM wParam, LPARAM lParam) {
    Locked locked(shared);
    if (shared.notify) PostMessageA(shared.notify, message, wParam, lParam);
    return shared.notify != nullptr;
}

bool givenUp(Shared& shared) {
    Locked locked(shared);
    return shared.notify == nullptr;
}

// A handle of the worker's, closed by it when it is done with it.
class InternetHandle {
public:
    InternetHandle(const WinInetCalls& calls, HINTERNET handle) : calls_(calls), handle_(handle) {}
    ~InternetHandle() {
        if (handle_) calls_.closeHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    const WinInetCalls& calls_;
    HINTERNET handle_;
};

bool isCertificateError(DWORD error) {
    switch (error) {
        case ERROR_INTERNET_INVALID_CA:
        case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
        case ERROR_INTERNET_SEC_CERT_ERRORS:
        case ERROR_INTERNET_SEC_CERT_NO_REV:
        case ERROR_INTERNET_SEC_CERT_REV_FAILED:
        case 12169:  // ERROR_INTERNET_SEC_INVALID_CERT
        case 12170:  // ERROR_INTERNET_SEC_CERT_REVOKED
        case 12044:  // ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED
            return true;
        default: return false;
    }
}

LoadFailure failureOf(DWORD error) {
    LoadFailure failure;
    if (error == ERROR_INTERNET_TIMEOUT)
        failure.kind = LoadFailure::Kind::timedOut;
    else if (isCertificateError(error))
        failure.kind = LoadFailure::Kind::certificate;
    return failure;
}

bool isRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A header of the answer as text; "" when it has none (or one too long to be honest).
std::string header(const WinInetCalls& calls, HINTERNET request, DWORD which) {
    std::string value(512, '\0');
    DWORD size = static_cast<DWORD>(value.size());
    if (!calls.queryInfo(request, which, value.data(), &size, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > 8192) return {};
        value.assign(size + 1, '\0');
        if (!calls.queryInfo(request, which, value.data(), &size, nullptr)) return {};
    }
    value.resize(std::min<std::size_t>(size, value.size()));
    return value;
}

struct Result {
    bool ok = false;
    LoadFailure failure;
    std::string page;
    std::string contentType;
};

// The page's answer, once the request has it: its bytes, read up to the
// page limit and reported as they come in.
Result readPage(Shared& shared, const WinInetCalls& calls, HINTERNET request) {
    Result result;
    result.contentType = header(calls, request, HTTP_QUERY_CONTENT_TYPE);
    DWORD announced = 0;
    DWORD size = sizeof announced;
    if (!calls.queryInfo(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced, &size, nullptr))
        announced = 0;
    const auto whole = static_cast<DWORD>(std::min<std::int64_t>(announced, WebClient::largestPage));
    char buffer[chunk];
    DWORD got = 0;
    while (result.page.size() < static_cast<std::size_t>(WebClient::largestPage)) {
        const DWORD wanted = static_cast<DWORD>(
            std::min<std::size_t>(chunk, static_cast<std::size_t>(WebClient::largestPage) - result.page.size()));
        if (!calls.readFile(request, buffer, wanted, &got)) {
            result.failure = failureOf(GetLastError());
            return result;
        }
        if (got == 0) break;
        result.page.append(buffer, got);
        // No one to read the rest for.
        if (!tell(shared, wmProgress, result.page.size(), whole)) return result;
    }
    result.ok = true;
    return result;
}

Result fetch(Shared& shared) {
    Result result;
    const WinInetCalls* found = shared.calls;
    if (!found) return result;  // no WinINet on this system: no connection either
    const WinInetCalls& calls = *found;
    const InternetHandle session(calls,
                                 calls.internetOpen("Pellorin/2.2", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.get()) {
        result.failure = failureOf(GetLastError());
        return result;
    }
    // A load given up while a call waits on the network is not cut short:
    // the call ends at these limits (Windows keeps them; Wine's network layer
    // waits on until the server lets go), then the worker closes its handles
    // and ends, telling no one.
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT}) {
        DWORD timeout = answerTimeoutMs;
        calls.setOption(session.get(), option, &timeout, sizeof timeout);
    }

    // Redirects are followed here, not by WinINet, which would follow them
    // anywhere: only an answer of the page's own site is the page.
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT;
    RedirectTrail trail(shared.url);
    for (;;) {
        if (givenUp(shared)) return result;
        const InternetHandle request(calls,
                                     calls.openUrl(session.get(), trail.current().c_str(), nullptr, 0, flags, 0));
        if (!request.get()) {
            result.failure = failureOf(GetLastError());
            return result;
        }
        DWORD status = 0;
        DWORD size = sizeof status;
        const bool isHttp = calls.queryInfo(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                            &size, nullptr) != FALSE;
        if (!isHttp || status == 200) return readPage(shared, calls, request.get());
        if (!isRedirect(status)) {
            result.failure = {LoadFailure::Kind::httpStatus, static_cast<int>(status)};
            return result;
        }
        switch (trail.redirect(header(calls, request.get(), HTTP_QUERY_LOCATION))) {
            case RedirectTrail::Step::follow: break;
            case RedirectTrail::Step::elsewhere: result.failure.kind = LoadFailure::Kind::elsewhere; return result;
            case RedirectTrail::Step::loop: result.failure.kind = LoadFailure::Kind::loop; return result;
        }
    }
}

DWORD WINAPI worker(void* parameter) {
    auto* shared = static_cast<Shared*>(parameter);
    Result result = fetch(*shared);
    {
        Locked locked(*shared);
        shared->ok = result.ok;
        shared->page = std::move(result.page);
        shared->contentType = std::move(result.contentType);
        shared->failure = result.failure;
        shared->finished = true;
    }
    tell(*shared, wmDone, 0, 0);
    release(shared);
    return 0;
}

class Win32PageLoad : public PageLoad {
public:
    Win32PageLoad(const WinInetCalls* calls, const std::string& url, LoadEvents events)
        : events_(std::move(events)), shared_(new Shared) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = notifyClassName;
        RegisterClassA(&windowClass);  // fails harmlessly from the second load on
        window_ = CreateWindowExA(0, notifyClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        shared_->notify = window_;
        shared_->calls = calls;
        shared_->url = url;
        thread_ = CreateThread(nullptr, 0, worker, shared_, 0, nullptr);
        if (!thread_) {
            // No thread, no load: said at once, as a load that found no network.
            shared_->references = 1;
            shared_->finished = true;
            PostMessageA(window_, wmDone, 0, 0);
        }
    }

    ~Win32PageLoad() override {
        {
            Locked locked(*shared_);
            shared_->notify = nullptr;
        }
        // The worker is not waited for, and its handles are left to it: it
        // tells no one from now on, and what it shares with us goes with the
        // last of the two.
        if (thread_) CloseHandle(thread_);
        DestroyWindow(window_);
        release(shared_);
    }

    Win32PageLoad(const Win32PageLoad&) = delete;
    Win32PageLoad& operator=(const Win32PageLoad&) = delete;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Win32PageLoad*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == wmProgress) {
            if (self->events_.progress) self->events_.progress(static_cast<std::int64_t>(wParam), lParam);
            return 0;
        }
        if (self && message == wmDone) {
            self->done();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void done() {
        std::string page;
        std::string contentType;
        bool ok;
        LoadFailure failure;
        {
            Locked locked(*shared_);
            // Only the worker's own word that it is done counts.
            if (!shared_->finished || reported_) return;
            reported_ = true;
            ok = shared_->ok;
            page = std::move(shared_->page);
            contentType = shared_->contentType;
            failure = shared_->failure;
        }
        // The handlers may give this load up: nothing of it is touched after them.
        if (ok) {
            if (events_.loaded) events_.loaded(page, contentType);
        } else if (events_.failed) {
            events_.failed(failure);
        }
    }

    LoadEvents events_;
    Shared* shared_;
    HWND window_ = nullptr;
    HANDLE thread_ = nullptr;
    bool reported_ = false;
};

// WinINet's entry points, once loaded: the user-interface thread alone asks.
WinInetCalls systemCalls;
bool systemCallsTried = false;

}  // namespace

const WinInetCalls* WinInetCalls::fromSystemFolder() {
    WinInetCalls& calls = systemCalls;
    if (!systemCallsTried) {
        systemCallsTried = true;
        if (const HMODULE library = loadSystemLibrary(L"wininet.dll")) {
            calls.internetOpen = entryPoint<decltype(calls.internetOpen)>(library, "InternetOpenA");
            calls.setOption = entryPoint<decltype(calls.setOption)>(library, "InternetSetOptionA");
            calls.openUrl = entryPoint<decltype(calls.openUrl)>(library, "InternetOpenUrlA");
            calls.queryInfo = entryPoint<decltype(calls.queryInfo)>(library, "HttpQueryInfoA");
            calls.readFile = entryPoint<decltype(calls.readFile)>(library, "InternetReadFile");
            calls.closeHandle = entryPoint<decltype(calls.closeHandle)>(library, "InternetCloseHandle");
        }
    }
    const bool complete = calls.internetOpen && calls.setOption && calls.openUrl && calls.queryInfo && calls.readFile &&
                          calls.closeHandle;
    return complete ? &calls : nullptr;
}

std::unique_ptr<PageLoad> Win32WebClient::load(const std::string& url, LoadEvents events) {
    return std::make_unique<Win32PageLoad>(calls_ ? calls_ : WinInetCalls::fromSystemFolder(), url, std::move(events));
}

}  // namespace pellorin
