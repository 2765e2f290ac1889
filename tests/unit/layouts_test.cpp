// Every window's design, as data: captions seen whole, labels naming real
// boxes and lists, the pop-up size window's inside at any size, and the
// keyboard's ways to the about box.
#include <algorithm>
#include <string_view>

#include "program_fixture.h"

namespace pellorin::testing {
namespace {

struct Box {
    int left, top, right, bottom;
};

Box boxOf(const forms::Control& control) {
    return {control.windowLeft(), control.windowTop(), control.windowLeft() + control.place().width,
            control.windowTop() + control.place().height};
}

bool overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool holds(const Box& outer, const Box& inner) {
    return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
           inner.bottom <= outer.bottom;
}

std::string describe(const forms::Control& control) {
    const Box b = boxOf(control);
    return std::string(control.name()) + " [" + std::to_string(b.left) + "," + std::to_string(b.top) + " - " +
           std::to_string(b.right) + "," + std::to_string(b.bottom) + "]";
}

bool isDecoration(const forms::Control& control) {
    return control.layout().kind == forms::Kind::shape || control.layout().kind == forms::Kind::line;
}

const forms::Control* named(const forms::Form& window, std::string_view name) {
    for (const forms::Control* control : window.controls())
        if (name == control->name()) return control;
    return nullptr;
}

// A control drawn inside a frame (at any depth) overlaps that frame by design.
bool within(const forms::Form& window, const forms::Control& control, const forms::Control& frame) {
    for (const char* container = control.layout().container; container;) {
        if (std::string_view(container) == frame.name()) return true;
        const forms::Control* outer = named(window, container);
        container = outer ? outer->layout().container : nullptr;
    }
    return false;
}

class LayoutTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        load();
    }
    // Every window of the program, opened as a user opens them.
    std::vector<forms::Form*> windows() {
        form.cmdSetup.click();
        program.form2.get()->Check2.setChecked(true);
        program.form2.get()->Command4.click();
        form.imgAbout.click();
        program.form3.get()->Command2.click();
        return {&form, program.form2.get(), program.form3.get(), program.form4.get(), program.form5.get()};
    }
};

TEST_F(LayoutTest, EveryCaptionIsSeenWholeAndEveryLabelNamesABoxOrAList) {
    for (forms::Form* window : windows()) {
        const Box client{0, 0, window->clientWidth(), window->clientHeight()};
        std::vector<forms::Control*> shown;
        for (forms::Control* control : window->controls())
            if (control->visible()) shown.push_back(control);
        for (forms::Control* control : shown) {
            const std::string where = window->caption() + ": " + describe(*control);
            EXPECT_TRUE(holds(client, boxOf(*control))) << where << " lies outside the window";
            if (isDecoration(*control)) continue;
            for (forms::Control* other : shown) {
                if (other == control || within(*window, *control, *other) || within(*window, *other, *control))
                    continue;
                if (!isDecoration(*other)) {
                    EXPECT_FALSE(overlap(boxOf(*control), boxOf(*other))) << where << " overlaps " << describe(*other);
                    continue;
                }
                // A caption in a drawn box keeps clear of its edges (two pixels
                // wide), and of a line; the window paints them beneath.
                if (control->layout().kind != forms::Kind::label) continue;
                const Box edge = boxOf(*other);
                const Box inner{edge.left + 30, edge.top + 30, edge.right - 30, edge.bottom - 30};
                EXPECT_TRUE(holds(inner, boxOf(*control)) || !overlap(edge, boxOf(*control)))
                    << where << " crosses the edge of " << describe(*other);
            }
            if (const char* labelled = control->layout().labelFor) {
                const forms::Control* box = named(*window, labelled);
                ASSERT_NE(box, nullptr) << where << " names " << labelled << ", which the window lacks";
                EXPECT_TRUE(box->layout().kind == forms::Kind::textBox || box->layout().kind == forms::Kind::listBox)
                    << where << " names " << labelled << ", which has a caption of its own";
            }
        }
    }
}

TEST_F(LayoutTest, ThePopupSizeWindowKeepsItsButtonsInsideAtTheBottomRight) {
    windows();
    Form4& window = *program.form4.get();
    // Sizes of the inside in twips: as designed, a stored 400 x 300 at 96,
    // 144 and 192 dots per inch, very large, and smaller than the buttons.
    const struct {
        int width, height;
        bool designSize;  // both buttons as designed
    } cases[] = {{form4::clientWidth, form4::clientHeight, true},
                 {384 * 15, 265 * 15, true},
                 {390 * 10, 262 * 10, true},
                 {390 * 15 / 2, 253 * 15 / 2, true},
                 {30000, 20000, true},
                 {1800, 600, false},
                 {300, 90, false},
                 {0, 0, false}};
    for (const auto& c : cases) {
        window.clientResized(c.width, c.height);
        const Box inside{0, 0, c.width, c.height};
        const Box apply = boxOf(window.Command1), cancel = boxOf(window.Command2), text = boxOf(window.Label1);
        const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
        EXPECT_TRUE(holds(inside, apply) && holds(inside, cancel)) << size;
        EXPECT_LE(cancel.right, apply.left) << size << ": Cancel left of Apply";
        if (c.designSize) {
            EXPECT_EQ(apply.right, c.width - form4::edge) << size;
            EXPECT_EQ(apply.bottom, c.height - form4::bottomEdge) << size;
            EXPECT_EQ(apply.right - apply.left, form4::Command1.width) << size;
            EXPECT_EQ(cancel.right - cancel.left, form4::Command2.width) << size;
        } else {
            EXPECT_LT(apply.right - apply.left, form4::Command1.width) << size << ": smaller where there is no room";
        }
        // The text across the width, above the buttons, where there is room for it.
        EXPECT_TRUE(text.bottom <= apply.top || text.bottom == text.top) << size;
        if (c.width >= 2 * form4::edge) {
            EXPECT_EQ(text.right, c.width - form4::edge) << size;
        }
    }
    // The design's places are where the window puts them at its design size.
    window.clientResized(form4::clientWidth, form4::clientHeight);
    for (const forms::ControlLayout* layout : {&form4::Label1, &form4::Command1, &form4::Command2}) {
        const forms::Control& control = *std::find_if(window.controls().begin(), window.controls().end(),
                                                      [layout](auto* c) { return &c->layout() == layout; })[0];
        EXPECT_EQ(control.place(), (forms::Place{layout->left, layout->top, layout->width, layout->height}))
            << layout->name;
    }
}

TEST_F(LayoutTest, TheAboutBoxByF1AndByTheSystemMenu) {
    EXPECT_EQ(form.firstFocus(), &form.Text1);
    ASSERT_EQ(form.systemMenu().size(), 1u);
    EXPECT_EQ(form.systemMenu()[0]->caption(), "About Pellorin...");
    form.helpRequested();
    ASSERT_NE(program.form3.get(), nullptr);
    program.form3.get()->Command1.click();
    ASSERT_EQ(program.form3.get(), nullptr);
    form.systemMenu()[0]->click();
    ASSERT_NE(program.form3.get(), nullptr);
    // Tab reaches the links, just before the document.
    Form3& about = *program.form3.get();
    const auto& order = about.tabOrder();
    EXPECT_EQ(std::vector<forms::Control*>(order.end() - 3, order.end()),
              (std::vector<forms::Control*>{&about.Label2, &about.Label3, &about.Text1}));
}

}  // namespace
}  // namespace pellorin::testing
