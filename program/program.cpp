// The program's windows: the main one for the whole run, the others loaded
// when first shown and unloaded when closed.
#include "program/program.h"

namespace pellorin {

Program::Program(Desktop& desktop, FileStore& files, forms::Runtime& runtime, WebClient& web)
    : context_{desktop, files, runtime, settings, trayIconData, *this, web}, form1(context_) {}

template <typename F>
void Program::show(LoadedForm<F>& slot) {
    if (!slot.loaded) {
        // The one closed before goes now; nothing of it runs any more.
        slot.form = std::make_unique<F>(context_);
        context_.runtime.createWindow(*slot.form);
        slot.loaded = true;
        slot.form->Form_Load();
    }
    // Load may have closed it again.
    if (slot.loaded && slot.form->host()) slot.form->host()->show();
}

template <typename F>
bool Program::unloadIf(LoadedForm<F>& slot, forms::Form& form) {
    if (!slot.loaded || slot.form.get() != &form) return false;
    slot.loaded = false;
    context_.runtime.destroyWindow(form);
    return true;
}

void Program::unload(forms::Form& form) {
    unloadIf(form2, form) || unloadIf(form3, form) || unloadIf(form4, form) || unloadIf(form5, form);
}

}  // namespace pellorin
