// The five scripts beside the program, and the registry change each makes:
// the program makes the same change itself where scripts cannot run.
#include "foundation/outside_scripts.h"

#include <algorithm>

#include "foundation/settings.h"
#include "foundation/text.h"

namespace pellorin {

namespace {

constexpr const char* runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Pellorin's own extension id; the installer removes the same key.
constexpr const char* buttonKey =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{9F2E9CA6-3A7C-4425-99DE-326A150CE95F}";
// The class of toolbar buttons that run a program.
constexpr const char* runProgramClass = "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}";

constexpr std::int32_t done = 0;
constexpr std::int32_t notFound = 2;  // ERROR_FILE_NOT_FOUND

// Whether a setting reads as a whole number above 0.
bool aboveZero(const std::string& setting) {
    const std::size_t start = setting.find_first_not_of(' ');
    if (start == std::string::npos) return false;
    bool nonZero = false;
    for (std::size_t at = start; at < setting.size() && setting[at] != ' '; ++at) {
        if (setting[at] < '0' || setting[at] > '9') return false;
        nonZero = nonZero || setting[at] != '0';
    }
    return nonZero;
}

bool makeChange(Desktop& desktop, const RegistryChange& change) {
    switch (change.kind) {
        case RegistryChange::Kind::setText:
            return desktop.regSetCurrentUserText(change.key, change.name, change.text) == done;
        case RegistryChange::Kind::deleteValue: {
            // Nothing to delete is what the script leaves too.
            const std::int32_t result = desktop.regDeleteCurrentUserValue(change.key, change.name);
            return result == done || result == notFound;
        }
        case RegistryChange::Kind::deleteTree: {
            const std::int32_t result = desktop.regDeleteCurrentUserTree(change.key);
            return result == done || result == notFound;
        }
    }
    return false;
}

}  // namespace

std::vector<RegistryChange> scriptChanges(std::string_view script, const std::string& folder) {
    using Kind = RegistryChange::Kind;
    if (script == scripts::resetTitle) return {{Kind::deleteValue, browserKey, browserTitleValue, ""}};
    // Quoted, as the script writes it: Windows cuts an unquoted command line
    // at the first blank.
    if (script == scripts::addStartup) return {{Kind::setText, runKey, "Pellorin", "\"" + folder + "\\Pellorin.exe\""}};
    if (script == scripts::removeStartup) return {{Kind::deleteValue, runKey, "Pellorin", ""}};
    if (script == scripts::addToolbarButton) {
        const std::string icon = folder + "\\pellorin.ico";
        // The class last: the browser ignores a button without one, so a
        // change cut short leaves no half-made button.
        return {{Kind::setText, buttonKey, "ButtonText", "Pellorin"},
                {Kind::setText, buttonKey, "MenuText", "Pellorin"},
                {Kind::setText, buttonKey, "Default Visible", "Yes"},
                {Kind::setText, buttonKey, "Exec", folder + "\\rovudir.exe"},
                {Kind::setText, buttonKey, "Icon", icon},
                {Kind::setText, buttonKey, "HotIcon", icon},
                {Kind::setText, buttonKey, "CLSID", runProgramClass}};
    }
    if (script == scripts::removeToolbarButton) return {{Kind::deleteTree, buttonKey, "", ""}};
    return {};
}

bool scriptsCanRun(const Desktop::ScriptSupport& support) {
    // Anything else the shell opens a .vbs file with (Notepad, where it is
    // made the editor of scripts, or the "Open with" box) would not run it.
    const std::string host = asciiLowered(support.host.substr(support.host.find_last_of("\\/") + 1));
    if (host != "wscript.exe" && host != "cscript.exe") return false;
    if (!support.engineInstalled) return false;
    // Anything but a number above 0 is taken as switching the host off, and
    // any such policy as refusing reg.exe. Taking too much as "cannot run"
    // costs nothing: the program then makes the same change itself.
    const auto& enabled = support.enabledSettings;
    const auto& toolsOff = support.registryToolsPolicies;
    return std::all_of(enabled.begin(), enabled.end(), aboveZero) &&
           std::none_of(toolsOff.begin(), toolsOff.end(), aboveZero);
}

void runOutsideScript(ProgramContext& context, forms::Form& owner, const char* script) {
    Desktop& desktop = context.desktop;
    if (scriptsCanRun(desktop.scriptSupport()) &&
        desktop.shellExecuteOwnFile(owner.windowHandle(), "open", settingsPath(context.files, script), "", "",
                                    show::restore))
        return;
    bool changed = true;
    for (const RegistryChange& change : scriptChanges(script, context.files.programFolder()))
        changed = changed && makeChange(desktop, change);
    if (!changed)
        context.runtime.messageBox(std::string("Error, couldn\u00b4t run ") + script + " or write to the registry",
                                   programName, forms::mb::iconStop);
}

}  // namespace pellorin
