// Web addresses as far as the update check needs them: which site an
// address names, and where a redirect sends.
#include "foundation/web_address.h"

#include "foundation/text.h"

#include <algorithm>
#include <charconv>

namespace pellorin {

namespace {

// The scheme of a whole address ("http" of "http://..."), "" for none.
std::string_view schemeOf(std::string_view url) {
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) return {};
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!isLetter(url[0])) return {};
    for (char c : url.substr(0, colon))
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return {};
    return url.substr(0, colon);
}

// Scheme, "//" and authority: everything before the path.
std::string_view originOf(std::string_view url) {
    const std::size_t authority = url.find("//");
    if (authority == std::string_view::npos) return url;
    return url.substr(0, std::min(url.find_first_of("/?#", authority + 2), url.size()));
}

}  // namespace

std::optional<WebSite> webSiteOf(std::string_view url) {
    WebSite site;
    site.scheme = asciiLowered(schemeOf(url));
    if (site.scheme == "http")
        site.port = 80;
    else if (site.scheme == "https")
        site.port = 443;
    else
        return std::nullopt;
    std::string_view rest = url.substr(site.scheme.size() + 1);
    if (rest.substr(0, 2) != "//") return std::nullopt;
    rest.remove_prefix(2);
    std::string_view authority = rest.substr(0, std::min(rest.find_first_of("/?#"), rest.size()));
    // Read as a separator by some and as part of a user name by others: who
    // knows which host such an address names.
    if (authority.find('\\') != std::string_view::npos) return std::nullopt;
    // A user name before the host does not make it the host: http://home@elsewhere/ is elsewhere.
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    std::string_view host = authority;
    std::string_view port;
    if (authority.substr(0, 1) == "[") {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = authority.substr(0, close + 1);
        port = authority.substr(close + 1);
        if (!port.empty() && port.front() != ':') return std::nullopt;
    } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon);
    }
    if (host.empty()) return std::nullopt;
    for (char c : host)
        if (static_cast<unsigned char>(c) <= ' ' || c == '%' || c == '"' || c == '<' || c == '>') return std::nullopt;
    if (!port.empty()) {
        port.remove_prefix(1);
        if (!port.empty()) {
            int number = 0;
            auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
            if (error != std::errc() || end != port.data() + port.size() || number < 1 || number > 65535)
                return std::nullopt;
            site.port = number;
        }
    }
    site.host = asciiLowered(host);
    return site;
}

std::optional<std::string> redirectTarget(std::string_view from, std::string_view location) {
    // Blanks around the value are the header's, not the address's.
    while (!location.empty() && (location.front() == ' ' || location.front() == '\t')) location.remove_prefix(1);
    while (!location.empty() && (location.back() == ' ' || location.back() == '\t')) location.remove_suffix(1);
    if (location.empty()) return std::nullopt;
    for (char c : location)
        if (static_cast<unsigned char>(c) < ' ' || c == 0x7f || c == '\\') return std::nullopt;
    if (!schemeOf(location).empty()) return std::string(location);
    if (location.substr(0, 2) == "//") return std::string(schemeOf(from)) + ":" + std::string(location);
    const std::string_view origin = originOf(from);
    const std::string_view path = from.substr(origin.size());
    if (location.front() == '/') return std::string(origin) + std::string(location);
    const std::string_view withoutQuery = path.substr(0, std::min(path.find_first_of("?#"), path.size()));
    if (location.front() == '?') return std::string(origin) + std::string(withoutQuery) + std::string(location);
    if (location.front() == '#') return std::string(from.substr(0, from.find('#')));
    const std::size_t slash = withoutQuery.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? "/" : withoutQuery.substr(0, slash + 1);
    return std::string(origin) + std::string(folder) + std::string(location);
}

RedirectTrail::Step RedirectTrail::redirect(std::string_view location) {
    const std::optional<std::string> next = redirectTarget(current(), location);
    if (!next || !site_ || webSiteOf(*next) != site_) return Step::elsewhere;
    if (std::find(visited_.begin(), visited_.end(), *next) != visited_.end() ||
        static_cast<int>(visited_.size()) > mostSteps)
        return Step::loop;
    visited_.push_back(*next);
    return Step::follow;
}

}  // namespace pellorin
