// The controls of a form's window, made from its layout: their kinds and
// fonts, tooltips, names for screen readers, tab order and overlapping, and
// the shapes and lines the window paints itself.
#include "foundation/win32/win32_form_window.h"

#include <commctrl.h>
#include <initguid.h>  // the annotation's identifiers, defined here
#include <oleacc.h>

#include <algorithm>

#include "foundation/win32/win32_control_peer.h"
#include "foundation/win32/win32_text.h"

namespace pellorin {

namespace {

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
            // A link is the system's own: Tab reaches it, Enter and Space
            // open it, and it takes the system's colour for links.
            if (layout.link) return {WC_LINK, WS_TABSTOP, 0};
            return {L"STATIC",
                    static_cast<DWORD>(SS_LEFT | SS_NOPREFIX |
                                       (layout.border ? SS_SUNKEN | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS : 0)),
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

// What the keyboard can reach; the rest (labels, pictures, frames) only shows.
bool takesFocus(const forms::ControlLayout& layout) {
    using forms::Kind;
    return layout.kind == Kind::textBox || layout.kind == Kind::commandButton || layout.kind == Kind::optionButton ||
           layout.kind == Kind::checkBox || layout.kind == Kind::listBox || (layout.kind == Kind::label && layout.link);
}

// Screen readers do not take a picture's name from its window text (an
// icon's text names the icon among the resources): the name is annotated
// on the picture, where Active Accessibility looks first. The thread's
// apartment stays for the run (the shell's calls want one here anyway), so
// whatever keeps the annotation is never unloaded beneath it.
void nameForScreenReaders(HWND picture, const std::wstring& name) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    IAccPropServices* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                   reinterpret_cast<void**>(&services)))) {
        services->SetHwndPropStr(picture, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                 name.c_str());
        services->Release();
    }
}

}  // namespace

void FormWindow::paintDecorations() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    for (forms::Control* control : form_.controls()) {
        const forms::ControlLayout& layout = control->layout();
        if (!isDecoration(layout)) continue;
        const forms::Place& at = control->place();
        RECT place{toPixelsX(at.left), toPixelsY(at.top), toPixelsX(at.left + at.width), toPixelsY(at.top + at.height)};
        DrawEdge(dc, &place, EDGE_ETCHED, layout.kind == forms::Kind::line ? BF_TOP : BF_RECT);
    }
    EndPaint(window_, &paint);
}

int FormWindow::toPixelsX(int twips) const { return MulDiv(twips, dpiX_, twipsPerInch); }
int FormWindow::toPixelsY(int twips) const { return MulDiv(twips, dpiY_, twipsPerInch); }

void FormWindow::createControls() {
    // Tahoma 8.25 pt at the screen's own resolution.
    const auto tahoma = [this](int weight) {
        return CreateFontW(-MulDiv(825, dpiY_, 7200), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           L"Tahoma");
    };
    font_ = tahoma(FW_NORMAL);
    boldFont_ = tahoma(FW_BOLD);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);

    int id = firstControlId;
    for (forms::Control* control : form_.controls()) {
        const forms::ControlLayout& layout = control->layout();
        if (isDecoration(layout)) {
            // Keeps the numbering of the controls after it; no window of its own.
            peers_.push_back(std::make_unique<Peer>(*this, *control, nullptr));
            ++id;
            continue;
        }
        const NativeKind kind = nativeKindOf(layout);
        // Where controls overlap, each paints only what is its own to show.
        const bool isDefault = control == form_.defaultButton();
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style | (isDefault ? BS_DEFPUSHBUTTON : 0) |
                            (layout.visible ? WS_VISIBLE : 0);
        // A picture's text is its name, there from the start: set later, it
        // would be taken for the name of an icon to load.
        const std::wstring name = layout.kind == forms::Kind::image ? widen(layout.caption) : L"";
        HWND child = CreateWindowExW(kind.exStyle, kind.className, name.c_str(), style,
                                     toPixelsX(control->windowLeft()), toPixelsY(control->windowTop()),
                                     toPixelsX(control->place().width), toPixelsY(control->place().height), window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        ++id;
        HFONT font = layout.bold ? boldFont_ : font_;
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (layout.kind == forms::Kind::textBox && (layout.maxLength > 0 || layout.multiLine))
            // A document may well be longer than an edit control takes by default.
            SendMessageW(child, EM_LIMITTEXT, static_cast<WPARAM>(layout.maxLength), 0);
        if (layout.kind == forms::Kind::image) {
            SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(icons_.large), 0);
            if (!name.empty()) nameForScreenReaders(child, name);
        }
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
        auto peer = std::make_unique<Peer>(*this, *control, child);
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
    // A label goes just before the control it names, where screen readers
    // look for the name; the label takes no Tab stop, so Tab is unchanged.
    for (auto& label : peers_) {
        const char* named = label->control().layout().labelFor;
        auto from = std::find(order.begin(), order.end(), label.get());
        if (!named || from == order.end()) continue;
        order.erase(from);
        const auto to = std::find_if(order.begin(), order.end(),
                                     [named](Peer* peer) { return std::string_view(peer->control().name()) == named; });
        order.insert(to, label.get());
    }

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

}  // namespace pellorin
