// The update window as designed: this version, the latest one in a strip
// below it, the status with the progress, and two buttons.
#include "about/form5.h"

namespace pellorin::form5 {

using forms::Kind;

const char* const caption = "Check for updates...";

// clang-format off
const forms::ControlLayout Image1{Kind::image, "Image1", "", 120, 120, 480, 480};
const forms::ControlLayout Label1{Kind::label, "Label1", "Your version:", 840, 120, 2055, 240};
const forms::ControlLayout Label3{.kind = Kind::label, .name = "Label3", .caption = "Pellorin 2.2",
                                  .left = 840, .top = 360, .width = 2055, .height = 240, .bold = true};
const forms::ControlLayout Label6{.kind = Kind::label, .name = "Label6", .caption = "2.2",
                                  .left = 3120, .top = 360, .width = 615, .height = 255, .visible = false};
const forms::ControlLayout Label2{Kind::label, "Label2", "Latest version:", 840, 720, 2055, 240};
const forms::ControlLayout WebBrowser1{.kind = Kind::label, .name = "WebBrowser1", .caption = "",
                                       .left = 840, .top = 960, .width = 4335, .height = 255, .border = true};
const forms::ControlLayout Label4{Kind::label, "Label4", "Status:", 840, 1320, 2055, 240};
const forms::ControlLayout Label5{.kind = Kind::label, .name = "Label5", .caption = "Connecting...",
                                  .left = 840, .top = 1560, .width = 3255, .height = 240, .bold = true};
const forms::ControlLayout lblProgress{.kind = Kind::label, .name = "lblProgress", .caption = "",
                                       .left = 4200, .top = 1560, .width = 975, .height = 240, .bold = true};
const forms::ControlLayout Command2{Kind::commandButton, "Command2", "Download", 3120, 2040, 975, 290};
const forms::ControlLayout Command1{Kind::commandButton, "Command1", "Close", 4200, 2040, 975, 290};
// clang-format on

}  // namespace pellorin::form5
