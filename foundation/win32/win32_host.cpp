#include "foundation/win32/win32_host.h"

#include <commctrl.h>
#include <windowsx.h>

#include "foundation/placement.h"
#include "foundation/running_pellorin.h"
#include "foundation/win32/win32_desktop.h"
#include "foundation/win32/win32_text.h"

#include <algorithm>
#include <string>

namespace pellorin {

namespace {

// The launcher and the installer find the main window by this class too.
const std::wstring formClassName = widen(pellorinWindowClass);
constexpr int twipsPerInch = 1440;

struct NativeKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

bool isDecoration(const forms::ControlLayout& layout) {
    return layout.kind == forms::Kind::shape || layout.kind == forms::Kind::line;
}

NativeKind nativeKindOf(const forms::ControlLayout& layout) {
    using forms::Kind;
    switch (layout.kind) {
        case Kind::label:
            return {L"STATIC",
                    static_cast<DWORD>(SS_LEFT | SS_NOPREFIX | (layout.link ? SS_NOTIFY : 0) |
                                       (layout.border ? SS_SUNKEN | SS_LEFTNOWORDWRAP : 0)),
                    0};
        case Kind::textBox: {
            // In a box of several lines Enter starts a line and presses no button.
            const DWORD lines =
                layout.multiLine ? ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL : ES_AUTOHSCROLL;
            return {L"EDIT", static_cast<DWORD>(lines | WS_TABSTOP | (layout.readOnly ? ES_READONLY : 0)),
                    WS_EX_CLIENTEDGE};
        }
        case Kind::commandButton: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        // The portable check state is the truth, so check boxes do not check
        // themselves. Option buttons do, so that the arrow keys choose within
        // a group; the click they report selects the portable one as well.
        case Kind::optionButton: return {L"BUTTON", BS_AUTORADIOBUTTON, 0};
        case Kind::checkBox: return {L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0};
        case Kind::listBox:
            return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case Kind::image: return {L"STATIC", SS_ICON | SS_NOTIFY | SS_CENTERIMAGE, 0};
        case Kind::frame: return {L"BUTTON", BS_GROUPBOX, 0};
        case Kind::shape:
        case Kind::line: break;  // painted by the form itself
    }
    return {L"STATIC", 0, 0};
}

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

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

// What the keyboard can reach; the rest (labels, pictures, frames) only shows.
bool takesFocus(const forms::ControlLayout& layout) {
    using forms::Kind;
    return layout.kind == Kind::textBox || layout.kind == Kind::commandButton || layout.kind == Kind::optionButton ||
           layout.kind == Kind::checkBox || layout.kind == Kind::listBox;
}

void setStyleBit(HWND window, LONG_PTR bit, bool on) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wanted = on ? style | bit : style & ~bit;
    if (wanted != style) SetWindowLongPtrW(window, GWL_STYLE, wanted);
}

}  // namespace

// Keeps one real control in step with its portable twin.
class FormWindow::Peer : public forms::ControlPeer {
public:
    Peer(forms::Control& control, HWND window) : control_(control), window_(window) {}

    forms::Control& control() { return control_; }
    HWND window() const { return window_; }

    void update(forms::Control& control, forms::Aspect aspect) override {
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
        }
    }

    // The user typed: hand the text to the portable box, which raises its
    // change event. Our own SetWindowText echoes back here and is ignored.
    // The box then tells us of its new text, which the control shows
    // already: setting it again would put the caret back at the start.
    void onEditChanged() {
        if (settingText_) return;
        if (auto* box = dynamic_cast<forms::TextBox*>(&control_)) box->setText(windowText(window_));
    }

    void pushInitialState() {
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

private:
    void setText(const std::string& text) {
        if (windowText(window_) == text) return;
        settingText_ = true;
        SetWindowTextW(window_, widen(text).c_str());
        settingText_ = false;
    }

    void addItem(const forms::ListBox::Item& item) {
        const LRESULT index =
            SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item.text).c_str()));
        if (index >= 0)
            SendMessageW(window_, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(item.data));
    }

    void refillList(const forms::ListBox& list) {
        SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
        SendMessageW(window_, LB_RESETCONTENT, 0, 0);
        for (const auto& item : list.items()) addItem(item);
        SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(list.selectedIndex()), 0);
        SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }

    forms::Control& control_;
    HWND window_;
    bool settingText_ = false;
};

Win32Runtime::~Win32Runtime() = default;

