#pragma once

#include "foundation/forms.h"
#include "foundation/program_context.h"

namespace pellorin {

namespace form4 {
extern const char* const caption;
extern const forms::ControlLayout Label1, Command2, Command1;
inline constexpr int clientWidth = 4245;
inline constexpr int clientHeight = 1185;
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

private:
    ProgramContext context_;
};

}  // namespace pellorin
