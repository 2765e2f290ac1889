// The pop-up size window as designed: an explanation and two buttons, in a
// window the user resizes.
#include "dialogs/form4.h"

namespace pellorin::form4 {

using forms::Kind;

const char* const caption = "Test Window";

// clang-format off
// As Form4::arrange places them at the design size: the text across the
// width, the buttons at the bottom right.
const forms::ControlLayout Label1{Kind::label, "Label1",
                                  "Set the maximum size of popup windows by resizing this window. All popup window "
                                  "that are smaller than this window will be ignored or closed. Click \"Apply\" when "
                                  "you\u00b4re done.",
                                  120, 120, 4215, 805};
const forms::ControlLayout Command2{Kind::commandButton, "Command2", "Cancel", 2520, 985, 855, 290};
const forms::ControlLayout Command1{Kind::commandButton, "Command1", "Apply", 3480, 985, 855, 290};
// clang-format on

}  // namespace pellorin::form4
