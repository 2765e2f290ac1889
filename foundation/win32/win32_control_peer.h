#pragma once

#include <windows.h>

#include <string>

#include "foundation/forms.h"
#include "foundation/win32/win32_form_window.h"

namespace pellorin {

// Keeps one real control in step with its portable twin.
class FormWindow::Peer : public forms::ControlPeer {
public:
    Peer(FormWindow& owner, forms::Control& control, HWND window) : owner_(owner), control_(control), window_(window) {}

    forms::Control& control() { return control_; }
    HWND window() const { return window_; }

    void update(forms::Control& control, forms::Aspect aspect) override;
    // The user typed: hand the text to the portable box, which raises its
    // change event. Our own SetWindowText echoes back here and is ignored.
    // The box then tells us of its new text, which the control shows
    // already: setting it again would put the caret back at the start.
    void onEditChanged();
    void pushInitialState();

private:
    void setText(const std::string& text);
    void addItem(const forms::ListBox::Item& item);
    void refillList(const forms::ListBox& list);

    FormWindow& owner_;
    forms::Control& control_;
    HWND window_;
    bool settingText_ = false;
};

// A control's text, as UTF-8.
std::string windowText(HWND window);
void setStyleBit(HWND window, LONG_PTR bit, bool on);

}  // namespace pellorin
