// The pop-up size window: opens at the stored threshold, and Apply takes the
// window's outer size in pixels as the new one.
#include "dialogs/form4.h"

#include <algorithm>

namespace pellorin {

Form4::Form4(ProgramContext context)
    : forms::Form(form4::caption, form4::clientWidth, form4::clientHeight, forms::Border::sizable), context_(context) {
    add(Label1);
    add(Command2);
    add(Command1);
    setTabOrder({&Command1, &Command2});
    setFirstFocus(Command1);
    setDefaultButton(Command1);
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void Form4::arrange(int width, int height) {
    using form4::edge, form4::bottomEdge, form4::buttonGap;
    const forms::ControlLayout& designed = form4::Command1;
    // Smaller buttons only when two of their design size no longer fit.
    const int buttonWidth = std::clamp((width - edge - bottomEdge - buttonGap) / 2, 0, designed.width);
    const int buttonHeight = std::clamp(height - 2 * bottomEdge, 0, designed.height);
    const int buttonTop = std::max(0, height - bottomEdge - buttonHeight);
    const int applyLeft = std::max(0, width - edge - buttonWidth);
    Command1.setPlace({applyLeft, buttonTop, buttonWidth, buttonHeight});
    Command2.setPlace({std::max(0, applyLeft - buttonGap - buttonWidth), buttonTop, buttonWidth, buttonHeight});
    Label1.setPlace({edge, edge, std::max(0, width - 2 * edge), std::max(0, buttonTop - bottomEdge - edge)});
}

void Form4::Form_Load() {
    const SharedSettings& settings = context_.settings;
    if (settings.popupMaxWidth == 0 || settings.popupMaxHeight == 0 || !host()) return;
    context_.desktop.moveWindow(host()->handle(), form4::storedLeft, form4::storedTop, settings.popupMaxWidth,
                                settings.popupMaxHeight, true);
}

void Form4::Command1_Click() {
    SharedSettings& settings = context_.settings;
    Rect32 rect;
    if (host() && context_.desktop.getWindowRect(host()->handle(), rect)) {
        // The threshold is a 16-bit number; a window beyond it counts as the largest.
        const auto clamp = [](std::int32_t size) {
            return static_cast<std::int16_t>(std::clamp<std::int32_t>(size, 0, INT16_MAX));
        };
        settings.popupMaxWidth = clamp(rect.right - rect.left);
        settings.popupMaxHeight = clamp(rect.bottom - rect.top);
    }
    // A settings dialog closed meanwhile is not brought back to show them:
    // loading it would read the stored size over the one just taken.
    context_.windows.showPopupSizeInSetup(settings.popupMaxWidth, settings.popupMaxHeight);
    context_.windows.unload(*this);
}

void Form4::Command2_Click() { context_.windows.unload(*this); }

}  // namespace pellorin
