#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/code_pages.h"

// Every text of the forms layer (captions, texts, list entries, message
// boxes) is UTF-8, so that the program's own texts read the same on every
// system. What comes from outside in the system's ANSI code page goes
// through the runtime's fromAnsi on its way in.
namespace pellorin::forms {

// Shapes and lines only decorate; they have no state or events.
enum class Kind { label, textBox, commandButton, optionButton, checkBox, listBox, image, frame, shape, line };

// One control of a window's design: where it stands (twips) and how it starts.
struct ControlLayout {
    Kind kind;
    const char* name;
    const char* caption;  // text of a text box, name of a picture, caption of the others
    int left, top, width, height;
    const char* tooltip = "";
    bool visible = true;
    bool enabled = true;
    bool checked = false;  // option buttons and check boxes
    int maxLength = 0;     // text boxes: characters the user may type, 0 for no limit
    bool readOnly = false;
    // The frame this control stands in; its place is then relative to the frame.
    const char* container = nullptr;
    bool bold = false;
    bool link = false;       // labels: drawn as a link, and clickable
    bool multiLine = false;  // text boxes: lines, with a vertical scroll bar
    bool border = false;     // labels: a sunken strip of one line, ending in an ellipsis when full
    // Labels: the control this one names. Screen readers take the name of a
    // box or a list from the label just before it in the window's order.
    const char* labelFor = nullptr;
};

// Where a control stands, in twips: in its frame, or in the window.
struct Place {
    int left, top, width, height;
    bool operator==(const Place&) const = default;
};

// What a host has to bring up to date on the real control.
enum class Aspect { text, enabled, visible, checked, items, itemAdded, selection, focus, place };

class Control;

// The real control behind a portable one. Hosts implement it; the unit tests
// run without any, so the portable state is the whole truth there.
class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual void update(Control& control, Aspect aspect) = 0;
};

class Control {
public:
    explicit Control(const ControlLayout& layout);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const ControlLayout& layout() const { return layout_; }
    const char* name() const { return layout_.name; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // A control in a disabled frame cannot be used, whatever its own state.
    bool usable() const { return enabled_ && (!container_ || container_->usable()); }
    // Where it stands now: as designed, until the window's code moves it.
    const Place& place() const { return place_; }
    void setPlace(const Place& place);
    // The place in the window, frames included, in twips.
    int windowLeft() const { return place_.left + (container_ ? container_->windowLeft() : 0); }
    int windowTop() const { return place_.top + (container_ ? container_->windowTop() : 0); }
    void placeIn(Control& frame);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    void setFocus() { notify(Aspect::focus); }

    void attach(ControlPeer* peer) { peer_ = peer; }

protected:
    void notify(Aspect aspect) {
        if (peer_) peer_->update(*this, aspect);
    }

private:
    void usabilityChanged();
    void placeChanged();

    const ControlLayout& layout_;
    Place place_;
    bool enabled_;
    bool visible_;
    ControlPeer* peer_ = nullptr;
    Control* container_ = nullptr;
    std::vector<Control*> contents_;
};

class Label : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    // Links are labels a click acts on.
    std::function<void()> onClick;
    void click() {
        if (usable() && onClick) onClick();
    }

private:
    std::string caption_ = layout().caption;
};

class CommandButton : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    std::function<void()> onClick;
    void click() {
        if (usable() && onClick) onClick();
    }

private:
    std::string caption_ = layout().caption;
};

// Images and frames carry no state of their own beyond a click.
using Image = CommandButton;
using Frame = Control;
using Decoration = Control;

class TextBox : public Control {
public:
    using Control::Control;
    const std::string& text() const { return text_; }
    // From code or from the user alike: the change handler runs only when the
    // text really changes.
    void setText(std::string text);
    std::function<void()> onChange;
    // Where the caret stands: the user's next key goes there.
    int selectionStart() const { return selectionStart_; }
    void setSelectionStart(int position);

private:
    std::string text_ = layout().caption;
    int selectionStart_ = 0;
};

class CheckBox : public Control {
public:
    using Control::Control;
    bool checked() const { return checked_; }
    void setChecked(bool checked);
    std::function<void()> onClick;

private:
    bool checked_ = layout().checked;
};

