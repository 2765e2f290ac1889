#pragma once

#include <memory>

#include "about/form3.h"
#include "about/form5.h"
#include "dialogs/form2.h"
#include "dialogs/form4.h"
#include "foundation/desktop.h"
#include "foundation/file_store.h"
#include "foundation/forms.h"
#include "foundation/program_context.h"
#include "foundation/settings.h"
#include "foundation/tray_icon_data.h"
#include "foundation/web.h"
#include "mainwindow/form1.h"

namespace pellorin {

// A window that is loaded on demand. After it is closed the object stays
// until the next loading replaces it: a handler of the window may still be
// running when it closes itself.
template <typename F>
struct LoadedForm {
    std::unique_ptr<F> form;
    bool loaded = false;
    F* get() const { return loaded ? form.get() : nullptr; }
};

// The main program's module-level state and its windows, wired to the
// platform it runs on.
class Program : public ProgramWindows {
public:
    Program(Desktop& desktop, FileStore& files, forms::Runtime& runtime, WebClient& web);

    SharedSettings settings;
    TrayIconData trayIconData;

private:
    ProgramContext context_;  // made before the windows, which take a copy

public:
    Form1 form1;
    LoadedForm<Form2> form2;
    LoadedForm<Form3> form3;
    LoadedForm<Form4> form4;
    LoadedForm<Form5> form5;

    void showSetup() override { show(form2); }
    void showPopupSize() override { show(form4); }
    void showAbout() override { show(form3); }
    void showUpdateCheck() override { show(form5); }
    void unload(forms::Form& form) override;
    void showHotkeyLetter(const std::string& letter) override { form1.showHotkeyLetter(letter); }
    void showPopupSizeInSetup(std::int16_t width, std::int16_t height) override {
        if (Form2* setup = form2.get()) setup->showPopupSize(width, height);
    }

private:
    template <typename F>
    void show(LoadedForm<F>& slot);
    template <typename F>
    bool unloadIf(LoadedForm<F>& slot, forms::Form& form);
};

}  // namespace pellorin
