// The two documents beside the program, shown one at a time in the about box.
#include "about/form3.h"

#include <algorithm>
#include <utility>

#include "foundation/settings.h"
#include "foundation/text.h"

namespace pellorin {

std::string documentCharacters(std::string_view bytes, bool cut, forms::Runtime& runtime) {
    // Notepad marks UTF-8 and UTF-16 with a byte order mark, and saves UTF-8
    // without one too; what reads as UTF-8 is taken as such, as on the web.
    if (auto text = textByByteOrderMark(bytes, cut)) return *std::move(text);
    if (readsAsUtf8(bytes, cut)) return repairedUtf8(bytes, cut);
    if (cut) {
        // Counted from the start: only there are the code page's characters known.
        std::size_t whole = 0;
        for (std::size_t length = 0; whole < bytes.size(); whole += length) {
            length = runtime.ansiCharacterLength(bytes.substr(whole));
            if (length > bytes.size() - whole) break;
        }
        bytes = bytes.substr(0, whole);
    }
    return runtime.fromAnsi(bytes);
}

std::string documentText(const std::string& content) {
    // Built whole and set once: adding line by line to the box would cost
    // time growing with the square of the document's size.
    std::string text;
    text.reserve(content.size() + content.size() / 16 + 2);
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            text.append(content, start, std::string::npos).append("\r\n");
            break;
        }
        text.append(content, start, end - start).append("\r\n");
        // A line ends at CR LF, a lone CR or a lone LF.
        start = end + (content.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    // The box's text would end at a NUL, and with it the document.
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

void Form3::showDocument(const char* fileName, const char* missingText) {
    const std::optional<std::string> content = context_.files.readAll(settingsPath(context_.files, fileName));
    if (!content) {
        Text1.setText(missingText);
        Text1.setEnabled(false);
        return;
    }
    const bool cut = content->size() >= FileStore::largestRead;
    Text1.setText(documentText(documentCharacters(*content, cut, context_.runtime)));
}

void Form3::Command3_Click() {
    Text1.setEnabled(true);
    Text1.setText("");
    if (Command3.caption() == "FAQ") {
        Command3.setCaption("Read Me");
        showDocument(form3::faq, form3::faqMissing);
    } else {
        Command3.setCaption("FAQ");
        showDocument(form3::readme, form3::readmeMissing);
    }
}

}  // namespace pellorin