class OptionButton : public Control {
public:
    using Control::Control;
    bool selected() const { return selected_; }
    // Selecting one option clears the others of its group.
    void select();
    void joinGroup(std::vector<OptionButton*>* group) { group_ = group; }
    // The options it is one of, itself included; nullptr when alone.
    const std::vector<OptionButton*>* group() const { return group_; }
    std::function<void()> onClick;

private:
    void setSelected(bool selected);
    bool selected_ = layout().checked;
    std::vector<OptionButton*>* group_ = nullptr;
};

class ListBox : public Control {
public:
    struct Item {
        std::string text;
        std::int32_t data = 0;
    };

    using Control::Control;
    int count() const { return static_cast<int>(items_.size()); }
    const Item& item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    const std::vector<Item>& items() const { return items_; }
    // "" past the end, as the list's own text lookup gives for a missing entry.
    std::string itemText(int index) const;
    void addItem(std::string text, std::int32_t data = 0);
    void removeItem(int index);
    void clear();
    int selectedIndex() const { return selected_; }
    bool isSelected(int index) const { return index == selected_ && index >= 0; }
    // From code or from the user: the click handler runs as for a click.
    void select(int index);
    std::function<void()> onClick;

private:
    std::vector<Item> items_;
    int selected_ = -1;
};

// A menu entry; an entry with children is a submenu, a caption of "-" a separator.
class MenuItem {
public:
    MenuItem(const char* name, const char* caption, std::vector<MenuItem*> children = {})
        : name_(name), caption_(caption), children_(std::move(children)) {}
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    const std::vector<MenuItem*>& children() const { return children_; }
    bool isSeparator() const { return caption_ == "-"; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool checked() const { return checked_; }
    void setChecked(bool checked) { checked_ = checked; }
    std::function<void()> onClick;
    void click() {
        if (enabled_ && onClick) onClick();
    }

private:
    std::string name_;
    std::string caption_;
    std::vector<MenuItem*> children_;
    bool enabled_ = true;
    bool checked_ = false;
};

class Timer {
public:
    explicit Timer(int intervalMs, bool enabled) : interval_(intervalMs), enabled_(enabled) {}
    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    std::function<void()> onTick;
    // The host calls this when the interval has run out.
    void tick() {
        if (enabled_ && onTick) onTick();
    }
    std::function<void(Timer&)> onEnabledChanged;  // the host's hook

private:
    int interval_;
    bool enabled_;
};

// Message box styles and answers, as the platform numbers them.
namespace mb {
inline constexpr int ok = 0;
inline constexpr int yesNo = 4;
inline constexpr int iconStop = 16;
inline constexpr int iconExclamation = 48;
inline constexpr int answerOk = 1;
inline constexpr int answerYes = 6;
inline constexpr int answerNo = 7;
}  // namespace mb

class Form;
class WindowHost;

// The services the windows need from the runtime around them, the
// system's character set tables among them.
class Runtime : public CodePages {
public:
    virtual ~Runtime() = default;
    // Brings up the real window of a form, not shown yet; the form's Load runs
    // after this, so that it can already place its window.
    virtual WindowHost& createWindow(Form& form) = 0;
    // The window goes away (the form may still be running a handler); its
    // controls keep their state, with no real control behind them.
    virtual void destroyWindow(Form& form) = 0;
    // Lets pending window messages run, then returns.
    virtual void yieldToPendingMessages() = 0;
    virtual int messageBox(const std::string& text, const std::string& title, int style) = 0;
    // What the user's locale writes between a number's whole part and its fraction.
    virtual std::string decimalSeparator() = 0;
    // Between the system's ANSI code page (window titles, settings files,
    // registry values, the documents) and the forms' UTF-8; a character the
    // code page lacks becomes "?".
    virtual std::string fromAnsi(std::string_view ansi) = 0;
    virtual std::string toAnsi(std::string_view text) = 0;
    // The bytes that the character at the start of ansi (not empty) takes in
    // the ANSI code page: a lead byte and the byte after it on the double-byte
    // code pages (932, 936, 949, 950), a whole sequence where the code page is
    // UTF-8, one byte otherwise. More than ansi holds when ansi ends inside
    // the character.
    virtual std::size_t ansiCharacterLength(std::string_view ansi) = 0;
    // Ends the process at once: no further event of any window runs.
    [[noreturn]] virtual void endProgram() = 0;
};

// The real window behind a form. The host creates it from the form's layout
// and forwards its events to the form's handlers.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual std::uint32_t handle() = 0;
    // The small icon, as the caption and the notification area show it.
    virtual std::uint32_t iconHandle() = 0;
    // 0 normal, 1 minimized, 2 maximized.
    virtual int windowState() = 0;
    virtual void setWindowState(int state) = 0;
    // Shows the window and brings it to the front.
    virtual void show() = 0;
    virtual void hide() = 0;
    // The program's task-bar button and task-list entry.
    virtual void setTaskbarVisible(bool visible) = 0;
    // The screen's twips per pixel across: mouse positions reach the form in twips.
    virtual double twipsPerPixelX() = 0;
    // Shows the menu's entries at the mouse and runs the chosen one's click.
    // The menu closes as any menu does: Esc, or a click anywhere else.
    virtual void showPopupMenu(MenuItem& menu) = 0;
    // The same at a point on the screen, in pixels.
    virtual void showPopupMenuAt(MenuItem& menu, int x, int y) = 0;
};