forms::WindowHost& Win32Runtime::createWindow(forms::Form& form) {
    std::erase_if(closed_, [](const std::unique_ptr<FormWindow>& closed) { return !closed->busy(); });
    auto window = std::make_unique<FormWindow>(form, instance_, icons_, owner_);
    FormWindow& created = *window;
    windows_[&form] = std::move(window);
    return created;
}

void Win32Runtime::destroyWindow(forms::Form& form) {
    auto found = windows_.find(&form);
    if (found == windows_.end()) return;
    std::unique_ptr<FormWindow> window = std::move(found->second);
    windows_.erase(found);
    window->destroy();
    closed_.push_back(std::move(window));
}

bool Win32Runtime::translateDialogMessage(MSG& message) {
    // The window the message is for, or the one its control belongs to.
    HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    for (const auto& [form, window] : windows_)
        if (window->window() == top) return IsDialogMessageW(top, &message) != FALSE;
    return false;
}

void Win32Runtime::dispatch(MSG& message) {
    if (translateDialogMessage(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32Runtime::yieldToPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit for the main loop to see.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

int Win32Runtime::messageBox(const std::string& text, const std::string& title, int style) {
    // The box belongs to the window the user is working in, if it is ours.
    HWND owner = GetActiveWindow();
    if (!owner) owner = owner_;
    return MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), static_cast<UINT>(style));
}

std::string Win32Runtime::decimalSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1) return ".";
    return narrow(separator);
}

std::string Win32Runtime::fromAnsi(std::string_view ansi) { return narrow(widen(ansi, CP_ACP)); }

std::string Win32Runtime::toAnsi(std::string_view text) { return narrow(widen(text), CP_ACP); }

std::size_t Win32Runtime::ansiCharacterLength(std::string_view ansi) { return pellorin::ansiCharacterLength(ansi); }

std::optional<std::string> Win32Runtime::decode(std::string_view bytes, std::uint32_t codePage) {
    return decodeCodePage(bytes, codePage);
}

void Win32Runtime::endProgram() {
    if (owner_ && IsWindow(owner_)) DestroyWindow(owner_);
    ExitProcess(0);
}

