#pragma once

#include <windows.h>

namespace pellorin {

// A program unpacked into Downloads shares that folder with whatever else
// was downloaded: a DLL there named like a system one would run with the
// user's rights (and at every log-on, through the Run value). So the
// programs take libraries from the system folder only.

// First thing in both programs: later loads, ours and those made for us by
// the system, search the system folder alone.
void loadLibrariesFromSystemFolderOnly();

// A library of Windows' own, from the system folder; nullptr when it cannot
// be loaded there.
HMODULE loadSystemLibrary(const wchar_t* name);

// An entry point of a loaded library, as the function type it has.
template <typename Function>
Function entryPoint(HMODULE library, const char* name) {
    // Through a type-free function pointer: GetProcAddress's own type fits no entry point.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace pellorin
