// "Auto": the title suffix taken from the browser's own window title setting
// in the registry, with an offer to reset a title too short to tell by.
#include "mainwindow/form1.h"

#include <algorithm>

#include "foundation/outside_scripts.h"
#include "foundation/window_title.h"

namespace pellorin {

namespace {

// The registry value is first read into a buffer of this size.
constexpr std::uint32_t initialTitleBuffer = 255;

}  // namespace

void Form1::cmdAutoTitle_Click() {
    Desktop& desktop = context_.desktop;
    forms::Runtime& runtime = context_.runtime;

    Desktop::RegistryKey key = 0;
    if (desktop.regOpenCurrentUserKey(browserKey, reg::keyRead, key) != 0) {
        runtime.messageBox("Error, couldn\u00b4t read from the registry", form1::caption, forms::mb::iconStop);
        return;
    }

    bool isString = false;
    const std::string title = readBrowserTitle(key, isString);
    if (!isString) {
        runtime.messageBox(
            "The title of Internet Explorer seems to be set to default.If not, set it to default by clicking the "
            "setup button!",
            form1::caption, forms::mb::ok);
        setTitleSuffix("Explorer");
    } else {
        setTitleSuffix(std::string(lastEightCharacters(runtime, title)));
        if (ansiCharacterCount(runtime, titleSuffix_) < 8) {
            const int answer = runtime.messageBox(
                "The title of Internet Explorer has to be at least 8 characters long, do you want to set the title "
                "to default? Note: Registry change needed!",
                form1::caption, forms::mb::yesNo);
            if (answer == forms::mb::answerYes) {
                // The script changes the very value we hold open.
                desktop.regCloseKey(key);
                runOutsideScript(context_, *this, scripts::resetTitle);
                setTitleSuffix("Explorer");
                return;
            }
        }
    }
    desktop.regCloseKey(key);
}

std::string Form1::readBrowserTitle(Desktop::RegistryKey key, bool& isString) {
    Desktop& desktop = context_.desktop;
    std::uint32_t type = 0;
    std::uint32_t size = initialTitleBuffer;
    std::string buffer(initialTitleBuffer, ' ');
    std::int32_t result = desktop.regQueryValue(key, browserTitleValue, type, buffer, size);
    // A long title does not fit the first buffer; read it whole, so that its
    // true last characters are found. The value may grow between two reads.
    for (int attempt = 0; result == reg::moreData && attempt < 4; ++attempt) {
        if (type != reg::typeString || size > longestTitleRead) break;
        buffer.assign(size, ' ');
        result = desktop.regQueryValue(key, browserTitleValue, type, buffer, size);
    }
    isString = type == reg::typeString && result != reg::moreData;
    if (!isString) return "";
    // The reported size counts the terminating zero; a value stored without
    // one ends at the size.
    buffer.resize(std::min<std::size_t>(size, buffer.size()));
    return buffer.substr(0, buffer.find('\0'));
}

}  // namespace pellorin
