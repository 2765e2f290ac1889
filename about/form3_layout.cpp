// The about box as designed: the product and its maker with two links, the
// statistics, a document, and three buttons.
#include "about/addresses.h"
#include "about/form3.h"

namespace pellorin::form3 {

using forms::Kind;

const char* const caption = "About...";

// clang-format off
const forms::ControlLayout Image1{Kind::image, "Image1", "", 120, 120, 480, 480};
const forms::ControlLayout Label4{.kind = Kind::label, .name = "Label4", .caption = "Pellorin 2.2",
                                  .left = 840, .top = 120, .width = 3015, .height = 240, .bold = true};
const forms::ControlLayout Label1{Kind::label, "Label1", "Made by the Pellorin developers", 840, 360, 5655, 240};
const forms::ControlLayout Label5{Kind::label, "Label5",
                                  "Copyright \u00a9 2026 the Pellorin developers. Free to use and to pass on.",
                                  840, 600, 5655, 240};
const forms::ControlLayout Label2{.kind = Kind::label, .name = "Label2", .caption = addresses::mail,
                                  .left = 840, .top = 900, .width = 5655, .height = 240,
                                  .tooltip = "Write to the makers of Pellorin", .link = true};
const forms::ControlLayout Label3{.kind = Kind::label, .name = "Label3", .caption = addresses::homePage,
                                  .left = 840, .top = 1140, .width = 5655, .height = 240,
                                  .tooltip = "Pellorin's home page", .link = true};
const forms::ControlLayout Label6{Kind::label, "Label6", "Number of maximizes:", 120, 1560, 2175, 240};
const forms::ControlLayout Label8{Kind::label, "Label8", "", 2400, 1560, 3015, 240};
const forms::ControlLayout Label7{Kind::label, "Label7", "Killed popup-windows:", 120, 1800, 2175, 240};
const forms::ControlLayout Label9{Kind::label, "Label9", "", 2400, 1800, 3015, 240};
const forms::ControlLayout Label10{Kind::label, "Label10", "Saved mouse movement:", 120, 2040, 2175, 240};
const forms::ControlLayout Label11{Kind::label, "Label11", "", 2400, 2040, 3015, 240};
const forms::ControlLayout Text1{.kind = Kind::textBox, .name = "Text1", .caption = "",
                                 .left = 120, .top = 2400, .width = 6375, .height = 3015, .readOnly = true,
                                 .multiLine = true};
const forms::ControlLayout Command3{Kind::commandButton, "Command3", "FAQ", 120, 5520, 975, 290};
const forms::ControlLayout Command2{Kind::commandButton, "Command2",
                                    "Check if a new version is available for download...", 1200, 5520, 4215, 290};
const forms::ControlLayout Command1{Kind::commandButton, "Command1", "Close", 5520, 5520, 975, 290};
// clang-format on

}  // namespace pellorin::form3
