#include <gtest/gtest.h>

#include "foundation/settings.h"
#include "substitute_desktop.h"

namespace pellorin {
namespace {

using testing::MemoryFiles;

TEST(SettingsWriter, WritesTextAndIntegersByteForByte) {
    struct Case {
        std::int16_t value;
        const char* bytes;
    };
    for (const Case& c : {Case{12, " 12 \r\n"}, Case{0, " 0 \r\n"}, Case{-5, "-5 \r\n"}, Case{32767, " 32767 \r\n"},
                          Case{-32768, "-32768 \r\n"}}) {
        EXPECT_EQ(SettingsWriter().integer(c.value).bytes(), c.bytes) << "integer " << c.value;
    }
    EXPECT_EQ(SettingsWriter().text("Explorer").text("hide").bytes(), "Explorer\r\nhide\r\n");
    EXPECT_EQ(SettingsWriter().text("").bytes(), "\r\n");
}

TEST(SettingsWriter, QuotesATextOnlyWhenItWouldNotReadBackWithout) {
    struct Case {
        const char* value;
        const char* bytes;
        const char* readBack;  // the value the next read gives; the one after it is always "next"
    };
    const Case cases[] = {
        {"Explorer", "Explorer\r\n", "Explorer"},
        {"e Chrome", "e Chrome\r\n", "e Chrome"},
        {"ft? Edge", "ft? Edge\r\n", "ft? Edge"},
        {"a\"b", "a\"b\r\n", "a\"b"},
        {" Firefox", "\" Firefox\"\r\n", " Firefox"},
        {"Firefox ", "\"Firefox \"\r\n", "Firefox "},
        {"\tTab", "\"\tTab\"\r\n", "\tTab"},
        {"Web, Inc", "\"Web, Inc\"\r\n", "Web, Inc"},
        // A quote in a value that needs quotes cannot be kept; all else is.
        {"\"Web\"", "\"Web\"\r\n", "Web"},
        {" say \"hi\", ok", "\" say hi, ok\"\r\n", " say hi, ok"},
        {"two\r\nlines", "twolines\r\n", "twolines"},
    };
    for (const Case& c : cases) {
        const std::string bytes = SettingsWriter().text(c.value).text("next").bytes();
        EXPECT_EQ(bytes.substr(0, bytes.size() - 6), c.bytes) << c.value;
        FieldReader reader(bytes);
        std::string first, second;
        reader.readText(first);
        reader.readText(second);
        EXPECT_EQ(first, c.readBack) << c.value;
        EXPECT_EQ(second, "next") << c.value;
    }
}

TEST(FieldReader, ReadsBackEverythingTheWriterWrites) {
    const std::string bytes =
        SettingsWriter().text("enabled").integer(-32768).integer(32767).text("a b  ").text("").text("x").bytes();
    FieldReader reader(bytes);
    std::string a, d, e, f;
    std::int16_t b = 1, c = 1;
    EXPECT_TRUE(reader.readText(a));
    EXPECT_TRUE(reader.readInteger(b));
    EXPECT_TRUE(reader.readInteger(c));
    EXPECT_TRUE(reader.readText(d));
    EXPECT_TRUE(reader.readText(e));
    EXPECT_TRUE(reader.readText(f));
    EXPECT_EQ(a, "enabled");
    EXPECT_EQ(b, -32768);
    EXPECT_EQ(c, 32767);
    EXPECT_EQ(d, "a b  ");
    EXPECT_EQ(e, "");
    EXPECT_EQ(f, "x");
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldReader, TextFieldRules) {
    struct Case {
        const char* content;
        std::vector<std::string> expected;  // what three reads give, starting from "old"
    };
    const Case cases[] = {
        {"Explorer,close", {"Explorer", "close", "old"}},
        {"  padded\r\nnext\r\n", {"padded", "next", "old"}},
        {"\"quoted, with comma\",after\r\n", {"quoted, with comma", "after", "old"}},
        {"\"quoted\" tail,x\r\n", {"quoted", "x", "old"}},
        {"\"unterminated\r\nsecond\r\n", {"unterminated", "second", "old"}},
        {"lf\nonly\n", {"lf", "only", "old"}},
        {"\r\nclose\r\n", {"", "close", "old"}},
        {"", {"old", "old", "old"}},
    };
    for (const Case& c : cases) {
        FieldReader reader(c.content);
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            std::string target = "old";
            reader.readText(target);
            EXPECT_EQ(target, c.expected[i]) << "read " << i << " of \"" << c.content << "\"";
        }
    }
}

TEST(FieldReader, NulBytesAreOrdinaryCharacters) {
    const std::string content("a\0b\r\nnext\r\n", 11);
    FieldReader reader(content);
    std::string first, second;
    reader.readText(first);
    reader.readText(second);
    EXPECT_EQ(first, std::string("a\0b", 3));
    EXPECT_EQ(second, "next");
}

TEST(FieldReader, IntegerRulesKeepTheOldValueAndGoOn) {
    struct Case {
        const char* content;
        std::int16_t first;
        std::int16_t second;
    };
    const Case cases[] = {
        {" 40000 \r\n 7 \r\n", 0, 7},  // out of range: the first keeps its value
        {"-32769\r\n-32768\r\n", 0, -32768},
        {" 12abc \r\n 3 \r\n", 0, 3},  // trailing letters are not a number
        {"1.5\r\n+4\r\n", 0, 4},
        {"x\r\n\r\n", 0, 0},  // an empty field is no number either
        {" 5 , 6 \r\n", 5, 6},
        {" 9 \r\n", 9, 0},  // shorter than the layout
        {"\"42\"\r\n 1 ", 42, 1},
    };
    for (const Case& c : cases) {
        FieldReader reader(c.content);
        std::int16_t first = 0, second = 0;
        reader.readInteger(first);
        reader.readInteger(second);
        EXPECT_EQ(first, c.first) << "first value of \"" << c.content << "\"";
        EXPECT_EQ(second, c.second) << "second value of \"" << c.content << "\"";
    }
}

TEST(FieldReader, AMegabyteLineIsOneValue) {
    const std::string line(1 << 20, 'x');
    FieldReader reader(line + "\r\nclose\r\n");
    std::string first, second;
    reader.readText(first);
    reader.readText(second);
    EXPECT_EQ(first.size(), line.size());
    EXPECT_EQ(second, "close");
}

TEST(KeyCodeForLetter, CapitalsMapToTheirCodesAndEverythingElseToQ) {
    EXPECT_EQ(keyCodeForLetter("A"), 65);
    EXPECT_EQ(keyCodeForLetter("Z"), 90);
    for (const char* other : {"q", "", "AB", "1", "@", "[", " "})
        EXPECT_EQ(keyCodeForLetter(other), 81) << "for \"" << other << "\"";
}

TEST(WriteDefaultSettings, FirstStartCreatesSixFilesAndOnlyHotkeyHasContent) {
    MemoryFiles files;
    writeDefaultSettings(files);
    EXPECT_EQ(files.files.size(), 6u);
    EXPECT_EQ(files.writes, (std::vector<std::string>{"startup.cfg", "popup.cfg", "hotkey.cfg", "fullscreen.cfg",
                                                      "setup.cfg", "stats.cfg"}));
    for (const char* name : {"startup.cfg", "popup.cfg", "fullscreen.cfg", "setup.cfg", "stats.cfg"})
        EXPECT_EQ(files.get(name), "") << name;
    EXPECT_EQ(files.get("hotkey.cfg"), "Q\r\n");
}

TEST(WriteDefaultSettings, ExistingFilesKeepTheirContentAndLoseReadOnly) {
    MemoryFiles files;
    files.put("stats.cfg", " 3 \r\n 4 \r\n");
    files.file("stats.cfg").readOnly = true;
    files.file("stats.cfg").hidden = true;
    files.put("hotkey.cfg", "Z\r\n");
    writeDefaultSettings(files);
    EXPECT_EQ(files.get("stats.cfg"), " 3 \r\n 4 \r\n");
    EXPECT_FALSE(files.file("stats.cfg").readOnly);
    EXPECT_FALSE(files.file("stats.cfg").hidden);
    EXPECT_EQ(files.get("hotkey.cfg"), "Z\r\n");
}

TEST(WriteDefaultSettings, AFailureAbandonsTheRest) {
    MemoryFiles files;
    files.put("startup.cfg", "normal\r\n");
    // There, but its attributes cannot be reset (a file of another user's).
    files.put("popup.cfg", "enabled\r\n");
    files.file("popup.cfg").attributesLocked = true;
    writeDefaultSettings(files);
    EXPECT_FALSE(files.get("hotkey.cfg").has_value());
    EXPECT_FALSE(files.get("stats.cfg").has_value());
}

}  // namespace
}  // namespace pellorin
