// The Ctrl+Alt+letter hotkey, seen by a keyboard hook and polled every 300 ms:
// hides and shows, or closes, every listed browser window but the excluded one.
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

bool Form1::hotkeyLetterCode(std::int32_t& letter) const {
    return parseDecimal(context_.settings.hotkeyLetter, letter);
}

void Form1::Timer2_Timer() {
    Desktop& desktop = context_.desktop;
    const bool letterWasDown = hotkeyLetterDown_;
    hotkeyLetterDown_ = false;
    if (!keyIsDown(desktop.getAsyncKeyState(vk::menu))) return;
    if (!keyIsDown(desktop.getAsyncKeyState(vk::control))) return;
    std::int32_t letter = 0;
    if (!hotkeyLetterCode(letter)) return;
    // The letter must be newly pressed: down now, and not at the previous
    // poll, so that holding the keys acts once. The key's own "pressed since
    // the last query" mark is no use here: every program that asks about
    // the letter takes it, so one polling Q for its own ends would swallow
    // our presses.
    hotkeyLetterDown_ = keyIsDown(desktop.getAsyncKeyState(letter));
    if (!hotkeyLetterDown_ || letterWasDown) return;
    if (isAltGrTyping(letter, keyIsDown(desktop.getAsyncKeyState(vk::leftMenu)),
                      keyIsDown(desktop.getAsyncKeyState(vk::rightMenu))))
        return;
    actOnHotkey();
}

void Form1::letterKeyChanged(const LetterKeyEvent& key) {
    // The hook sees every press, however short, where the 300 ms poll sees
    // only the keys held at its turn; the poll goes on beside it (where no
    // hook could be set, or Windows took it away), and one press is acted on
    // once, whichever of the two sees it first.
    std::int32_t letter = 0;
    if (!hotkeyLetterCode(letter) || key.key != letter) return;
    if (!key.down) {
        hotkeyLetterDown_ = false;
        return;
    }
    // Ctrl and Alt as they were at the press: a quick tap may be over, keys
    // let go, by the time the report is read.
    if (!key.control || !key.alt || hotkeyLetterDown_) return;  // held: auto-repeat
    hotkeyLetterDown_ = true;
    if (isAltGrTyping(letter, key.leftAlt, key.rightAlt)) return;
    actOnHotkey();
}

void Form1::actOnHotkey() {
    // Hidden windows are listed too, so the next press can show them again.
    cmdRefresh_Click();
    if (Option1.selected())
        hideOrShowListedWindows();
    else if (Option2.selected())
        closeListedWindows();
}

bool Form1::isAltGrTyping(std::int32_t letter, bool leftAltDown, bool rightAltDown) {
    // Windows reports AltGr as the right Alt with a left Ctrl. With the left
    // Alt down it is Ctrl+Alt on any layout; with only the right one it is
    // typing where the layout makes a character of it, and the hotkey where
    // it makes none (or has no AltGr).
    if (leftAltDown || !rightAltDown) return false;
    return context_.desktop.foregroundLayoutTypesWithCtrlAlt(letter);
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
