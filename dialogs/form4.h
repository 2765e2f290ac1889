#pragma once

#include "foundation/forms.h"
#include "foundation/program_context.h"

namespace pellorin {

namespace form4 {
extern const char* const caption;
extern const forms::ControlLayout Label1, Command2, Command1;
// Room for the text in four lines at 96 to 192 dots per inch, above the buttons.
inline constexpr int clientWidth = 4455;
inline constexpr int clientHeight = 1335;
// How the window's inside is kept as the user sizes it (twips): the text
// this far from the top left and right edges, the buttons as far from the
// right edge and this far from the bottom one, with this much between them.
inline constexpr int edge = 120;
inline constexpr int bottomEdge = 60;
inline constexpr int buttonGap = 105;
// Where the window opens at the size of the threshold, in pixels.
inline constexpr int storedLeft = 200;
inline constexpr int storedTop = 150;
}  // namespace form4

// "Test Window": the user sizes it to the largest window that still counts
// as a pop-up, and Apply takes its outer size as the threshold.
class Form4 : public forms::Form {
public:
    explicit Form4(ProgramContext context);

    forms::Label Label1{form4::Label1};
    forms::CommandButton Command2{form4::Command2};
    forms::CommandButton Command1{form4::Command1};

    void Form_Load();
    void Command1_Click();  // Apply
    void Command2_Click();  // Cancel

    void closeRequested() override { Command2_Click(); }
    void clientResized(int widthTwips, int heightTwips) override { arrange(widthTwips, heightTwips); }
    // Both buttons stay inside at any size, at the bottom right, smaller
    // only where the window is smaller than they are; the text is wrapped to
    // the width above them. The window is not kept from being made small:
    // its size is what it is for.
    void arrange(int widthTwips, int heightTwips);

private:
    ProgramContext context_;
};

}  // namespace pellorin
