// The Ctrl+Alt+letter hotkey, polled every 300 ms: hides and shows, or closes,
// every listed browser window but the excluded one.
#include "mainwindow/form1.h"

#include <charconv>

#include "foundation/window_title.h"

namespace pellorin {

namespace {

// A whole decimal number, nothing else; target unchanged otherwise.
bool parseDecimal(std::string_view text, std::int32_t& target) {
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
    target = value;
    return true;
}

}  // namespace

void Form1::Timer2_Timer() {
    Desktop& desktop = context_.desktop;
    const bool letterWasDown = hotkeyLetterDown_;
    hotkeyLetterDown_ = false;
    if (!keyIsDown(desktop.getAsyncKeyState(vk::menu))) return;
    if (!keyIsDown(desktop.getAsyncKeyState(vk::control))) return;
    std::int32_t letter = 0;
    if (!parseDecimal(context_.settings.hotkeyLetter, letter)) return;
    // The letter must be newly pressed: down now, and not at the previous
    // poll, so that holding the keys acts once. The key's own "pressed since
    // the last query" mark is no use here: every program that asks about
    // the letter takes it, so one polling Q for its own ends would swallow
    // our presses.
    hotkeyLetterDown_ = keyIsDown(desktop.getAsyncKeyState(letter));
    if (!hotkeyLetterDown_ || letterWasDown) return;
    if (isAltGrTyping(letter)) return;

    // Hidden windows are listed too, so the next press can show them again.
    cmdRefresh_Click();
    if (Option1.selected())
        hideOrShowListedWindows();
    else if (Option2.selected())
        closeListedWindows();
}

bool Form1::isAltGrTyping(std::int32_t letter) {
    // Windows reports AltGr as the right Alt with a left Ctrl. With the left
    // Alt down it is Ctrl+Alt on any layout; with only the right one it is
    // typing where the layout makes a character of it, and the hotkey where
    // it makes none (or has no AltGr).
    Desktop& desktop = context_.desktop;
    if (keyIsDown(desktop.getAsyncKeyState(vk::leftMenu))) return false;
    if (!keyIsDown(desktop.getAsyncKeyState(vk::rightMenu))) return false;
    return desktop.foregroundLayoutTypesWithCtrlAlt(letter);
}

template <typename Action>
void Form1::forEachListedWindowButExcluded(Action action) {
    Hwnd excluded = 0;
    parseHandle(Text3.text(), excluded);
    for (int index = 0; index < List1.count(); ++index) {
        const auto window = static_cast<Hwnd>(List1.item(index).data);
        if (window != 0 && window != excluded) action(window);
    }
}

void Form1::hideOrShowListedWindows() {
    Desktop& desktop = context_.desktop;
    std::string& state = context_.settings.ieWindowState;
    if (state == "visible") {
        forEachListedWindowButExcluded([&](Hwnd window) { desktop.showWindow(window, show::hide); });
        // New windows must not be maximized into a desktop the user has just cleared.
        Timer1.setEnabled(false);
        state = "hidden";
    } else if (state == "hidden") {
        forEachListedWindowButExcluded([&](Hwnd window) { desktop.showWindow(window, show::show); });
        Timer1.setEnabled(true);
        state = "visible";
    }
}

void Form1::closeListedWindows() {
    Desktop& desktop = context_.desktop;
    forEachListedWindowButExcluded([&](Hwnd window) { desktop.postMessage(window, wmClose, 0, 0); });
    cmdRefresh_Click();
}

}  // namespace pellorin
