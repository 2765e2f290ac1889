#pragma once

#include <gtest/gtest.h>

#include "fresh_program.h"

namespace pellorin::testing {

// A whole main program on the substitute desktop, with its window shown by a
// host that only records.
class ProgramTest : public ::testing::Test {
protected:
    SubstituteDesktop desktop;
    MemoryFiles files;
    SubstituteRuntime runtime;
    SubstituteHost host;
    SubstituteWeb web;
    Program program{desktop, files, runtime, web};
    Form1& form = program.form1;
    SharedSettings& settings = program.settings;

    void SetUp() override { form.attachHost(&host); }

    void load() { form.Form_Load(); }

    // Runs an event that ends the program; true when it did end.
    template <typename Event>
    bool endsProgram(Event event) {
        try {
            event();
        } catch (const ProgramEnded&) {
            return true;
        }
        return false;
    }

    std::vector<std::string> listTexts(const forms::ListBox& list) const {
        std::vector<std::string> texts;
        for (const auto& item : list.items()) texts.push_back(item.text);
        return texts;
    }
};

}  // namespace pellorin::testing
