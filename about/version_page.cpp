// Reading the version page: its title is the latest version, its body what
// the update window shows under it. The page comes from the network, so
// every step here looks at each byte a bounded number of times: a page built
// to be slow to read is read as fast as any other.
#include "about/version_page.h"

#include <algorithm>
#include <cmath>

#include "foundation/text.h"

namespace pellorin {

namespace {

// Longer than any version page's text: the strip shows one line.
constexpr std::size_t longestText = 1000;
// Browsers look for a <meta> charset this far into the page.
constexpr std::size_t charsetPrescan = 1024;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower(text[at + i]) != word[i]) return false;
    return true;
}

// Where word starts at or after from, in any letter case; npos for nowhere.
std::size_t findNoCase(std::string_view text, std::string_view word, std::size_t from) {
    for (std::size_t at = from; at + word.size() <= text.size(); ++at)
        if (lower(text[at]) == word[0] && startsWithNoCase(text, at, word)) return at;
    return std::string_view::npos;
}

// ---- character sets -------------------------------------------------------

enum class Charset { unknown, utf8, windows1252 };

Charset charsetNamed(std::string_view label) {
    std::string name;
    for (char c : label.substr(0, 32)) name.push_back(lower(c));
    if (name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8") return Charset::utf8;
    // The names browsers read as Windows-1252, Latin-1 and ASCII among them.
    static constexpr std::string_view western[] = {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1",
                                                   "iso_8859-1",   "latin1", "l1",       "ascii",      "us-ascii",
                                                   "iso-ir-100",   "ibm819", "cp819",    "csisolatin1"};
    for (std::string_view known : western)
        if (name == known) return Charset::windows1252;
    return Charset::unknown;
}

// The value of the first "charset" in text: after it an "=", then the name,
// quoted or not.
std::string_view charsetParameter(std::string_view text) {
    for (std::size_t at = findNoCase(text, "charset", 0); at != std::string_view::npos;
         at = findNoCase(text, "charset", at + 7)) {
        std::size_t i = at + 7;
        while (i < text.size() && isSpace(text[i])) ++i;
        if (i >= text.size() || text[i] != '=') continue;
        ++i;
        while (i < text.size() && (isSpace(text[i]) || text[i] == '"' || text[i] == '\'')) ++i;
        const std::size_t start = i;
        while (i < text.size() && !isSpace(text[i]) && text[i] != '"' && text[i] != '\'' && text[i] != ';' &&
               text[i] != '>' && text[i] != '/')
            ++i;
        return text.substr(start, i - start);
    }
    return {};
}

// The charset a <meta> element near the top of the page names.
Charset metaCharset(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, charsetPrescan);
    for (std::size_t at = findNoCase(head, "<meta", 0); at != std::string_view::npos;
         at = findNoCase(head, "<meta", at + 5)) {
        const std::size_t end = head.find('>', at);
        const Charset named =
            charsetNamed(charsetParameter(head.substr(at, end == std::string_view::npos ? end : end - at)));
        if (named != Charset::unknown) return named;
        if (end == std::string_view::npos) break;
    }
    return Charset::unknown;
}

std::string fromUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) appendUtf8(out, nextUtf8(bytes, at));
    return out;
}

std::string fromUtf16(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(littleEndian ? first | second << 8 : second | first << 8);
    };
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t code = unit(at);
        if (code >= 0xD800 && code <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        appendUtf8(out, code);  // a lone surrogate comes out as notACharacter
    }
    return out;
}

// ---- the page -------------------------------------------------------------

// A character reference at html[at] == '&': appends what it stands for and
// returns the length it took; 0 when it is none.
std::size_t decodeReference(std::string_view html, std::size_t at, std::string& out) {
    // No reference is longer than this, so nothing past it is looked at.
    const std::size_t semicolon = html.substr(0, at + 12).find(';', at);
    if (semicolon == std::string_view::npos) return 0;
    const std::string_view name = html.substr(at + 1, semicolon - at - 1);
    static constexpr std::pair<std::string_view, char32_t> named[] = {
        {"amp", U'&'},        {"lt", U'<'},          {"gt", U'>'},         {"quot", U'"'},      {"apos", U'\''},
        {"nbsp", U' '},       {"copy", U'\u00A9'},   {"reg", U'\u00AE'},   {"euro", U'\u20AC'}, {"ndash", U'\u2013'},
        {"mdash", U'\u2014'}, {"hellip", U'\u2026'}, {"laquo", U'\u00AB'}, {"raquo", U'\u00BB'}};
    for (const auto& [entity, code] : named)
        if (name == entity) {
            appendUtf8(out, code);
            return name.size() + 2;
        }
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    char32_t code = 0;
    for (char d : digits) {
        int value = d >= '0' && d <= '9' ? d - '0' : -1;
        if (hex && d >= 'a' && d <= 'f') value = d - 'a' + 10;
        if (hex && d >= 'A' && d <= 'F') value = d - 'A' + 10;
        if (value < 0) return 0;
        code = code * (hex ? 16 : 10) + static_cast<char32_t>(value);
    }
    // As browsers read them: 128 to 159 as Windows-1252, the rest as Unicode.
    if (code >= 0x80 && code <= 0x9F) code = fromWindows1252(static_cast<unsigned char>(code));
    appendUtf8(out, code == 0 ? notACharacter : code);
    return name.size() + 2;
}

std::string decodeReferences(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == '&')
            if (const std::size_t taken = decodeReference(text, at, out)) {
                at += taken;
                continue;
            }
        out.push_back(text[at++]);
    }
    return out;
}

