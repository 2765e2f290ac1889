#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/desktop.h"
#include "foundation/forms.h"
#include "foundation/program_context.h"

namespace pellorin {

// The five scripts beside the program, by their file names.
namespace scripts {
inline constexpr const char* resetTitle = "setiedefault.vbs";
inline constexpr const char* addToolbarButton = "addieicon.vbs";
inline constexpr const char* removeToolbarButton = "removeieicon.vbs";
inline constexpr const char* addStartup = "addstartup.vbs";
inline constexpr const char* removeStartup = "removestartup.vbs";
}  // namespace scripts

// Where the browser keeps the window title it was given: Auto reads it,
// and setiedefault.vbs (or the program in its place) removes it.
inline constexpr const char* browserKey = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr const char* browserTitleValue = "Window Title";

// One change that a script makes under HKEY_CURRENT_USER.
struct RegistryChange {
    enum class Kind { setText, deleteValue, deleteTree };
    Kind kind;
    std::string key;
    std::string name;  // the value; none for deleteTree
    std::string text;  // what setText writes

    bool operator==(const RegistryChange&) const = default;
};

// What one of the five scripts does when it runs from folder, in its order;
// nothing for any other name.
std::vector<RegistryChange> scriptChanges(std::string_view script, const std::string& folder);

// Whether a .vbs file runs here and gets its work done: the shell opens it
// with Windows Script Host, the VBScript engine is there, no setting
// switches the host off, and no policy refuses reg.exe.
bool scriptsCanRun(const Desktop::ScriptSupport& support);

// Starts one of the five scripts from the program folder through the shell,
// as the program always has. Where scripts cannot run, or the shell does not
// start it, the program makes the script's change itself, and says so only
// when that fails too.
void runOutsideScript(ProgramContext& context, forms::Form& owner, const char* script);

}  // namespace pellorin
