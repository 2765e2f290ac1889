// The two documents beside the program, shown one at a time in the about box.
#include "about/form3.h"

#include "foundation/settings.h"

namespace pellorin {

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
    return text;
}

void Form3::showDocument(const char* fileName, const char* missingText) {
    const std::optional<std::string> content = context_.files.readAll(settingsPath(context_.files, fileName));
    if (!content) {
        Text1.setText(missingText);
        Text1.setEnabled(false);
        return;
    }
    Text1.setText(documentText(context_.runtime.fromAnsi(*content)));
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
