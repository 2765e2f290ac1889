#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pellorin::forms {

// Shapes and lines only decorate; they have no state or events.
enum class Kind { label, textBox, commandButton, optionButton, checkBox, listBox, image, frame, shape, line };

// One control of a window's design: where it stands (twips) and how it starts.
struct ControlLayout {
    Kind kind;
    const char* name;
    const char* caption;  // text of a text box, caption of the others
    int left, top, width, height;
    const char* tooltip = "";
    bool visible = true;
    bool enabled = true;
    bool checked = false;  // option buttons and check boxes
    int maxLength = 0;     // text boxes: characters the user may type, 0 for no limit
    bool readOnly = false;
};

// What a host has to bring up to date on the real control.
enum class Aspect { text, enabled, visible, checked, items, itemAdded, selection, focus };

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
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    void setFocus() { notify(Aspect::focus); }

    void attach(ControlPeer* peer) { peer_ = peer; }

protected:
    void notify(Aspect aspect) {
        if (peer_) peer_->update(*this, aspect);
    }

private:
    const ControlLayout& layout_;
    bool enabled_;
    bool visible_;
    ControlPeer* peer_ = nullptr;
};

class Label : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_ = layout().caption;
};

class CommandButton : public Control {
public:
    using Control::Control;
    std::function<void()> onClick;
    void click() {
        if (onClick) onClick();
    }
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

private:
    std::string text_ = layout().caption;
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

// The services the windows need from the runtime around them.
class Runtime {
public:
    virtual ~Runtime() = default;
    // Lets pending window messages run, then returns.
    virtual void yieldToPendingMessages() = 0;
    virtual int messageBox(const std::string& text, const std::string& title, int style) = 0;
    // Ends the process at once: no further event of any window runs.
    [[noreturn]] virtual void endProgram() = 0;
};

// The real window behind a form. The host creates it from the form's layout
// and forwards its events to the form's handlers.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual std::uint32_t handle() = 0;
    virtual std::uint32_t iconHandle() = 0;
    // 0 normal, 1 minimized, 2 maximized.
    virtual int windowState() = 0;
    virtual void setWindowState(int state) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // The program's task-bar button and task-list entry.
    virtual void setTaskbarVisible(bool visible) = 0;
    // The screen's twips per pixel across: mouse positions reach the form in twips.
    virtual double twipsPerPixelX() = 0;
    // Shows the menu's entries at the mouse and runs the chosen one's click.
    // The menu closes as any menu does: Esc, or a click anywhere else.
    virtual void showPopupMenu(MenuItem& menu) = 0;
};

// A window's design: its caption, client size and controls, all in twips.
class Form {
public:
    Form(std::string caption, int clientWidth, int clientHeight)
        : caption_(std::move(caption)), clientWidth_(clientWidth), clientHeight_(clientHeight) {}
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& caption() const { return caption_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    const std::vector<Control*>& controls() const { return controls_; }
    const std::vector<Timer*>& timers() const { return timers_; }

    void attachHost(WindowHost* host) { host_ = host; }
    WindowHost* host() const { return host_; }

protected:
    template <typename T>
    T& add(T& control) {
        controls_.push_back(&control);
        return control;
    }
    Timer& add(Timer& timer) {
        timers_.push_back(&timer);
        return timer;
    }

private:
    std::string caption_;
    int clientWidth_;
    int clientHeight_;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    WindowHost* host_ = nullptr;
};

}  // namespace pellorin::forms
