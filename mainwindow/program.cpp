#include "mainwindow/program.h"

namespace pellorin {

Program::Program(Desktop& desktop, FileStore& files, forms::Runtime& runtime)
    : form1(ProgramContext{desktop, files, runtime, settings, trayIconData}) {}

}  // namespace pellorin
