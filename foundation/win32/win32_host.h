#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "foundation/forms.h"

namespace pellorin {

// Message boxes, the yield and the end of the process, on the one UI thread.
class Win32Runtime : public forms::Runtime {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    void addDialogWindow(HWND window) { dialogWindows_.push_back(window); }
    // Hands keyboard navigation (Tab, arrows) to the window it belongs to.
    bool translateDialogMessage(MSG& message);

    void yieldToPendingMessages() override;
    int messageBox(const std::string& text, const std::string& title, int style) override;
    [[noreturn]] void endProgram() override;

    // The program's message loop; returns when the queue says quit.
    int run();

private:
    HWND owner_ = nullptr;
    std::vector<HWND> dialogWindows_;
};

// The window events a form's logic wants to hear about.
struct FormEvents {
    std::function<void()> resize;
    std::function<void()> unload;      // the close box
    std::function<void()> endSession;  // Windows is logging off
    std::function<void()> terminate;
    std::function<void(double x)> mouseMove;  // X in twips
    std::function<void()> taskbarCreated;     // the shell's notification area was rebuilt
};

// A real window built from a form's design: one child control per layout
// entry, the form's timers as window timers, and every notification handed
// back to the portable control it belongs to.
class FormWindow : public forms::WindowHost {
public:
    // Control identifiers start here, in the order of the form's controls.
    static constexpr int firstControlId = 100;

    FormWindow(forms::Form& form, HINSTANCE instance, HICON icon, FormEvents events);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND window() const { return window_; }
    // Resize events before the form has loaded would reach half-built logic.
    void deliverResizeEvents() { resizeEventsOn_ = true; }

    std::uint32_t handle() override;
    std::uint32_t iconHandle() override;
    int windowState() override;
    void setWindowState(int state) override;
    void show() override;
    void hide() override;
    void setTaskbarVisible(bool visible) override;
    double twipsPerPixelX() override;
    void showPopupMenu(forms::MenuItem& menu) override;

private:
    class Peer;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void paintDecorations();
    void onCommand(int id, int code);
    void onTimer(UINT_PTR id);
    void syncTimer(forms::Timer& timer);
    int toPixelsX(int twips) const;
    int toPixelsY(int twips) const;

    forms::Form& form_;
    HINSTANCE instance_;
    HICON icon_;
    FormEvents events_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    HFONT font_ = nullptr;
    int dpiX_ = 96;
    int dpiY_ = 96;
    bool resizeEventsOn_ = false;
    UINT taskbarCreatedMessage_ = 0;
    std::vector<std::unique_ptr<Peer>> peers_;
};

}  // namespace pellorin