int Win32Runtime::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
    return static_cast<int>(message.wParam);
}

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
    for (HFONT font : {font_, boldFont_, linkFont_})
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
        case WM_CREATE: createControls(); return 0;
        case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_PAINT: paintDecorations(); return 0;
        case WM_TIMER: onTimer(wParam); return 0;
        case WM_SIZE:
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
        case WM_MOUSEMOVE: form_.mouseMoved(GET_X_LPARAM(lParam) * twipsPerPixelX()); return 0;
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
        case WM_SETCURSOR:
            if (Peer* peer = peerOf(reinterpret_cast<HWND>(wParam)); peer && peer->control().layout().link) {
                SetCursor(LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_CTLCOLORSTATIC:
            if (Peer* peer = peerOf(reinterpret_cast<HWND>(lParam)); peer && peer->control().layout().link) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                // The blue of links on Windows' own pages.
                SetTextColor(dc, peer->control().usable() ? RGB(0, 102, 204) : GetSysColor(COLOR_GRAYTEXT));
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void FormWindow::paintDecorations() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    for (forms::Control* control : form_.controls()) {
        const forms::ControlLayout& layout = control->layout();
        if (!isDecoration(layout)) continue;
        RECT place{toPixelsX(layout.left), toPixelsY(layout.top), toPixelsX(layout.left + layout.width),
                   toPixelsY(layout.top + layout.height)};
        DrawEdge(dc, &place, EDGE_ETCHED, layout.kind == forms::Kind::line ? BF_TOP : BF_RECT);
    }
    EndPaint(window_, &paint);
}

int FormWindow::toPixelsX(int twips) const { return MulDiv(twips, dpiX_, twipsPerInch); }
int FormWindow::toPixelsY(int twips) const { return MulDiv(twips, dpiY_, twipsPerInch); }

void FormWindow::createControls() {
    // Tahoma 8.25 pt at the screen's own resolution.
    const auto tahoma = [this](int weight, bool underline) {
        return CreateFontW(-MulDiv(825, dpiY_, 7200), 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           L"Tahoma");
    };
    font_ = tahoma(FW_NORMAL, false);
    boldFont_ = tahoma(FW_BOLD, false);
    linkFont_ = tahoma(FW_NORMAL, true);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);

    int id = firstControlId;
    for (forms::Control* control : form_.controls()) {
        const forms::ControlLayout& layout = control->layout();
        if (isDecoration(layout)) {
            // Keeps the numbering of the controls after it; no window of its own.
            peers_.push_back(std::make_unique<Peer>(*control, nullptr));
            ++id;
            continue;
        }
        const NativeKind kind = nativeKindOf(layout);
        // Where controls overlap, each paints only what is its own to show.
        const bool isDefault = control == form_.defaultButton();
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style | (isDefault ? BS_DEFPUSHBUTTON : 0) |
                            (layout.visible ? WS_VISIBLE : 0);
        HWND child = CreateWindowExW(kind.exStyle, kind.className, L"", style, toPixelsX(control->windowLeft()),
                                     toPixelsY(control->windowTop()), toPixelsX(layout.width), toPixelsY(layout.height),
                                     window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        ++id;
        HFONT font = layout.bold ? boldFont_ : layout.link ? linkFont_ : font_;
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (layout.kind == forms::Kind::textBox && (layout.maxLength > 0 || layout.multiLine))
            // A document may well be longer than an edit control takes by default.
            SendMessageW(child, EM_LIMITTEXT, static_cast<WPARAM>(layout.maxLength), 0);
        if (layout.kind == forms::Kind::image)
            SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(icons_.large), 0);
        if (tooltip_ && layout.tooltip && *layout.tooltip) {
            std::wstring tip = widen(layout.tooltip);  // the tooltip keeps a copy
            TOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V1_SIZE;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = window_;
            tool.uId = reinterpret_cast<UINT_PTR>(child);
            tool.lpszText = tip.data();
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        auto peer = std::make_unique<Peer>(*control, child);
        peer->pushInitialState();
        control->attach(peer.get());
        peers_.push_back(std::move(peer));
    }
    arrangeTabOrder();

    for (forms::Timer* timer : form_.timers()) {
        timer->onEnabledChanged = [this](forms::Timer& changed) { syncTimer(changed); };
        syncTimer(*timer);
    }
}

void FormWindow::arrangeTabOrder() {
    // Tab follows the order of the child windows, and so does painting where
    // they overlap, the first on top: first what the keyboard reaches, in the
    // form's tab order when it has one, then labels and pictures, beneath
    // the buttons they may reach into, and last the frames, beneath what
    // they hold (a frame in a frame above the one it stands in).
    std::vector<Peer*> order;
    const auto place = [&order](Peer* peer) {
        if (peer && peer->window() && std::find(order.begin(), order.end(), peer) == order.end()) order.push_back(peer);
    };
    for (forms::Control* control : form_.tabOrder()) place(peerOf(control));
    for (auto& peer : peers_)
        if (takesFocus(peer->control().layout())) place(peer.get());
    for (auto& peer : peers_)
        if (peer->control().layout().kind != forms::Kind::frame) place(peer.get());
    for (auto& peer : peers_)
        if (peer->control().layout().container) place(peer.get());
    for (auto& peer : peers_) place(peer.get());

    HWND after = HWND_TOP;
    const forms::OptionButton* previousOption = nullptr;
    for (Peer* peer : order) {
        SetWindowPos(peer->window(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = peer->window();
        // The arrow keys move within a group: the options of one group
        // follow each other, and every other control stands alone.
        const auto* option = dynamic_cast<const forms::OptionButton*>(&peer->control());
        const bool continuesGroup =
            option && previousOption && option->group() && option->group() == previousOption->group();
        setStyleBit(peer->window(), WS_GROUP, !continuesGroup);
        previousOption = option;
    }
    // An option button that checks itself unchecks the others of its group,
    // which until now was every option of the window: each shows its own
    // state again.
    for (Peer* peer : order)
        if (peer->control().layout().kind == forms::Kind::optionButton)
            peer->update(peer->control(), forms::Aspect::checked);
}

FormWindow::Peer* FormWindow::peerOf(const forms::Control* control) {
    for (auto& peer : peers_)
        if (&peer->control() == control) return peer.get();
    return nullptr;
}

FormWindow::Peer* FormWindow::peerOf(HWND child) {
    if (!child) return nullptr;
    for (auto& peer : peers_)
        if (peer->window() == child) return peer.get();
    return nullptr;
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
    std::vector<forms::MenuItem*> entries;
    HMENU native = buildMenu(menu, entries);
    POINT at{};
    GetCursorPos(&at);
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
