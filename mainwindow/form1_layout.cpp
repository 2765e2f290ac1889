// The main window as designed: places in twips, captions and tooltips as the
// user sees them.
#include "mainwindow/form1.h"

namespace pellorin::form1 {

using forms::Kind;

const char* const caption = "Pellorin";

// clang-format off
// The places keep every caption whole, inside the box drawn round it, and
// make room for the longest texts at 96 to 192 dots per inch: the handle box
// for any handle, a margin round the tight ones. A label comes with the
// control it names.
const forms::ControlLayout lblTitle{.kind = Kind::label, .name = "lblTitle",
                                    .caption = "Last 8 characters of the IE window title:",
                                    .left = 120, .top = 120, .width = 3480, .height = 240, .labelFor = "Text1"};
const forms::ControlLayout Text1{.kind = Kind::textBox, .name = "Text1", .caption = "Explorer",
                                 .left = 120, .top = 360, .width = 2880, .height = 285,
                                 .tooltip = "Type in the last 8 characters of your IE windows. "
                                            "\"Explorer\" is default and works in most cases!",
                                 .maxLength = 8};
const forms::ControlLayout cmdAutoTitle{Kind::commandButton, "cmdAutoTitle", "Auto", 3045, 360, 570, 290,
                                        "Automatic detection of IE title"};
const forms::ControlLayout lblHideClose{Kind::label, "lblHideClose", "Hide/close all IE windows setup:",
                                        120, 840, 3480, 240};
const forms::ControlLayout lblExclude{.kind = Kind::label, .name = "lblExclude", .caption = "Exclude this window:",
                                      .left = 120, .top = 1080, .width = 1620, .height = 240, .labelFor = "Text2"};
const forms::ControlLayout lblHandle{.kind = Kind::label, .name = "lblHandle", .caption = "Handle:",
                                     .left = 1770, .top = 1080, .width = 1230, .height = 240, .labelFor = "Text3"};
const forms::ControlLayout Text2{.kind = Kind::textBox, .name = "Text2", .caption = "",
                                 .left = 120, .top = 1320, .width = 1620, .height = 285,
                                 .tooltip = "Click on a window title below to exclude it from beeing hidden/closed",
                                 .readOnly = true};
const forms::ControlLayout Text3{.kind = Kind::textBox, .name = "Text3", .caption = "",
                                 .left = 1770, .top = 1320, .width = 1230, .height = 285, .readOnly = true};
const forms::ControlLayout cmdClear{Kind::commandButton, "cmdClear", "Clear", 3045, 1320, 570, 290};
const forms::ControlLayout lblOpen{.kind = Kind::label, .name = "lblOpen",
                                   .caption = "Internet Explorer windows, currently open:",
                                   .left = 120, .top = 1800, .width = 3480, .height = 240, .labelFor = "List1"};
const forms::ControlLayout List1{Kind::listBox, "List1", "", 120, 2040, 3495, 1230,
                                 "Click on a window title to exclude it from beeing hidden/closed"};
const forms::ControlLayout cmdSetup{Kind::commandButton, "cmdSetup", "Setup", 120, 3360, 855, 290};
const forms::ControlLayout cmdRefresh{Kind::commandButton, "cmdRefresh", "Refresh", 1620, 3360, 975, 290};
const forms::ControlLayout cmdMinimize{Kind::commandButton, "cmdMinimize", "Minimize", 2655, 3360, 960, 290};
const forms::ControlLayout lblHotkeyAction{Kind::label, "lblHotkeyAction", "Hotkey Action:", 240, 3720, 1815, 240};
const forms::ControlLayout Option1{.kind = Kind::optionButton, .name = "Option1", .caption = "Hide/show",
                                   .left = 240, .top = 3960, .width = 1215, .height = 240, .checked = true};
const forms::ControlLayout Option2{Kind::optionButton, "Option2", "Close", 240, 4200, 855, 240};
const forms::ControlLayout List2{.kind = Kind::listBox, .name = "List2", .caption = "",
                                 .left = 2400, .top = 4200, .width = 1215, .height = 255, .visible = false};
const forms::ControlLayout lblHotkey{Kind::label, "lblHotkey", "Hotkey: Ctrl+Alt+Q", 240, 4680, 1695, 240};
const forms::ControlLayout cmdExit{Kind::commandButton, "cmdExit", "Exit", 2760, 4680, 855, 290};
// A picture named for screen readers by what it opens.
const forms::ControlLayout imgAbout{Kind::image, "imgAbout", "About Pellorin", 2880, 3720, 480, 480,
                                    "About Pellorin"};

// Decorations: a box round the title suffix, one round the hide/close set-up,
// and a line above the hotkey and the exit button.
const forms::ControlLayout Shape1{Kind::shape, "Shape1", "", 30, 45, 3615, 720};
const forms::ControlLayout Shape2{Kind::shape, "Shape2", "", 30, 795, 3615, 3735};
const forms::ControlLayout Line1{Kind::line, "Line1", "", 30, 4590, 3615, 15};
// clang-format on

}  // namespace pellorin::form1
