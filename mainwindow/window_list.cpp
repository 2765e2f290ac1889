// The list of open browser windows, and the one window excluded from the
// hotkey by a click on its title.
#include "mainwindow/form1.h"

#include <algorithm>

#include "foundation/window_title.h"

namespace pellorin {

void Form1::cmdRefresh_Click() {
    List1.clear();
    context_.desktop.enumWindows([this](Hwnd window, std::int32_t value) { return enumIeWindowsProc(window, value); },
                                 0);
    List1.setEnabled(true);
    if (List1.itemText(0).empty()) {
        List1.addItem(form1::noWindowsPlaceholder, 0);
        List1.setEnabled(false);
    }
}

std::int32_t Form1::enumIeWindowsProc(Hwnd window, std::int32_t /*value*/) {
    const std::string title = readWindowTitle(context_.desktop, window);
    if (title.empty()) return 1;
    if (lastEightCharacters(context_.runtime, title) == titleSuffix_ && !isFolderWindow(context_.desktop, window))
        List1.addItem(context_.runtime.fromAnsi(title), static_cast<std::int32_t>(window));
    return 1;
}

void Form1::setTitleSuffix(std::string ansi) {
    // As Text1 holds it: up to a NUL, which no text box shows.
    ansi.resize(std::min(ansi.size(), ansi.find('\0')));
    titleSuffix_ = std::move(ansi);
    Text1.setText(context_.runtime.fromAnsi(titleSuffix_));
}

void Form1::Text1_Change() {
    // Typed by the user. A text we put there ourselves keeps the bytes it
    // came as, even those that do not survive a trip through the code page.
    if (Text1.text() != context_.runtime.fromAnsi(titleSuffix_)) titleSuffix_ = context_.runtime.toAnsi(Text1.text());
}

void Form1::List1_Click() {
    for (int index = 0; index < List1.count(); ++index) {
        if (!List1.isSelected(index)) continue;
        Text2.setText(List1.item(index).text);
        Text3.setText(std::to_string(List1.item(index).data));
    }
}

void Form1::cmdClear_Click() {
    Text2.setText("");
    Text3.setText("");
    Text2.setFocus();
}

}  // namespace pellorin
