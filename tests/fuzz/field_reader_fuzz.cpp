// Feeds arbitrary bytes to the settings reader as start-up and the settings
// dialog would: every value in turn, text and integer alike.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    pellorin::FieldReader reader(content);
    std::string text;
    std::int16_t number = 0;
    std::size_t reads = 0;
    while (!reader.atEnd()) {
        const bool ok = (reads++ % 2 == 0) ? reader.readText(text) : reader.readInteger(number);
        if (text.size() > size) __builtin_trap();
        // Every successful read must consume input, or start-up could spin.
        if (reads > size + 1) __builtin_trap();
        (void)ok;
    }
    std::string roundTrip = pellorin::SettingsWriter().text("value").integer(number).bytes();
    pellorin::FieldReader back(roundTrip);
    std::string value;
    std::int16_t again = 0;
    if (!back.readText(value) || value != "value" || !back.readInteger(again) || again != number) __builtin_trap();
    return 0;
}
