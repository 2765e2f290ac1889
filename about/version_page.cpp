// Reading the version page: its title is the latest version, its body what
// the update window shows under it.
#include "about/version_page.h"

#include <cmath>
#include <cstdlib>

namespace pellorin {

namespace {

// Longer than any version page's text: the strip shows one line.
constexpr std::size_t longestText = 1000;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Where tag <name ...> or </name ...> starts at or after from; npos for none.
std::size_t findTag(std::string_view html, std::string_view name, std::size_t from, bool closing = false) {
    const std::string_view opener = closing ? "</" : "<";
    for (std::size_t at = html.find(opener, from); at != std::string_view::npos; at = html.find(opener, at + 1)) {
        const std::size_t nameAt = at + opener.size();
        if (html.size() - nameAt < name.size()) return std::string_view::npos;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) same = lower(html[nameAt + i]) == name[i];
        const std::size_t after = nameAt + name.size();
        if (same && (after == html.size() || html[after] == '>' || html[after] == '/' || html[after] == ' ' ||
                     html[after] == '\t' || html[after] == '\r' || html[after] == '\n'))
            return at;
    }
    return std::string_view::npos;
}

std::size_t endOfTag(std::string_view html, std::size_t at) {
    const std::size_t close = html.find('>', at);
    return close == std::string_view::npos ? html.size() : close + 1;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// A character reference at html[at] == '&': appends what it stands for and
// returns the length it took; 0 when it is none.
std::size_t decodeReference(std::string_view html, std::size_t at, std::string& out) {
    const std::size_t semicolon = html.find(';', at);
    if (semicolon == std::string_view::npos || semicolon - at > 10) return 0;
    const std::string_view name = html.substr(at + 1, semicolon - at - 1);
    static constexpr std::pair<std::string_view, char> named[] = {{"amp", '&'},  {"lt", '<'},    {"gt", '>'},
                                                                  {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
    for (const auto& [entity, c] : named)
        if (name == entity) {
            out.push_back(c);
            return name.size() + 2;
        }
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits(name.substr(hex ? 2 : 1));
        char* end = nullptr;
        const long code = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
        if (digits.empty() || *end != '\0') return 0;
        // The window speaks the ANSI code page; beyond it a question mark stands in.
        out.push_back(code > 0 && code < 256 ? static_cast<char>(code) : '?');
        return name.size() + 2;
    }
    return 0;
}

}  // namespace

std::string pageTitle(std::string_view html) {
    const std::size_t open = findTag(html, "title", 0);
    if (open == std::string_view::npos) return "";
    const std::size_t start = endOfTag(html, open);
    const std::size_t close = findTag(html, "title", start, true);
    return std::string(html.substr(start, close == std::string_view::npos ? std::string_view::npos : close - start));
}

std::string pageText(std::string_view html) {
    // The body, when the page marks one; otherwise all but the head.
    std::size_t from = 0;
    std::size_t to = html.size();
    if (const std::size_t body = findTag(html, "body", 0); body != std::string_view::npos) {
        from = endOfTag(html, body);
        to = std::min(to, findTag(html, "body", from, true));
    } else if (const std::size_t head = findTag(html, "head", 0); head != std::string_view::npos) {
        const std::size_t headEnd = findTag(html, "head", head, true);
        from = headEnd == std::string_view::npos ? html.size() : endOfTag(html, headEnd);
    }

    std::string text;
    bool blank = true;  // no blank at the start, nor two in a row
    const auto put = [&](char c) {
        if (isSpace(c)) {
            if (!blank) text.push_back(' ');
            blank = true;
        } else {
            text.push_back(c);
            blank = false;
        }
    };
    for (std::size_t at = from; at < to && text.size() < longestText;) {
        const char c = html[at];
        if (c == '<') {
            if (html.compare(at, 4, "<!--") == 0) {
                const std::size_t end = html.find("-->", at + 4);
                at = end == std::string_view::npos ? to : end + 3;
                continue;
            }
            std::size_t next = endOfTag(html, at);
            // What scripts and styles hold is not text.
            for (std::string_view hidden : {"script", "style", "title"})
                if (findTag(html, hidden, at) == at) {
                    const std::size_t close = findTag(html, hidden, next, true);
                    next = close == std::string_view::npos ? to : endOfTag(html, close);
                }
            put(' ');
            at = next;
            continue;
        }
        if (c == '&') {
            std::string decoded;
            if (const std::size_t taken = decodeReference(html, at, decoded)) {
                for (char d : decoded) put(d);
                at += taken;
                continue;
            }
        }
        put(c);
        ++at;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.size() > longestText) text.resize(longestText);
    return text;
}

std::int64_t progressPercent(std::int64_t read, std::int64_t announced) {
    // Nothing read says nothing; without an announced length there is no whole to measure against.
    if (read == 0 || announced <= 0) return -1;
    return static_cast<std::int64_t>(
        std::nearbyint(static_cast<double>(read) / static_cast<double>(announced) * 100.0));
}

std::string failureText(const LoadFailure& failure) {
    switch (failure.kind) {
        case LoadFailure::Kind::timedOut: return "The server did not answer in time.";
        case LoadFailure::Kind::httpStatus:
            return "The server answered with status " + std::to_string(failure.status) + ".";
        case LoadFailure::Kind::noConnection: break;
    }
    return "No connection to the server.";
}

}  // namespace pellorin