enum class Border {
    fixedSingle,  // a caption with a close box, not resizable
    fixedWithMinimize,
    sizable,
};

// A window's design: its caption, client size and controls, all in twips.
class Form {
public:
    Form(std::string caption, int clientWidth, int clientHeight, Border border = Border::fixedSingle)
        : caption_(std::move(caption)), clientWidth_(clientWidth), clientHeight_(clientHeight), border_(border) {}
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& caption() const { return caption_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    Border border() const { return border_; }
    const std::vector<Control*>& controls() const { return controls_; }
    const std::vector<Timer*>& timers() const { return timers_; }
    // Where Tab goes, in order; the others follow in the order of controls().
    const std::vector<Control*>& tabOrder() const { return tabOrder_; }
    // The control that has the keyboard focus when the window opens.
    Control* firstFocus() const { return firstFocus_; }
    // The button Enter presses wherever the focus is (but in a text box of
    // several lines, where Enter is a key like any other); nullptr for none.
    CommandButton* defaultButton() const { return defaultButton_; }
    // The window's own entries in its system menu (Alt+Space), after Windows' ones.
    const std::vector<MenuItem*>& systemMenu() const { return systemMenu_; }

    void attachHost(WindowHost* host) { host_ = host; }
    WindowHost* host() const { return host_; }
    // The real window's handle; 0 while there is none.
    std::uint32_t windowHandle() const { return host_ ? host_->handle() : 0; }

    // What the host reports of the real window.
    virtual void formResized() {}
    // The inside of the window has this size now (twips); not when minimized.
    virtual void clientResized(int /*widthTwips*/, int /*heightTwips*/) {}
    virtual void helpRequested() {}   // F1
    virtual void closeRequested() {}  // the close box, and Esc in a dialog
    virtual void sessionEnding() {}   // Windows is logging off
    virtual void windowDestroyed() {}
    // The mouse-move message's X, and its wParam as it came.
    virtual void mouseMoved(double /*xTwips*/, std::uint32_t /*wParam*/) {}
    virtual void taskbarCreated() {}     // the shell's notification area was rebuilt
    virtual void comeBackRequested() {}  // another of our programs asks for the window on the screen
    // Esc closes dialogs; the main window has nothing to cancel.
    virtual bool closesOnEscape() const { return true; }

protected:
    // A control whose layout names a container goes into that frame, which
    // must have been added before it.
    template <typename T>
    T& add(T& control) {
        if (const char* frame = control.layout().container)
            for (Control* candidate : controls_)
                if (std::string_view(candidate->name()) == frame) control.placeIn(*candidate);
        controls_.push_back(&control);
        return control;
    }
    void setTabOrder(std::vector<Control*> order) { tabOrder_ = std::move(order); }
    void setFirstFocus(Control& control) { firstFocus_ = &control; }
    void setDefaultButton(CommandButton& button) { defaultButton_ = &button; }
    void addToSystemMenu(MenuItem& item) { systemMenu_.push_back(&item); }
    Timer& add(Timer& timer) {
        timers_.push_back(&timer);
        return timer;
    }

private:
    std::string caption_;
    int clientWidth_;
    int clientHeight_;
    Border border_;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    std::vector<Control*> tabOrder_;
    Control* firstFocus_ = nullptr;
    CommandButton* defaultButton_ = nullptr;
    std::vector<MenuItem*> systemMenu_;
    WindowHost* host_ = nullptr;
};

}  // namespace pellorin::forms
