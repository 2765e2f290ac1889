// Reading the version page: its title is the latest version, its body what
// the update window shows under it. The page comes from the network, so
// every step here looks at each byte a bounded number of times: a page built
// to be slow to read is read as fast as any other.
#include "about/version_page.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "foundation/text.h"

namespace pellorin {

namespace {

// Longer than any version page's text: the strip shows one line.
constexpr std::size_t longestText = 1000;
// Browsers look for a <meta> charset this far into the page.
constexpr std::size_t charsetPrescan = 1024;

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (asciiLower(text[at + i]) != word[i]) return false;
    return true;
}

// Where word starts at or after from, in any letter case; npos for nowhere.
std::size_t findNoCase(std::string_view text, std::string_view word, std::size_t from) {
    for (std::size_t at = from; at + word.size() <= text.size(); ++at)
        if (asciiLower(text[at]) == word[0] && startsWithNoCase(text, at, word)) return at;
    return std::string_view::npos;
}

// ---- character sets -------------------------------------------------------

// How a page's bytes become text: UTF-8, UTF-16 in either order, Windows-1252
// (which the program knows by heart), or a code page of the system's tables.
struct Charset {
    enum class Kind { unknown, utf8, utf16le, utf16be, windows1252, codePage };
    Kind kind = Kind::unknown;
    std::uint32_t codePage = 0;
};

Charset codePage(std::uint32_t number) { return {Charset::Kind::codePage, number}; }

// The names browsers know for each character set Windows has a table for.
Charset charsetNamed(std::string_view label) {
    using Kind = Charset::Kind;
    std::string name;
    for (char c : label.substr(0, 32)) name.push_back(asciiLower(c));
    const auto among = [&name](std::initializer_list<std::string_view> names) {
        for (std::string_view known : names)
            if (name == known) return true;
        return false;
    };
    if (among({"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "x-unicode20utf8"}))
        return {Kind::utf8};
    if (among({"utf-16", "utf-16le", "unicode", "unicodefeff", "ucs-2", "iso-10646-ucs-2", "csunicode"}))
        return {Kind::utf16le};
    if (among({"utf-16be", "unicodefffe"})) return {Kind::utf16be};
    // What browsers read as Windows-1252, Latin-1 and ASCII among them.
    if (among({"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1", "ascii",
               "us-ascii", "iso-ir-100", "ibm819", "cp819", "csisolatin1"}))
        return {Kind::windows1252};
    // windows-1250 to windows-1258, by any of their three spellings.
    for (std::string_view prefix : {"windows-125", "cp125", "x-cp125"})
        if (name.size() == prefix.size() + 1 && name.compare(0, prefix.size(), prefix) == 0 && name.back() >= '0' &&
            name.back() <= '8')
            return codePage(1250 + static_cast<std::uint32_t>(name.back() - '0'));
    // ISO 8859 by its part; browsers read part 9 as windows-1254 and part 11 as windows-874.
    for (std::string_view prefix : {"iso-8859-", "iso8859-", "iso_8859-"}) {
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        std::string_view part = std::string_view(name).substr(prefix.size());
        if (part == "8-i") part = "8";  // Hebrew in logical order
        if (part == "9") return codePage(1254);
        if (part == "11") return codePage(874);
        std::uint32_t number = 0;
        for (char digit : part) number = number * 10 + static_cast<std::uint32_t>(digit - '0');
        for (std::string_view known : {"2", "3", "4", "5", "6", "7", "8", "10", "13", "14", "15", "16"})
            if (part == known) return codePage(28590 + number);
    }
    static constexpr std::pair<std::string_view, std::uint32_t> named[] = {
        {"latin2", 28592},      {"l2", 28592},          {"cyrillic", 28595},     {"greek", 28597},
        {"hebrew", 28598},      {"latin9", 28605},      {"latin5", 1254},        {"tis-620", 874},
        {"windows-874", 874},   {"dos-874", 874},       {"koi8-r", 20866},       {"koi8_r", 20866},
        {"koi8", 20866},        {"koi", 20866},         {"cskoi8r", 20866},      {"koi8-u", 21866},
        {"koi8-ru", 21866},     {"ibm866", 866},        {"cp866", 866},          {"866", 866},
        {"macintosh", 10000},   {"mac", 10000},         {"x-mac-roman", 10000},  {"x-mac-cyrillic", 10007},
        {"shift_jis", 932},     {"shift-jis", 932},     {"sjis", 932},           {"ms_kanji", 932},
        {"ms932", 932},         {"windows-31j", 932},   {"x-sjis", 932},         {"csshiftjis", 932},
        {"euc-jp", 20932},      {"x-euc-jp", 20932},    {"iso-2022-jp", 50220},  {"csiso2022jp", 50220},
        {"gbk", 936},           {"gb2312", 936},        {"x-gbk", 936},          {"chinese", 936},
        {"csgb2312", 936},      {"gb_2312", 936},       {"gb_2312-80", 936},     {"iso-ir-58", 936},
        {"cp936", 936},         {"windows-936", 936},   {"gb18030", 54936},      {"hz-gb-2312", 52936},
        {"iso-2022-cn", 50227}, {"big5", 950},          {"big5-hkscs", 950},     {"cn-big5", 950},
        {"csbig5", 950},        {"x-x-big5", 950},      {"cp950", 950},          {"euc-kr", 949},
        {"cseuckr", 949},       {"korean", 949},        {"ks_c_5601-1987", 949}, {"ks_c_5601-1989", 949},
        {"ksc5601", 949},       {"ksc_5601", 949},      {"iso-ir-149", 949},     {"windows-949", 949},
        {"cp949", 949},         {"iso-2022-kr", 50225},
    };
    for (const auto& [known, number] : named)
        if (name == known) return codePage(number);
    return {};
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
        Charset named = charsetNamed(charsetParameter(head.substr(at, end == std::string_view::npos ? end : end - at)));
        // A page whose <meta> reads as ASCII is no UTF-16: browsers take UTF-8 then.
        if (named.kind == Charset::Kind::utf16le || named.kind == Charset::Kind::utf16be)
            named.kind = Charset::Kind::utf8;
        if (named.kind != Charset::Kind::unknown) return named;
        if (end == std::string_view::npos) break;
    }
    return {};
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

// Characters that are not drawn but change how the rest is: the direction
// controls (U+202E turns what follows backwards), the zero-width ones and
// the byte order mark.
bool isInvisibleFormat(char32_t code) {
    return code == 0x061C || (code >= 0x200B && code <= 0x200F) || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFEFF;
}

// Text as one line: white space collapsed into single blanks between words,
// control characters left out, at most longestText bytes.
class Line {
public:
    void put(std::string_view utf8) {
        for (std::size_t at = 0; at < utf8.size() && text_.size() < longestText;) {
            const std::size_t from = at;
            const char32_t code = nextUtf8(utf8, at);
            if ((code < 0x80 && isSpace(static_cast<char>(code))) || code == 0x2028 || code == 0x2029) {
                blank();
            } else if (code >= 0x20 && code != 0x7F && !(code >= 0x80 && code <= 0x9F) && !isInvisibleFormat(code)) {
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

std::optional<std::string> decodePage(std::string_view bytes, std::string_view contentType, CodePages& codePages) {
    // A page as long as the read may be cut inside its last character.
    const bool cut = bytes.size() >= static_cast<std::size_t>(WebClient::largestPage);
    // A byte order mark says it all; then the server; then the page itself.
    if (auto text = textByByteOrderMark(bytes, cut)) return text;
    using Kind = Charset::Kind;
    Charset charset = charsetNamed(charsetParameter(contentType));
    if (charset.kind == Kind::unknown) charset = metaCharset(bytes);
    // Undeclared: text that reads as UTF-8 is UTF-8, as it is on most pages today.
    if (charset.kind == Kind::unknown) charset.kind = readsAsUtf8(bytes, cut) ? Kind::utf8 : Kind::windows1252;
    switch (charset.kind) {
        case Kind::utf8: return repairedUtf8(bytes, cut);
        case Kind::utf16le: return utf16ToUtf8(bytes, true, cut);
        case Kind::utf16be: return utf16ToUtf8(bytes, false, cut);
        case Kind::codePage: return codePages.decode(bytes, charset.codePage);
        case Kind::unknown:
        case Kind::windows1252: break;
    }
    return windows1252ToUtf8(bytes);
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
        for (char n : html.substr(nameAt, std::min<std::size_t>(nameEnd - nameAt, 8))) name.push_back(asciiLower(n));
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
        case LoadFailure::Kind::elsewhere: return "Another site answered in the version page's place.";
        case LoadFailure::Kind::loop: return "The server sent the check round in circles.";
        case LoadFailure::Kind::certificate: return "The server's certificate could not be trusted.";
        case LoadFailure::Kind::noConnection: break;
    }
    return "No connection to the server.";
}

}  // namespace pellorin
