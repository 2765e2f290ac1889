#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "foundation/forms.h"
#include "foundation/win32/win32_form_window.h"

namespace pellorin {

// Message boxes, the yield, the windows of the forms and the end of the
// process, on the one UI thread.
class Win32Runtime : public forms::Runtime {
public:
    Win32Runtime(HINSTANCE instance, Icons icons) : instance_(instance), icons_(icons) {}
    ~Win32Runtime() override;

    // The main window: message boxes belong to it when no other window of
    // ours is active, the others open on its monitor, and it goes last when
    // the program ends.
    void setOwner(HWND owner) { owner_ = owner; }

    forms::WindowHost& createWindow(forms::Form& form) override;
    void destroyWindow(forms::Form& form) override;
    FormWindow& windowOf(forms::Form& form) { return *windows_.at(&form); }

    void yieldToPendingMessages() override;
    int messageBox(const std::string& text, const std::string& title, int style) override;
    std::string decimalSeparator() override;
    std::string fromAnsi(std::string_view ansi) override;
    std::string toAnsi(std::string_view text) override;
    std::size_t ansiCharacterLength(std::string_view ansi) override;
    std::optional<std::string> decode(std::string_view bytes, std::uint32_t codePage) override;
    [[noreturn]] void endProgram() override;

    // The program's message loop; returns when the queue says quit.
    int run();

private:
    // Hands keyboard navigation (Tab, arrows, Esc) to the window it belongs to.
    bool translateDialogMessage(MSG& message);
    void dispatch(MSG& message);

    HINSTANCE instance_;
    Icons icons_;
    HWND owner_ = nullptr;
    std::map<forms::Form*, std::unique_ptr<FormWindow>> windows_;
    // Closed windows whose message handling may still be on the stack.
    std::vector<std::unique_ptr<FormWindow>> closed_;
};

}  // namespace pellorin
