// The settings dialog as designed: seven groups in two columns, a line, and
// Cancel and Apply below it. Places inside a group are relative to the group.
#include "dialogs/form2.h"

namespace pellorin::form2 {

using forms::Kind;

const char* const caption = "Setup";

// clang-format off
const forms::ControlLayout fraStartup{.kind = Kind::frame, .name = "fraStartup", .caption = "Startup",
                                      .left = 0, .top = 0, .width = 3255, .height = 1215, .bold = true};
const forms::ControlLayout Label1{.kind = Kind::label, .name = "Label1", .caption = "Window mode:",
                                  .left = 120, .top = 270, .width = 1215, .height = 240, .container = "fraStartup"};
const forms::ControlLayout Option1{.kind = Kind::optionButton, .name = "Option1", .caption = "Normal",
                                   .left = 240, .top = 510, .width = 1095, .height = 255, .checked = true,
                                   .container = "fraStartup"};
const forms::ControlLayout Option2{.kind = Kind::optionButton, .name = "Option2", .caption = "Minimized",
                                   .left = 1440, .top = 510, .width = 1335, .height = 255,
                                   .container = "fraStartup"};
const forms::ControlLayout Check1{.kind = Kind::checkBox, .name = "Check1",
                                  .caption = "Start program when computer starts",
                                  .left = 120, .top = 840, .width = 3075, .height = 255, .container = "fraStartup"};

const forms::ControlLayout fraToolbaricon{.kind = Kind::frame, .name = "fraToolbaricon",
                                          .caption = "IE Toolbar Icon (IE5+)",
                                          .left = 0, .top = 1320, .width = 3255, .height = 1815, .bold = true};
const forms::ControlLayout Label8{.kind = Kind::label, .name = "Label8",
                                  .caption = "A button will be added to the Internet Explorer toolbar. "
                                             "This will give you more control over Pellorin",
                                  .left = 120, .top = 270, .width = 3015, .height = 855,
                                  .container = "fraToolbaricon"};
const forms::ControlLayout cmdAddIeIcon{.kind = Kind::commandButton, .name = "cmdAddIeIcon", .caption = "Add",
                                        .left = 1200, .top = 1320, .width = 855, .height = 290,
                                        .container = "fraToolbaricon"};
const forms::ControlLayout cmdRemoveIeIcon{.kind = Kind::commandButton, .name = "cmdRemoveIeIcon",
                                           .caption = "Remove", .left = 2160, .top = 1320, .width = 855,
                                           .height = 290, .container = "fraToolbaricon"};

const forms::ControlLayout fraHotkey{.kind = Kind::frame, .name = "fraHotkey", .caption = "Hotkey",
                                     .left = 0, .top = 3240, .width = 3255, .height = 1455, .bold = true};
const forms::ControlLayout Label2{.kind = Kind::label, .name = "Label2",
                                  .caption = "Type in a letter between A-Z to use as a hotkey. (Combined with Ctr+Alt)",
                                  .left = 120, .top = 270, .width = 3015, .height = 615, .container = "fraHotkey"};
const forms::ControlLayout lblCtrAlt{.kind = Kind::label, .name = "lblCtrAlt", .caption = "Ctrl+Alt+",
                                     .left = 120, .top = 1000, .width = 735, .height = 240,
                                     .container = "fraHotkey", .labelFor = "txtLetter"};
const forms::ControlLayout txtLetter{.kind = Kind::textBox, .name = "txtLetter", .caption = "",
                                     .left = 900, .top = 960, .width = 375, .height = 285, .maxLength = 1,
                                     .container = "fraHotkey"};

const forms::ControlLayout fraIetitle{.kind = Kind::frame, .name = "fraIetitle", .caption = "Internet Explorer Title",
                                      .left = 3360, .top = 0, .width = 3135, .height = 1215, .bold = true};
const forms::ControlLayout Label3{.kind = Kind::label, .name = "Label3",
                                  .caption = "This will reset the IE title to default",
                                  .left = 120, .top = 270, .width = 2895, .height = 435, .container = "fraIetitle"};
const forms::ControlLayout Command3{.kind = Kind::commandButton, .name = "Command3", .caption = "Set to default",
                                    .left = 1680, .top = 780, .width = 1335, .height = 290,
                                    .container = "fraIetitle"};

const forms::ControlLayout fraPopup{.kind = Kind::frame, .name = "fraPopup", .caption = "Ad and popup action",
                                    .left = 3360, .top = 1320, .width = 3135, .height = 1815, .bold = true};
const forms::ControlLayout Check2{.kind = Kind::checkBox, .name = "Check2", .caption = "Enable pop-up action",
                                  .left = 120, .top = 270, .width = 1935, .height = 255, .container = "fraPopup"};
const forms::ControlLayout Command4{.kind = Kind::commandButton, .name = "Command4", .caption = "Settings",
                                    .left = 2160, .top = 240, .width = 855, .height = 290, .enabled = false,
                                    .container = "fraPopup"};
const forms::ControlLayout Frame1{.kind = Kind::frame, .name = "Frame1", .caption = "Action",
                                  .left = 120, .top = 600, .width = 1335, .height = 1095, .enabled = false,
                                  .container = "fraPopup"};
const forms::ControlLayout Option3{.kind = Kind::optionButton, .name = "Option3", .caption = "None",
                                   .left = 120, .top = 300, .width = 1095, .height = 255, .enabled = false,
                                   .checked = true, .container = "Frame1"};
const forms::ControlLayout Option4{.kind = Kind::optionButton, .name = "Option4", .caption = "Close",
                                   .left = 120, .top = 660, .width = 1095, .height = 255, .enabled = false,
                                   .container = "Frame1"};
const forms::ControlLayout Label4{.kind = Kind::label, .name = "Label4", .caption = notSetWidth,
                                  .left = 1560, .top = 840, .width = 1455, .height = 255, .enabled = false,
                                  .container = "fraPopup"};
const forms::ControlLayout Label5{.kind = Kind::label, .name = "Label5", .caption = notSetHeight,
                                  .left = 1560, .top = 1200, .width = 1455, .height = 255, .enabled = false,
                                  .container = "fraPopup"};

const forms::ControlLayout freFullscreen{.kind = Kind::frame, .name = "freFullscreen", .caption = "Fullscreen",
                                         .left = 3360, .top = 3240, .width = 3135, .height = 615, .bold = true};
const forms::ControlLayout Check3{.kind = Kind::checkBox, .name = "Check3", .caption = "Maximize to fullscreen",
                                  .left = 120, .top = 270, .width = 2895, .height = 255,
                                  .container = "freFullscreen"};

const forms::ControlLayout fraTip{.kind = Kind::frame, .name = "fraTip", .caption = "Useful Tip",
                                  .left = 3360, .top = 3960, .width = 3135, .height = 735, .bold = true};
const forms::ControlLayout Label6{.kind = Kind::label, .name = "Label6",
                                  .caption = "If you hold down Ctrl and open a new window, the window will be minimized",
                                  .left = 120, .top = 240, .width = 2895, .height = 435, .container = "fraTip"};

const forms::ControlLayout Line1{Kind::line, "Line1", "", 0, 4800, 6555, 15};
const forms::ControlLayout Image1{Kind::image, "Image1", "", 240, 4800, 480, 480};
const forms::ControlLayout Command2{Kind::commandButton, "Command2", "Cancel", 4320, 4920, 855, 290};
const forms::ControlLayout Command1{Kind::commandButton, "Command1", "Apply", 5280, 4920, 855, 290};
// clang-format on

}  // namespace pellorin::form2
