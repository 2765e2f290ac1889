#pragma once

#include <string>
#include <vector>

#include "foundation/forms.h"
#include "foundation/program_context.h"
#include "foundation/settings.h"

namespace pellorin {

namespace form2 {
extern const char* const caption;
extern const forms::ControlLayout fraStartup, Label1, Option1, Option2, Check1, fraToolbaricon, Label8, cmdAddIeIcon,
    cmdRemoveIeIcon, fraHotkey, Label2, lblCtrAlt, txtLetter, fraIetitle, Label3, Command3, fraPopup, Check2, Command4,
    Frame1, Option3, Option4, Label4, Label5, freFullscreen, Check3, fraTip, Label6, Line1, Image1, Command2, Command1;
inline constexpr int clientWidth = 6555;
inline constexpr int clientHeight = 5325;
inline constexpr const char* notSetWidth = "Width:  not set";
inline constexpr const char* notSetHeight = "Height: not set";
}  // namespace form2

// "Setup": how the program starts, the hotkey letter, the pop-up action and
// full screen, and the scripts for the browser's toolbar, its title and the
// start with Windows. Most choices are stored by Apply.
class Form2 : public forms::Form {
public:
    explicit Form2(ProgramContext context);

    forms::Frame fraStartup{form2::fraStartup};
    forms::Label Label1{form2::Label1};
    forms::OptionButton Option1{form2::Option1};
    forms::OptionButton Option2{form2::Option2};
    forms::CheckBox Check1{form2::Check1};
    forms::Frame fraToolbaricon{form2::fraToolbaricon};
    forms::Label Label8{form2::Label8};
    forms::CommandButton cmdAddIeIcon{form2::cmdAddIeIcon};
    forms::CommandButton cmdRemoveIeIcon{form2::cmdRemoveIeIcon};
    forms::Frame fraHotkey{form2::fraHotkey};
    forms::Label Label2{form2::Label2};
    forms::Label lblCtrAlt{form2::lblCtrAlt};
    forms::TextBox txtLetter{form2::txtLetter};
    forms::Frame fraIetitle{form2::fraIetitle};
    forms::Label Label3{form2::Label3};
    forms::CommandButton Command3{form2::Command3};
    forms::Frame fraPopup{form2::fraPopup};
    forms::CheckBox Check2{form2::Check2};
    forms::CommandButton Command4{form2::Command4};
    forms::Frame Frame1{form2::Frame1};
    forms::OptionButton Option3{form2::Option3};
    forms::OptionButton Option4{form2::Option4};
    forms::Label Label4{form2::Label4};
    forms::Label Label5{form2::Label5};
    forms::Frame freFullscreen{form2::freFullscreen};
    forms::CheckBox Check3{form2::Check3};
    forms::Frame fraTip{form2::fraTip};
    forms::Label Label6{form2::Label6};
    forms::Decoration Line1{form2::Line1};
    forms::Image Image1{form2::Image1};
    forms::CommandButton Command2{form2::Command2};
    forms::CommandButton Command1{form2::Command1};

    // "true" once Check1 has been clicked since the dialog loaded: only then
    // does Apply start a start-up script.
    std::string startupSettingChanged;

    void Form_Load();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void txtLetter_Change();
    void Command1_Click();  // Apply
    void Command2_Click();  // Cancel
    void Command3_Click();  // Set to default
    void cmdAddIeIcon_Click();
    void cmdRemoveIeIcon_Click();
    void Command4_Click();  // the pop-up size window
    void addStartup();
    void removeStartup();
    void showPopupSize(std::int16_t width, std::int16_t height) {
        Label4.setCaption("Width:  " + std::to_string(width));
        Label5.setCaption("Height: " + std::to_string(height));
    }

    void closeRequested() override { Command2_Click(); }

private:
    void runScript(const char* script);
    void store(const char* fileName, const SettingsWriter& content);

    ProgramContext context_;
    std::vector<forms::OptionButton*> windowModeGroup_{&Option1, &Option2};
    std::vector<forms::OptionButton*> popupActionGroup_{&Option3, &Option4};
};

}  // namespace pellorin
