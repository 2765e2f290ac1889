#pragma once

#include <string>
#include <string_view>

#include "foundation/forms.h"
#include "foundation/program_context.h"

namespace pellorin {

namespace form3 {
extern const char* const caption;
extern const forms::ControlLayout Image1, Label4, Label1, Label5, Label2, Label3, Label6, Label8, Label7, Label9,
    Label10, Label11, Text1, Command3, Command2, Command1;
inline constexpr int clientWidth = 6615;
inline constexpr int clientHeight = 5940;
inline constexpr const char* readme = "readme.txt";
inline constexpr const char* faq = "faq.txt";
inline constexpr const char* readmeMissing = "Couldn\u00b4t find readme.txt...";
inline constexpr const char* faqMissing = "Couldn\u00b4t find faq.txt...";
}  // namespace form3

// Each maximize counts as a tenth of a meter of mouse movement saved: the
// count in meters, in the locale's shortest notation, whole numbers without
// a fraction.
std::string savedMouseMovement(std::int16_t maximizeCount, const std::string& decimalSeparator);

// A document's bytes as text: UTF-8 or UTF-16 (either order) by a byte
// order mark; without one, UTF-8 when it reads as UTF-8, else the ANSI code
// page. cut says the read stopped at its size limit, perhaps inside a
// character: that character is left out.
std::string documentCharacters(std::string_view bytes, bool cut, forms::Runtime& runtime);

// A document as the about box shows it: every line followed by CR LF, the
// last one included, and a NUL as a blank.
std::string documentText(const std::string& content);

// "About...": the product, its maker, three statistics of the program's work
// and one of the two documents beside the program.
class Form3 : public forms::Form {
public:
    explicit Form3(ProgramContext context);

    forms::Image Image1{form3::Image1};
    forms::Label Label4{form3::Label4};
    forms::Label Label1{form3::Label1};
    forms::Label Label5{form3::Label5};
    forms::Label Label2{form3::Label2};
    forms::Label Label3{form3::Label3};
    forms::Label Label6{form3::Label6};
    forms::Label Label8{form3::Label8};
    forms::Label Label7{form3::Label7};
    forms::Label Label9{form3::Label9};
    forms::Label Label10{form3::Label10};
    forms::Label Label11{form3::Label11};
    forms::TextBox Text1{form3::Text1};
    forms::CommandButton Command3{form3::Command3};
    forms::CommandButton Command2{form3::Command2};
    forms::CommandButton Command1{form3::Command1};

    void Form_Load();
    void Command3_Click();  // FAQ / Read Me
    void Command2_Click();  // the update check
    void Command1_Click();  // Close
    void Label2_Click();    // e-mail
    void Label3_Click();    // home page

    void closeRequested() override { Command1_Click(); }

private:
    void showDocument(const char* fileName, const char* missingText);

    ProgramContext context_;
};

}  // namespace pellorin
