// One real window per form: its class and place, its messages handed to the
// form and its controls, its timers, and what the form asks of it (shown,
// hidden, minimized, its task-bar button, the tray menu).
#include "foundation/win32/win32_form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "foundation/placement.h"
#include "foundation/running_pellorin.h"
#include "foundation/win32/win32_control_peer.h"
#include "foundation/win32/win32_desktop.h"
#include "foundation/win32/win32_text.h"

namespace pellorin {

namespace {

// The launcher and the installer find the main window by this class too.
const std::wstring formClassName = widen(pellorinWindowClass);

// Builds the native menu; entries are numbered from 1 in the order of `entries`.
HMENU buildMenu(const forms::MenuItem& menu, std::vector<forms::MenuItem*>& entries) {
    HMENU native = CreatePopupMenu();
    for (forms::MenuItem* child : menu.children()) {
        if (child->isSeparator()) {
            AppendMenuW(native, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = (child->enabled() ? MF_ENABLED : MF_GRAYED) | (child->checked() ? MF_CHECKED : MF_UNCHECKED);
        if (!child->children().empty()) {
            AppendMenuW(native, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(buildMenu(*child, entries)),
                        widen(child->caption()).c_str());
            continue;
        }
        entries.push_back(child);
        AppendMenuW(native, flags | MF_STRING, entries.size(), widen(child->caption()).c_str());
    }
    return native;
}

}  // namespace

FormWindow::FormWindow(forms::Form& form, HINSTANCE instance, Icons icons, HWND mainWindow)
    : form_(form), instance_(instance), icons_(icons) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icons.large;
    windowClass.hIconSm = icons.small;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = formClassName.c_str();
    RegisterClassExW(&windowClass);  // fails harmlessly for the second form

    HDC screen = GetDC(nullptr);
    dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    comeBackMessage_ = RegisterWindowMessageW(widen(comeBackMessageName).c_str());

    // A frame leaves its inside to be painted by the window under it.
    const bool hasFrames = std::any_of(form.controls().begin(), form.controls().end(), [](forms::Control* control) {
        return control->layout().kind == forms::Kind::frame;
    });
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | (hasFrames ? 0 : WS_CLIPCHILDREN);
    if (form.border() == forms::Border::fixedWithMinimize) style |= WS_MINIMIZEBOX;
    if (form.border() == forms::Border::sizable) style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    RECT frame{0, 0, toPixelsX(form.clientWidth()), toPixelsY(form.clientHeight())};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // The main window goes where Windows puts new windows; the others open
    // in the middle of the monitor the user works on, the main window's.
    int left = CW_USEDEFAULT;
    int top = CW_USEDEFAULT;
    if (form.border() != forms::Border::fixedWithMinimize) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        const Point32 place = middleOf({work.left, work.top, work.right, work.bottom}, width, height);
        left = place.x;
        top = place.y;
    }
    CreateWindowExW(0, formClassName.c_str(), widen(form.caption()).c_str(), style, left, top, width, height, nullptr,
                    nullptr, instance, this);
    form.attachHost(this);
}

FormWindow::~FormWindow() {
    for (HFONT font : {font_, boldFont_})
        if (font) DeleteObject(font);
}

void FormWindow::destroy() {
    for (auto& peer : peers_) peer->control().attach(nullptr);
    for (forms::Timer* timer : form_.timers()) timer->onEnabledChanged = nullptr;
    form_.attachHost(nullptr);
    if (IsWindow(window_)) DestroyWindow(window_);
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ++self->depth_;
    const LRESULT result = self->onMessage(message, wParam, lParam);
    --self->depth_;
    return result;
}

LRESULT FormWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreatedMessage_ && message != 0) {
        form_.taskbarCreated();
        return 0;
    }
    if (message == comeBackMessage_ && message != 0) {
        form_.comeBackRequested();
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            createControls();
            buildSystemMenu();
            return 0;
        case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_NOTIFY: onNotify(*reinterpret_cast<const NMHDR*>(lParam)); return 0;
        case WM_SYSCOMMAND:
            if (onSystemCommand(wParam)) return 0;
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_HELP:
            // F1, wherever the focus is in the window.
            form_.helpRequested();
            return TRUE;
        case WM_PAINT: paintDecorations(); return 0;
        case WM_TIMER: onTimer(wParam); return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) {
                const double twipsPerPixelY = static_cast<double>(twipsPerInch) / dpiY_;
                form_.clientResized(static_cast<int>(LOWORD(lParam) * twipsPerPixelX()),
                                    static_cast<int>(HIWORD(lParam) * twipsPerPixelY));
            }
            if (resizeEventsOn_) form_.formResized();
            return 0;
        case WM_CLOSE: form_.closeRequested(); return 0;
        case WM_NEXTDLGCTL: {
            // A box of several lines takes every key, and asks for Tab's move itself.
            HWND next =
                LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
            if (next) SetFocus(next);
            return 0;
        }
        case DM_GETDEFID: {
            // What Enter presses, asked by the keyboard handling of dialogs:
            // the button that has the focus, as in every dialog, else the default one.
            Peer* focused = peerOf(GetFocus());
            const bool onButton = focused && focused->control().layout().kind == forms::Kind::commandButton;
            if (Peer* peer = onButton ? focused : peerOf(form_.defaultButton()))
                return MAKELRESULT(GetDlgCtrlID(peer->window()), DC_HASDEFID);
            return 0;
        }
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            if (wParam) form_.sessionEnding();
            return 0;
        case WM_DESTROY: form_.windowDestroyed(); return 0;
        case WM_MOUSEMOVE:
            form_.mouseMoved(GET_X_LPARAM(lParam) * twipsPerPixelX(), static_cast<std::uint32_t>(wParam));
            return 0;
        case WM_ACTIVATE:
            // The keyboard goes back where it was when the user left the window.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window_, focus)) focus_ = focus;
            } else if (focus_ && IsWindow(focus_)) {
                SetFocus(focus_);
                return 0;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void FormWindow::onCommand(int id, int code) {
    if (id == IDCANCEL) {
        // Esc in a dialog, as its close box.
        if (form_.closesOnEscape()) form_.closeRequested();
        return;
    }
    if (id == IDOK) {
        // Enter where the window has no button for it.
        if (forms::CommandButton* button = form_.defaultButton()) button->click();
        return;
    }
    const int index = id - firstControlId;
    if (index < 0 || index >= static_cast<int>(peers_.size())) return;
    Peer& peer = *peers_[static_cast<std::size_t>(index)];
    forms::Control& control = peer.control();
    switch (control.layout().kind) {
        case forms::Kind::commandButton:
        case forms::Kind::image:
            if (code == BN_CLICKED || code == STN_CLICKED) static_cast<forms::CommandButton&>(control).click();
            break;
        case forms::Kind::label:
            if (code == STN_CLICKED) static_cast<forms::Label&>(control).click();
            break;
        case forms::Kind::optionButton:
            if (code == BN_CLICKED) static_cast<forms::OptionButton&>(control).select();
            break;
        case forms::Kind::checkBox:
            if (code == BN_CLICKED) {
                auto& box = static_cast<forms::CheckBox&>(control);
                box.setChecked(!box.checked());
            }
            break;
        case forms::Kind::textBox:
            if (code == EN_CHANGE) peer.onEditChanged();
            break;
        case forms::Kind::listBox:
            if (code == LBN_SELCHANGE) {
                const LRESULT selected = SendMessageW(peer.window(), LB_GETCURSEL, 0, 0);
                static_cast<forms::ListBox&>(control).select(static_cast<int>(selected));
            }
            break;
        default: break;
    }
}

bool FormWindow::clickLink(HWND control) {
    Peer* peer = peerOf(control);
    if (!peer || !peer->control().layout().link) return false;
    static_cast<forms::Label&>(peer->control()).click();
    return true;
}

bool FormWindow::opensLink(const MSG& message) {
    return message.message == WM_KEYDOWN && message.wParam == VK_SPACE && clickLink(message.hwnd);
}

void FormWindow::onNotify(const NMHDR& notice) {
    // A link opened by a click, or by Enter or Space once Tab has reached it.
    if (notice.code == NM_CLICK || notice.code == NM_RETURN) clickLink(notice.hwndFrom);
}

namespace {
// The form's own system-menu entries go by these commands: below Windows'
// own (0xF000 and up), with the low four bits clear, which Windows uses.
constexpr UINT firstSystemCommand = 0x1000;
constexpr UINT systemCommandStep = 0x10;
}  // namespace

void FormWindow::buildSystemMenu() {
    const auto& entries = form_.systemMenu();
    HMENU menu = entries.empty() ? nullptr : GetSystemMenu(window_, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (std::size_t index = 0; index < entries.size(); ++index)
        AppendMenuW(menu, MF_STRING, firstSystemCommand + index * systemCommandStep,
                    widen(entries[index]->caption()).c_str());
}

bool FormWindow::onSystemCommand(WPARAM command) {
    const auto& entries = form_.systemMenu();
    const WPARAM id = command & 0xFFF0;
    if (id < firstSystemCommand) return false;
    const std::size_t index = (id - firstSystemCommand) / systemCommandStep;
    if (index >= entries.size()) return false;
    entries[index]->click();
    return true;
}

void FormWindow::syncTimer(forms::Timer& timer) {
    const auto& timers = form_.timers();
    for (std::size_t index = 0; index < timers.size(); ++index) {
        if (timers[index] != &timer) continue;
        if (timer.enabled())
            SetTimer(window_, index + 1, static_cast<UINT>(timer.interval()), nullptr);
        else
            KillTimer(window_, index + 1);
    }
}

void FormWindow::onTimer(UINT_PTR id) {
    const auto& timers = form_.timers();
    if (id >= 1 && id <= timers.size()) timers[id - 1]->tick();
}

std::uint32_t FormWindow::handle() { return fromNative(window_); }

std::uint32_t FormWindow::iconHandle() { return fromNative(icons_.small); }

int FormWindow::windowState() {
    if (IsIconic(window_)) return 1;
    if (IsZoomed(window_)) return 2;
    return 0;
}

void FormWindow::setWindowState(int state) {
    if (state == 1)
        ShowWindow(window_, SW_MINIMIZE);
    else if (state == 2)
        ShowWindow(window_, SW_MAXIMIZE);
    else if (IsIconic(window_) || IsZoomed(window_))
        ShowWindow(window_, SW_RESTORE);
}

void FormWindow::show() {
    const bool opening = !IsWindowVisible(window_) && !focus_;
    const bool wasMinimized = IsIconic(window_) != FALSE;
    // Windows may put the show command the program was started with in
    // place of the first plain show of its main window: after a start from
    // a shortcut set to "Minimized" this show would minimize it, and the
    // minimize would send it back to the tray. It is undone here, quietly.
    const bool resizeEvents = resizeEventsOn_;
    resizeEventsOn_ = false;
    ShowWindow(window_, SW_SHOW);
    if (!wasMinimized && IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    resizeEventsOn_ = resizeEvents;
    // Brought back from the tray, or opened once more: the user wants it in front.
    SetForegroundWindow(window_);
    if (!opening || !form_.firstFocus()) return;
    for (auto& peer : peers_)
        if (&peer->control() == form_.firstFocus() && peer->window()) {
            focus_ = peer->window();
            SetFocus(focus_);
        }
}

void FormWindow::hide() { ShowWindow(window_, SW_HIDE); }

void FormWindow::setTaskbarVisible(bool visible) {
    // A tool window gets no task-bar button and stays out of Alt+Tab.
    const LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE);
    const LONG_PTR wanted =
        visible ? (exStyle & ~WS_EX_TOOLWINDOW) | WS_EX_APPWINDOW : (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW;
    if (wanted == exStyle) return;
    // The task bar looks at a window's style only when the window is shown,
    // so a shown window is shown anew. (Going to the tray, the window is
    // hidden right after this, which takes its button away.)
    const bool reshow = visible && IsWindowVisible(window_);
    if (reshow) ShowWindow(window_, SW_HIDE);
    SetWindowLongPtrW(window_, GWL_EXSTYLE, wanted);
    if (reshow) ShowWindow(window_, SW_SHOW);
}

double FormWindow::twipsPerPixelX() { return static_cast<double>(twipsPerInch) / dpiX_; }

void FormWindow::showPopupMenu(forms::MenuItem& menu) {
    POINT at{};
    GetCursorPos(&at);
    trackPopupMenu(menu, at);
}

void FormWindow::showPopupMenuAt(forms::MenuItem& menu, int x, int y) { trackPopupMenu(menu, POINT{x, y}); }

void FormWindow::trackPopupMenu(forms::MenuItem& menu, POINT at) {
    std::vector<forms::MenuItem*> entries;
    HMENU native = buildMenu(menu, entries);
    // A menu whose owner is not the foreground window stays open when the
    // user clicks elsewhere, and the keyboard never reaches it. The message
    // posted after it lets the menu's mode end properly before the next one.
    SetForegroundWindow(window_);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(native, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr));
    PostMessageW(window_, WM_NULL, 0, 0);
    DestroyMenu(native);  // submenus go with it
    if (chosen >= 1 && chosen <= entries.size()) entries[chosen - 1]->click();
}

}  // namespace pellorin
