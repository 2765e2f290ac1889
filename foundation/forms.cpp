#include "foundation/forms.h"

#include <algorithm>

namespace pellorin::forms {

Control::Control(const ControlLayout& layout)
    : layout_(layout),
      place_{layout.left, layout.top, layout.width, layout.height},
      enabled_(layout.enabled),
      visible_(layout.visible) {}

void Control::setPlace(const Place& place) {
    if (place_ == place) return;
    place_ = place;
    placeChanged();
}

void Control::placeChanged() {
    notify(Aspect::place);
    // What a frame holds moves with it.
    for (Control* content : contents_) content->placeChanged();
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    usabilityChanged();
}

void Control::usabilityChanged() {
    notify(Aspect::enabled);
    // What a frame holds is usable only with it.
    for (Control* content : contents_) content->usabilityChanged();
}

void Control::placeIn(Control& frame) {
    container_ = &frame;
    frame.contents_.push_back(this);
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    notify(Aspect::visible);
}

void Label::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify(Aspect::text);
}

void CommandButton::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify(Aspect::text);
}

void TextBox::setText(std::string text) {
    // A text box holds no NUL: what it shows is all it has.
    text.resize(std::min(text.size(), text.find('\0')));
    if (text_ == text) return;
    text_ = std::move(text);
    selectionStart_ = std::min(selectionStart_, static_cast<int>(text_.size()));
    notify(Aspect::text);
    if (onChange) onChange();
}

void TextBox::setSelectionStart(int position) {
    selectionStart_ = std::clamp(position, 0, static_cast<int>(text_.size()));
    notify(Aspect::selection);
}

void CheckBox::setChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    notify(Aspect::checked);
    if (onClick) onClick();
}

void OptionButton::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    notify(Aspect::checked);
}

void OptionButton::select() {
    if (group_) {
        for (OptionButton* other : *group_)
            if (other != this) other->setSelected(false);
    }
    const bool changed = !selected_;
    setSelected(true);
    if (changed && onClick) onClick();
}

std::string ListBox::itemText(int index) const {
    if (index < 0 || index >= count()) return {};
    return items_[static_cast<std::size_t>(index)].text;
}

void ListBox::addItem(std::string text, std::int32_t data) {
    items_.push_back({std::move(text), data});
    notify(Aspect::itemAdded);
}

void ListBox::removeItem(int index) {
    if (index < 0 || index >= count()) return;
    items_.erase(items_.begin() + index);
    if (selected_ == index)
        selected_ = -1;
    else if (selected_ > index)
        --selected_;
    notify(Aspect::items);
}

void ListBox::clear() {
    if (items_.empty()) return;
    items_.clear();
    selected_ = -1;
    notify(Aspect::items);
}

void ListBox::select(int index) {
    if (index < -1 || index >= count()) return;
    selected_ = index;
    notify(Aspect::selection);
    if (onClick) onClick();
}

void Timer::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (onEnabledChanged) onEnabledChanged(*this);
}

}  // namespace pellorin::forms
