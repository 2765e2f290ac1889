#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace pellorin {

// Why a page could not be loaded.
struct LoadFailure {
    enum class Kind {
        noConnection,  // no network, the name not found, the connection refused or broken
        timedOut,      // the server did not answer in time
        httpStatus,    // the server answered, but not with the page (status other than 200)
        elsewhere,     // the answer sent the check to another site (a network's sign-in page)
        loop,          // the server's redirects went round in a circle, or on and on
        certificate,   // the server's certificate is not one to trust for it
    };
    Kind kind = Kind::noConnection;
    int status = 0;  // the HTTP status, for httpStatus
};

// What a load reports, always on the user-interface thread, and only until
// the load is given up.
struct LoadEvents {
    // Bytes read so far, and the length the server announced (0 for none).
    std::function<void(std::int64_t read, std::int64_t announced)> progress;
    // The page's bytes as they came, and the type the server gave them ("" for none).
    std::function<void(const std::string& page, const std::string& contentType)> loaded;
    std::function<void(const LoadFailure& failure)> failed;
};

// One page being loaded away from the user-interface thread. Destroying it
// gives the load up at once, without waiting for the network: nothing is
// reported after that.
class PageLoad {
public:
    virtual ~PageLoad() = default;
};

// Loads web pages. A page is read up to this many bytes; the rest is not ours to hold.
class WebClient {
public:
    static constexpr std::int64_t largestPage = 64 * 1024;
    virtual ~WebClient() = default;
    virtual std::unique_ptr<PageLoad> load(const std::string& url, LoadEvents events) = 0;
};

}  // namespace pellorin
