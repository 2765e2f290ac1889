#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin {

// Where a web address points: scheme and host in lower case, the port
// always given (the scheme's own when the address names none).
struct WebSite {
    std::string scheme;
    std::string host;
    int port = 0;
    bool operator==(const WebSite&) const = default;
};

// The site of an http or https address; nothing for any other address.
std::optional<WebSite> webSiteOf(std::string_view url);

// The address a redirect's Location sends to, read against the address that
// answered with it: whole, without a scheme (//host/...), a path from the
// root, a path beside the answering one, or a query. Nothing when it is none
// of these.
std::optional<std::string> redirectTarget(std::string_view from, std::string_view location);

// Following the redirects of one page: a page is believed only from the site
// it was asked of (a network's sign-in page, or anyone on the way, answers
// for every address with a redirect to its own), and only a few steps away.
class RedirectTrail {
public:
    static constexpr int mostSteps = 5;
    enum class Step { follow, elsewhere, loop };

    explicit RedirectTrail(std::string home) : site_(webSiteOf(home)), visited_{std::move(home)} {}
    // The address now asked for.
    const std::string& current() const { return visited_.back(); }
    // Where the answer to current() redirects: follow makes it current().
    Step redirect(std::string_view location);

private:
    std::optional<WebSite> site_;
    std::vector<std::string> visited_;
};

}  // namespace pellorin
