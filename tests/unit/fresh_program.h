#pragma once

#include "program/program.h"
#include "substitute_desktop.h"

namespace pellorin::testing {

// A main program of its own on a substitute desktop.
struct FreshProgram {
    SubstituteDesktop desktop;
    MemoryFiles files;
    SubstituteRuntime runtime;
    SubstituteWeb web;
    Program program{desktop, files, runtime, web};
    Form1& form = program.form1;
};

}  // namespace pellorin::testing
