// The main window as designed: places in twips, captions and tooltips as the
// user sees them.
#include "mainwindow/form1.h"

namespace pellorin::form1 {

using forms::Kind;

const char* const caption = "Pellorin";

// clang-format off
const forms::ControlLayout lblTitle{Kind::label, "lblTitle", "Last 8 characters of the IE window title:",
                                    120, 120, 3735, 255};
const forms::ControlLayout Text1{.kind = Kind::textBox, .name = "Text1", .caption = "Explorer",
                                 .left = 120, .top = 360, .width = 2895, .height = 285,
                                 .tooltip = "Type in the last 8 characters of your IE windows. "
                                            "\"Explorer\" is default and works in most cases!",
                                 .maxLength = 8};
const forms::ControlLayout cmdAutoTitle{Kind::commandButton, "cmdAutoTitle", "Auto", 3120, 360, 495, 290,
                                        "Automatic detection of IE title"};
const forms::ControlLayout lblHideClose{Kind::label, "lblHideClose", "Hide/close all IE windows setup:",
                                        120, 840, 3615, 255};
const forms::ControlLayout lblExclude{Kind::label, "lblExclude", "Exclude this window:", 120, 1080, 3015, 255};
const forms::ControlLayout lblHandle{Kind::label, "lblHandle", "Handle:", 2520, 1080, 615, 255};
const forms::ControlLayout Text2{.kind = Kind::textBox, .name = "Text2", .caption = "",
                                 .left = 120, .top = 1320, .width = 2415, .height = 285,
                                 .tooltip = "Click on a window title below to exclude it from beeing hidden/closed",
                                 .readOnly = true};
const forms::ControlLayout Text3{.kind = Kind::textBox, .name = "Text3", .caption = "",
                                 .left = 2520, .top = 1320, .width = 495, .height = 285, .readOnly = true};
const forms::ControlLayout cmdClear{Kind::commandButton, "cmdClear", "Clear", 3120, 1320, 495, 290};
const forms::ControlLayout lblOpen{Kind::label, "lblOpen", "Internet Explorer windows, currently open:",
                                   120, 1800, 3255, 255};
const forms::ControlLayout List1{Kind::listBox, "List1", "", 120, 2040, 3495, 1230,
                                 "Click on a window title to exclude it from beeing hidden/closed"};
const forms::ControlLayout cmdSetup{Kind::commandButton, "cmdSetup", "Setup", 120, 3360, 855, 290};
const forms::ControlLayout cmdRefresh{Kind::commandButton, "cmdRefresh", "Refresh", 1680, 3360, 975, 290};
const forms::ControlLayout cmdMinimize{Kind::commandButton, "cmdMinimize", "Minimize", 2760, 3360, 855, 290};
const forms::ControlLayout lblHotkeyAction{Kind::label, "lblHotkeyAction", "Hotkey Action:", 240, 3720, 1815, 255};
const forms::ControlLayout Option1{.kind = Kind::optionButton, .name = "Option1", .caption = "Hide/show",
                                   .left = 240, .top = 3960, .width = 1095, .height = 255, .checked = true};
const forms::ControlLayout Option2{Kind::optionButton, "Option2", "Close", 240, 4200, 735, 255};
const forms::ControlLayout List2{.kind = Kind::listBox, .name = "List2", .caption = "",
                                 .left = 2400, .top = 4200, .width = 1215, .height = 255, .visible = false};
const forms::ControlLayout lblHotkey{Kind::label, "lblHotkey", "Hotkey: Ctrl+Alt+Q", 240, 4680, 1695, 255};
const forms::ControlLayout cmdExit{Kind::commandButton, "cmdExit", "Exit", 2760, 4680, 855, 290};
const forms::ControlLayout imgAbout{Kind::image, "imgAbout", "", 2880, 3720, 480, 480, "About Pellorin"};

// Decorations: a box round the title suffix, one round the hide/close set-up,
// and a line above the hotkey and the exit button.
const forms::ControlLayout Shape1{Kind::shape, "Shape1", "", 30, 45, 3615, 720};
const forms::ControlLayout Shape2{Kind::shape, "Shape2", "", 30, 795, 3615, 3735};
const forms::ControlLayout Line1{Kind::line, "Line1", "", 30, 4590, 3615, 15};
// clang-format on

}  // namespace pellorin::form1