// Text as one line: white space collapsed into single blanks between words,
// control characters left out, at most longestText bytes.
class Line {
public:
    void put(std::string_view utf8) {
        for (std::size_t at = 0; at < utf8.size() && text_.size() < longestText;) {
            const std::size_t from = at;
            const char32_t code = nextUtf8(utf8, at);
            if (code < 0x80 && isSpace(static_cast<char>(code))) {
                blank();
            } else if (code >= 0x20 && code != 0x7F && !(code >= 0x80 && code <= 0x9F)) {
                if (blankPending_) text_.push_back(' ');
                blankPending_ = false;
                text_.append(utf8.substr(from, at - from));
            }
        }
    }
    void blank() { blankPending_ = !text_.empty(); }
    void clear() { *this = Line(); }
    std::string take() const {
        // Cut to length, a blank before the cut is no longer between two words.
        std::string_view line = utf8Prefix(text_, longestText);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        return std::string(line);
    }

private:
    std::string text_;
    bool blankPending_ = false;
};

bool isRawTextElement(std::string_view name) { return name == "script" || name == "style" || name == "title"; }

// Where the end tag </name...> starts at or after from; npos for none.
std::size_t findEndTag(std::string_view html, std::string_view name, std::size_t from) {
    for (std::size_t at = html.find("</", from); at != std::string_view::npos; at = html.find("</", at + 2)) {
        const std::size_t after = at + 2 + name.size();
        if (startsWithNoCase(html, at + 2, name) &&
            (after == html.size() || isSpace(html[after]) || html[after] == '>' || html[after] == '/'))
            return at;
    }
    return std::string_view::npos;
}

}  // namespace

std::string decodePage(std::string_view bytes, std::string_view contentType) {
    // A byte order mark says it all; then the server; then the page itself.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return fromUtf8(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") return fromUtf16(bytes.substr(2), true);
    if (bytes.substr(0, 2) == "\xFE\xFF") return fromUtf16(bytes.substr(2), false);
    Charset charset = charsetNamed(charsetParameter(contentType));
    if (charset == Charset::unknown) charset = metaCharset(bytes);
    // Undeclared: text that reads as UTF-8 is UTF-8, as it is on most pages today.
    if (charset == Charset::unknown) charset = isValidUtf8(bytes) ? Charset::utf8 : Charset::windows1252;
    return charset == Charset::utf8 ? fromUtf8(bytes) : windows1252ToUtf8(bytes);
}

VersionPage readVersionPage(std::string_view html) {
    VersionPage page;
    bool haveTitle = false;
    // The text is the body's, when the page marks one, or else all but the head.
    Line body;
    Line outside;
    bool sawBody = false;
    bool inBody = false;
    bool inHead = false;
    const auto words = [&](std::string_view text) {
        if (inBody) body.put(text);
        if (!inHead) outside.put(text);
    };
    const auto gap = [&] {
        if (inBody) body.blank();
        if (!inHead) outside.blank();
    };

    std::size_t at = 0;
    std::string decoded;
    while (at < html.size()) {
        const char c = html[at];
        if (c == '&') {
            decoded.clear();
            if (const std::size_t taken = decodeReference(html, at, decoded)) {
                words(decoded);
                at += taken;
                continue;
            }
        }
        if (c != '<') {
            // A run of plain text up to the next tag or reference, at once.
            const std::size_t end = std::min(html.find_first_of("<&", at + 1), html.size());
            words(html.substr(at, end - at));
            at = end;
            continue;
        }
        if (html.compare(at, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", at + 4);
            at = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        const bool closing = at + 1 < html.size() && html[at + 1] == '/';
        const std::size_t nameAt = at + (closing ? 2 : 1);
        const bool declaration = !closing && nameAt < html.size() && (html[nameAt] == '!' || html[nameAt] == '?');
        if (!declaration && (nameAt >= html.size() || !isLetter(html[nameAt]))) {
            // "<" that opens no tag is text, as in "a < b".
            words(html.substr(at, 1));
            ++at;
            continue;
        }
        std::size_t nameEnd = nameAt;
        while (nameEnd < html.size() && !isSpace(html[nameEnd]) && html[nameEnd] != '>' && html[nameEnd] != '/')
            ++nameEnd;
        std::string name;
        for (char n : html.substr(nameAt, std::min<std::size_t>(nameEnd - nameAt, 8))) name.push_back(lower(n));
        if (nameEnd - nameAt > 8) name.clear();  // longer than any name looked for
        const std::size_t close = html.find('>', nameEnd);
        at = close == std::string_view::npos ? html.size() : close + 1;
        if (declaration) continue;

        if (!closing && isRawTextElement(name)) {
            // What scripts and styles hold is not text; the title is the page's title.
            const std::size_t end = findEndTag(html, name, at);
            const std::size_t contentEnd = end == std::string_view::npos ? html.size() : end;
            if (name == "title" && !haveTitle) {
                page.title = decodeReferences(html.substr(at, contentEnd - at));
                haveTitle = true;
            }
            const std::size_t endClose = end == std::string_view::npos ? end : html.find('>', end);
            at = endClose == std::string_view::npos ? html.size() : endClose + 1;
        } else if (name == "body") {
            if (!closing && !sawBody) sawBody = inBody = true;
            if (closing) inBody = false;
        } else if (name == "head") {
            if (!closing) inHead = true;
            if (closing && inHead) {
                inHead = false;
                outside.clear();  // what stood before the head is no more the text than the head
            }
        }
        gap();
    }
    page.text = sawBody ? body.take() : outside.take();
    return page;
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
