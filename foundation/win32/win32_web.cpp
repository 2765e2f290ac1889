#include "foundation/win32/win32_web.h"

#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <memory>

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
    std::string url;
    std::string page;
    std::string contentType;
    bool ok = false;
    LoadFailure failure;
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
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_) InternetCloseHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

LoadFailure failureOf(DWORD error) {
    LoadFailure failure;
    failure.kind = error == ERROR_INTERNET_TIMEOUT ? LoadFailure::Kind::timedOut : LoadFailure::Kind::noConnection;
    return failure;
}

void fetch(Shared& shared) {
    const InternetHandle session(InternetOpenA("Pellorin/2.2", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.get()) {
        shared.failure = failureOf(GetLastError());
        return;
    }
    // A load given up while a call waits on the network is not cut short:
    // the call ends at these limits (Windows keeps them; Wine's network layer
    // waits on until the server lets go), then the worker closes its handles
    // and ends, telling no one.
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT}) {
        DWORD timeout = answerTimeoutMs;
        InternetSetOptionA(session.get(), option, &timeout, sizeof timeout);
    }
    if (givenUp(shared)) return;

    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    const InternetHandle request(InternetOpenUrlA(session.get(), shared.url.c_str(), nullptr, 0, flags, 0));
    if (!request.get()) {
        shared.failure = failureOf(GetLastError());
    } else {
        DWORD status = 0;
        DWORD size = sizeof status;
        const bool isHttp = HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                           &size, nullptr) != FALSE;
        if (isHttp && status != 200) {
            shared.failure = {LoadFailure::Kind::httpStatus, static_cast<int>(status)};
        } else {
            char type[256] = {};
            DWORD typeSize = sizeof type - 1;
            if (HttpQueryInfoA(request.get(), HTTP_QUERY_CONTENT_TYPE, type, &typeSize, nullptr))
                shared.contentType.assign(type, std::min<DWORD>(typeSize, sizeof type - 1));
            DWORD announced = 0;
            size = sizeof announced;
            if (!HttpQueryInfoA(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced, &size,
                                nullptr))
                announced = 0;
            const auto whole = static_cast<DWORD>(std::min<std::int64_t>(announced, WebClient::largestPage));
            std::string page;
            char buffer[chunk];
            DWORD got = 0;
            bool readOk = true;
            while (page.size() < static_cast<std::size_t>(WebClient::largestPage)) {
                const DWORD wanted = static_cast<DWORD>(
                    std::min<std::size_t>(chunk, static_cast<std::size_t>(WebClient::largestPage) - page.size()));
                if (!InternetReadFile(request.get(), buffer, wanted, &got)) {
                    readOk = false;
                    shared.failure = failureOf(GetLastError());
                    break;
                }
                if (got == 0) break;
                page.append(buffer, got);
                // No one to read the rest for.
                if (!tell(shared, wmProgress, page.size(), whole)) return;
            }
            if (readOk) {
                shared.page = std::move(page);
                shared.ok = true;
            }
        }
    }
}

DWORD WINAPI worker(void* parameter) {
    auto* shared = static_cast<Shared*>(parameter);
    fetch(*shared);
    tell(*shared, wmDone, 0, 0);
    release(shared);
    return 0;
}

class Win32PageLoad : public PageLoad {
public:
    Win32PageLoad(const std::string& url, LoadEvents events) : events_(std::move(events)), shared_(new Shared) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = notifyClassName;
        RegisterClassA(&windowClass);  // fails harmlessly from the second load on
        window_ = CreateWindowExA(0, notifyClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        shared_->notify = window_;
        shared_->url = url;
        thread_ = CreateThread(nullptr, 0, worker, shared_, 0, nullptr);
        if (!thread_) {
            // No thread, no load: said at once, as a load that found no network.
            shared_->references = 1;
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
};

}  // namespace

std::unique_ptr<PageLoad> Win32WebClient::load(const std::string& url, LoadEvents events) {
    return std::make_unique<Win32PageLoad>(url, std::move(events));
}

}  // namespace pellorin
