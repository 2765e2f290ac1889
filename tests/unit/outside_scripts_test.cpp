#include <gtest/gtest.h>

#include "foundation/outside_scripts.h"
#include "fresh_program.h"

namespace pellorin::testing {
namespace {

using Registry = decltype(SubstituteDesktop::registry);

const std::string browserKey = "Software\\Microsoft\\Internet Explorer\\Main";
const std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string buttonKey =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{9F2E9CA6-3A7C-4425-99DE-326A150CE95F}";
const std::string folder = "C:\\Program Files\\Pellorin\\";

// A REG_SZ value as it is stored: the text and its terminating zero.
SubstituteDesktop::RegistryEntry text(const std::string& value) { return {1, value + '\0'}; }

// The registry as type:data texts, to compare and to print.
std::map<std::string, std::map<std::string, std::string>> shown(const Registry& registry) {
    std::map<std::string, std::map<std::string, std::string>> texts;
    for (const auto& [key, values] : registry)
        for (const auto& [name, entry] : values) texts[key][name] = std::to_string(entry.type) + ":" + entry.data;
    return texts;
}

// What each script finds: a short custom title, an old start-up entry, an
// old toolbar button, and another program's values beside ours.
Registry before() {
    return {{browserKey, {{"Window Title", text("abc")}, {"Other", text("keep me")}}},
            {runKey, {{"Pellorin", text("\"C:\\Old\\Pellorin.exe\"")}, {"Other", text("keep me")}}},
            {buttonKey, {{"CLSID", text("x")}, {"Exec", text("C:\\Old\\rovudir.exe")}}}};
}

Form2& setup(FreshProgram& p) {
    p.form.cmdSetup.click();
    return *p.program.form2.get();
}

struct Press {
    const char* script;
    const char* how;
    std::function<void(FreshProgram&)> press;
    std::function<void(Registry&)> change;           // what the script does
    std::function<void(Registry&)> found = nullptr;  // what differs from before(), if anything
};

const Press presses[] = {
    {"setiedefault.vbs", "Auto, Yes",
     [](FreshProgram& p) {
         p.runtime.answers = {forms::mb::answerYes};
         p.form.cmdAutoTitle.click();
     },
     [](Registry& r) { r[browserKey].erase("Window Title"); }},
    {"setiedefault.vbs", "Set to default", [](FreshProgram& p) { setup(p).Command3.click(); },
     [](Registry& r) { r[browserKey].erase("Window Title"); }},
    {"addstartup.vbs", "start box ticked, Apply",
     [](FreshProgram& p) {
         setup(p).Check1.setChecked(true);
         p.program.form2.get()->Command1.click();
     },
     [](Registry& r) { r[runKey]["Pellorin"] = text("\"" + folder + "Pellorin.exe\""); }},
    {"removestartup.vbs", "start box ticked and cleared, Apply",
     [](FreshProgram& p) {
         Form2& dialog = setup(p);
         dialog.Check1.setChecked(true);
         dialog.Check1.setChecked(false);
         dialog.Command1.click();
     },
     [](Registry& r) { r[runKey].erase("Pellorin"); }},
    {"addieicon.vbs", "Add", [](FreshProgram& p) { setup(p).cmdAddIeIcon.click(); },
     [](Registry& r) {
         r[buttonKey] = {{"ButtonText", text("Pellorin")},
                         {"MenuText", text("Pellorin")},
                         {"Default Visible", text("Yes")},
                         {"Exec", text(folder + "rovudir.exe")},
                         {"Icon", text(folder + "pellorin.ico")},
                         {"HotIcon", text(folder + "pellorin.ico")},
                         {"CLSID", text("{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}")}};
     }},
    // Run again with nothing left to remove: no failure either.
    {"setiedefault.vbs", "Set to default with no custom title", [](FreshProgram& p) { setup(p).Command3.click(); },
     [](Registry&) {}, [](Registry& r) { r[browserKey].erase("Window Title"); }},
    {"removeieicon.vbs", "Remove with no button", [](FreshProgram& p) { setup(p).cmdRemoveIeIcon.click(); },
     [](Registry& r) { r.erase(buttonKey); }, [](Registry& r) { r.erase(buttonKey); }},
    {"removeieicon.vbs", "Remove", [](FreshProgram& p) { setup(p).cmdRemoveIeIcon.click(); },
     [](Registry& r) { r.erase(buttonKey); }},
};

enum class Outcome { scriptRuns, ownChange, failureSaid };

struct Situation {
    const char* what;
    Desktop::ScriptSupport support;
    bool shellStarts, registryWritable;
    bool handed;  // the shell is handed the script
    Outcome outcome;
};

const std::string wscript = "C:\\Windows\\System32\\WScript.exe";
const Situation situations[] = {
    {"scripts run", {wscript, true, {}, {}}, true, true, true, Outcome::scriptRuns},
    {"no .vbs association", {"", true, {}, {}}, true, true, false, Outcome::ownChange},
    {".vbs opens in Notepad", {"C:\\Windows\\notepad.exe", true, {}, {}}, true, true, false, Outcome::ownChange},
    {"no VBScript engine", {wscript, false, {}, {}}, true, true, false, Outcome::ownChange},
    {"Script Host switched off", {wscript, true, {"1", "0"}, {}}, true, true, false, Outcome::ownChange},
    {"reg.exe refused by policy", {wscript, true, {}, {"0", "2"}}, true, true, false, Outcome::ownChange},
    {"the shell refuses the start", {wscript, true, {}, {}}, false, true, true, Outcome::ownChange},
    {"no engine, and the registry refuses", {wscript, false, {}, {}}, true, false, false, Outcome::failureSaid},
};

TEST(OutsideScripts, EachScriptRunsOrItsChangeIsMadeOrTheFailureIsSaid) {
    for (const Press& press : presses) {
        for (const Situation& situation : situations) {
            FreshProgram p;
            Registry found = before();
            if (press.found) press.found(found);
            p.desktop.registry = found;
            p.form.Form_Load();
            p.desktop.support = situation.support;
            p.desktop.shellStarts = situation.shellStarts;
            p.desktop.registryWritable = situation.registryWritable;
            press.press(p);
            const std::string what = std::string(press.how) + ", " + situation.what;

            std::vector<std::string> handed, errors;
            for (const std::string& call : p.desktop.calls)
                if (call.rfind("ShellExecute", 0) == 0) handed.push_back(call.substr(call.find(" open ") + 6));
            for (const auto& box : p.runtime.boxes)
                if (box.style == forms::mb::iconStop) errors.push_back(box.title + ": " + box.text);
            EXPECT_EQ(handed, situation.handed ? std::vector<std::string>{folder + press.script + " [] [] 9"}
                                               : std::vector<std::string>{})
                << what;

            Registry expected = found;
            if (situation.outcome == Outcome::ownChange) press.change(expected);
            EXPECT_EQ(shown(p.desktop.registry), shown(expected)) << what;
            EXPECT_EQ(errors, situation.outcome == Outcome::failureSaid
                                  ? std::vector<std::string>{"Pellorin: Error, couldn\u00b4t run " +
                                                             std::string(press.script) + " or write to the registry"}
                                  : std::vector<std::string>{})
                << what;
            if (press.how == std::string("Auto, Yes")) {
                EXPECT_EQ(p.form.Text1.text(), "Explorer") << what;
            }
        }
    }
}

TEST(OutsideScripts, TheToolbarButtonGetsItsClassLastSoAChangeCutShortLeavesNoButton) {
    EXPECT_EQ(scriptChanges("addieicon.vbs", "C:\\Pellorin").back().name, "CLSID");
}

// Beyond the situations above: how names and numbers are read.
TEST(OutsideScripts, OnlyWindowsScriptHostSwitchedOnRunsThem) {
    struct Case {
        std::string host;
        std::vector<std::string> enabled, toolsOff;
        bool runs;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\SysWOW64\\CSCRIPT.EXE", {"1", "1"}, {}, true},
        {"wscript.exe", {"10"}, {"0"}, true},
        {"C:\\Tools\\mywscript.exe", {}, {}, false},
        {"wscript.exe", {"00"}, {}, false},
        {"wscript.exe", {""}, {}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scriptsCanRun({c.host, true, c.enabled, c.toolsOff}), c.runs)
            << c.host << ", Enabled " << ::testing::PrintToString(c.enabled) << ", DisableRegistryTools "
            << ::testing::PrintToString(c.toolsOff);
}

}  // namespace
}  // namespace pellorin::testing
