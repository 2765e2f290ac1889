#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pellorin {

// The program's own texts are UTF-8; what it reads from outside comes in
// other encodings and is turned into UTF-8 with these.

// ASCII letters in lower case, every other byte as it is: for the names
// that compare without regard to case (web schemes and hosts, HTML's words,
// registry keys, program file names).
inline char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string asciiLowered(std::string_view text);
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

// Stands in for a byte or code point that is no character.
inline constexpr char32_t notACharacter = U'?';

void appendUtf8(std::string& out, char32_t code);

// The character a Windows-1252 byte stands for; the five bytes the code page
// leaves undefined stand for the control characters of the same number.
char32_t fromWindows1252(unsigned char byte);
std::string windows1252ToUtf8(std::string_view bytes);

// The code point at text[at], moving at past it. A byte that starts no
// well-formed UTF-8 sequence gives notACharacter and moves on by one.
char32_t nextUtf8(std::string_view text, std::size_t& at);
bool isValidUtf8(std::string_view text);

// The longest start of text, at most maxBytes long, that cuts no character.
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes);

// The bytes the character at the start of text (not empty) takes, as
// nextUtf8 reads it: 1 for a byte that starts none, and more than text holds
// when text ends inside a character that starts well-formed.
std::size_t utf8CharacterLength(std::string_view text);
// text without the part of a character that its end cuts short, as a read
// that stops at a size limit may leave it.
std::string_view withoutCutUtf8Character(std::string_view text);

// Bytes read up to a size limit are "cut": the character the limit falls in
// is left out, not shown broken, and does not count against UTF-8.

// Bytes meant as UTF-8, with each byte that starts no well-formed sequence
// as notACharacter.
std::string repairedUtf8(std::string_view bytes, bool cut = false);
bool readsAsUtf8(std::string_view bytes, bool cut);
// UTF-16 in either byte order as UTF-8; a lone surrogate is notACharacter,
// an odd byte at the end is left out.
std::string utf16ToUtf8(std::string_view bytes, bool littleEndian, bool cut = false);
// The text that a UTF-8 or UTF-16 byte order mark at the start announces;
// nothing without one.
std::optional<std::string> textByByteOrderMark(std::string_view bytes, bool cut);

}  // namespace pellorin
