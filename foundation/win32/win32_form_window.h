#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/forms.h"

namespace pellorin {

// The program's icon as Windows draws it: large (Alt+Tab, the pictures in
// the windows) and small (the caption, the notification area).
struct Icons {
    HICON large = nullptr;
    HICON small = nullptr;
};

// A real window built from a form's design: one child control per layout
// entry, the form's timers as window timers, and every notification handed
// back to the portable control or form it belongs to.
class FormWindow : public forms::WindowHost {
public:
    // Control identifiers start here, in the order of the form's controls.
    static constexpr int firstControlId = 100;
    // Layouts are in twips, 1440 to the inch at any resolution.
    static constexpr int twipsPerInch = 1440;

    // A form other than the main one opens in the middle of the monitor
    // that holds mainWindow (the primary one when there is none yet).
    FormWindow(forms::Form& form, HINSTANCE instance, Icons icons, HWND mainWindow);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND window() const { return window_; }
    // Resize events before the form has loaded would reach half-built logic.
    void deliverResizeEvents() { resizeEventsOn_ = true; }
    // The window goes; the portable controls are let go first.
    void destroy();
    bool busy() const { return depth_ > 0; }
    // Space on a link opens it, as Enter does (the link control answers
    // Enter alone); true when the key was taken for that.
    bool opensLink(const MSG& message);

    std::uint32_t handle() override;
    std::uint32_t iconHandle() override;
    int windowState() override;
    void setWindowState(int state) override;
    void show() override;
    void hide() override;
    void setTaskbarVisible(bool visible) override;
    double twipsPerPixelX() override;
    void showPopupMenu(forms::MenuItem& menu) override;
    void showPopupMenuAt(forms::MenuItem& menu, int x, int y) override;

private:
    class Peer;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void arrangeTabOrder();
    void paintDecorations();
    void onCommand(int id, int code);
    void onNotify(const NMHDR& notice);
    // Opens the link that control is, if it is one.
    bool clickLink(HWND control);
    void buildSystemMenu();
    bool onSystemCommand(WPARAM command);
    void onTimer(UINT_PTR id);
    void syncTimer(forms::Timer& timer);
    void trackPopupMenu(forms::MenuItem& menu, POINT at);
    Peer* peerOf(HWND child);
    Peer* peerOf(const forms::Control* control);
    int toPixelsX(int twips) const;
    int toPixelsY(int twips) const;

    forms::Form& form_;
    HINSTANCE instance_;
    Icons icons_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND focus_ = nullptr;  // given back when the window is active again
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    int dpiX_ = 96;
    int dpiY_ = 96;
    int depth_ = 0;  // messages being handled
    bool resizeEventsOn_ = false;
    UINT taskbarCreatedMessage_ = 0;
    UINT comeBackMessage_ = 0;
    std::vector<std::unique_ptr<Peer>> peers_;
};

}  // namespace pellorin
