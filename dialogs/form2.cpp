// The settings dialog's controls wired to their handlers, its tab order and
// its first focus; the handlers live in one file per role beside this one.
#include "dialogs/form2.h"

#include <initializer_list>

namespace pellorin {

Form2::Form2(ProgramContext context)
    : forms::Form(form2::caption, form2::clientWidth, form2::clientHeight), context_(context) {
    for (forms::Control* control : std::initializer_list<forms::Control*>{
             &fraStartup,      &Label1,    &Option1,  &Option2,   &Check1,    &fraToolbaricon, &Label8,   &cmdAddIeIcon,
             &cmdRemoveIeIcon, &fraHotkey, &Label2,   &lblCtrAlt, &txtLetter, &fraIetitle,     &Label3,   &Command3,
             &fraPopup,        &Check2,    &Command4, &Frame1,    &Option3,   &Option4,        &Label4,   &Label5,
             &freFullscreen,   &Check3,    &fraTip,   &Label6,    &Line1,     &Image1,         &Command2, &Command1})
        add(*control);
    Option1.joinGroup(&windowModeGroup_);
    Option2.joinGroup(&windowModeGroup_);
    Option3.joinGroup(&popupActionGroup_);
    Option4.joinGroup(&popupActionGroup_);
    setTabOrder({&Command1, &Command2, &Check1, &Option2, &Option1, &Command3, &Option4, &Option3, &Check2, &Command4,
                 &Check3, &cmdRemoveIeIcon, &cmdAddIeIcon, &txtLetter});
    setFirstFocus(Command1);
    setDefaultButton(Command1);

    Check1.onClick = [this] { Check1_Click(); };
    Check2.onClick = [this] { Check2_Click(); };
    Check3.onClick = [this] { Check3_Click(); };
    txtLetter.onChange = [this] { txtLetter_Change(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    cmdAddIeIcon.onClick = [this] { cmdAddIeIcon_Click(); };
    cmdRemoveIeIcon.onClick = [this] { cmdRemoveIeIcon_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
}

}  // namespace pellorin
