// The real controls kept in step with their portable twins: text, state,
// items and focus go out to the control, what the user types comes back.
#include "foundation/win32/win32_control_peer.h"

#include "foundation/win32/win32_text.h"

namespace pellorin {

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void setStyleBit(HWND window, LONG_PTR bit, bool on) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wanted = on ? style | bit : style & ~bit;
    if (wanted != style) SetWindowLongPtrW(window, GWL_STYLE, wanted);
}

void FormWindow::Peer::update(forms::Control& control, forms::Aspect aspect) {
    using forms::Aspect;
    switch (aspect) {
        case Aspect::text:
            if (auto* box = dynamic_cast<forms::TextBox*>(&control))
                setText(box->text());
            else if (auto* label = dynamic_cast<forms::Label*>(&control))
                setText(label->caption());
            else if (auto* button = dynamic_cast<forms::CommandButton*>(&control))
                setText(button->caption());
            break;
        case Aspect::enabled: EnableWindow(window_, control.usable()); break;
        case Aspect::visible: ShowWindow(window_, control.visible() ? SW_SHOW : SW_HIDE); break;
        case Aspect::checked: {
            bool checked = false;
            if (auto* option = dynamic_cast<forms::OptionButton*>(&control)) checked = option->selected();
            if (auto* box = dynamic_cast<forms::CheckBox*>(&control)) checked = box->checked();
            SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
            // Tab stops at the selected option of a group, as in every dialog.
            if (dynamic_cast<forms::OptionButton*>(&control)) setStyleBit(window_, WS_TABSTOP, checked);
            break;
        }
        case Aspect::items: refillList(static_cast<forms::ListBox&>(control)); break;
        case Aspect::itemAdded: addItem(static_cast<forms::ListBox&>(control).items().back()); break;
        case Aspect::selection:
            if (auto* box = dynamic_cast<forms::TextBox*>(&control))
                SendMessageW(window_, EM_SETSEL, static_cast<WPARAM>(box->selectionStart()),
                             static_cast<LPARAM>(box->selectionStart()));
            else
                SendMessageW(window_, LB_SETCURSEL,
                             static_cast<WPARAM>(static_cast<forms::ListBox&>(control).selectedIndex()), 0);
            break;
        case Aspect::focus: SetFocus(window_); break;
        case Aspect::place: {
            const forms::Place& place = control.place();
            MoveWindow(window_, owner_.toPixelsX(control.windowLeft()), owner_.toPixelsY(control.windowTop()),
                       owner_.toPixelsX(place.width), owner_.toPixelsY(place.height), TRUE);
            break;
        }
    }
}

void FormWindow::Peer::onEditChanged() {
    if (settingText_) return;
    if (auto* box = dynamic_cast<forms::TextBox*>(&control_)) box->setText(windowText(window_));
}

void FormWindow::Peer::pushInitialState() {
    const forms::Kind kind = control_.layout().kind;
    if (kind == forms::Kind::textBox || kind == forms::Kind::label || kind == forms::Kind::commandButton)
        update(control_, forms::Aspect::text);
    else if (kind == forms::Kind::optionButton || kind == forms::Kind::checkBox || kind == forms::Kind::frame)
        setText(control_.layout().caption);
    if (dynamic_cast<forms::OptionButton*>(&control_) || dynamic_cast<forms::CheckBox*>(&control_))
        update(control_, forms::Aspect::checked);
    if (auto* list = dynamic_cast<forms::ListBox*>(&control_)) refillList(*list);
    EnableWindow(window_, control_.usable());
}

void FormWindow::Peer::setText(const std::string& text) {
    // A link's text is the link itself, marked up as the link control reads it.
    const std::string shown = control_.layout().link ? "<a>" + text + "</a>" : text;
    if (windowText(window_) == shown) return;
    settingText_ = true;
    SetWindowTextW(window_, widen(shown).c_str());
    settingText_ = false;
}

void FormWindow::Peer::addItem(const forms::ListBox::Item& item) {
    const LRESULT index = SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item.text).c_str()));
    if (index >= 0) SendMessageW(window_, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(item.data));
}

void FormWindow::Peer::refillList(const forms::ListBox& list) {
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window_, LB_RESETCONTENT, 0, 0);
    for (const auto& item : list.items()) addItem(item);
    SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(list.selectedIndex()), 0);
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace pellorin
