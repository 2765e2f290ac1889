#include "program_fixture.h"

namespace pellorin::testing {
namespace {

class PopupSizeTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        // Every window the program opens stands on the desktop, 300 x 120 at first.
        runtime.onCreate = [this](forms::Form& opened, SubstituteHost& window) {
            window.window = desktop.open(opened.caption(), {10, 20, 310, 140});
        };
        load();
    }
    Form2& setup() {
        form.cmdSetup.click();
        return *program.form2.get();
    }
    Form4& sizeWindow() {
        setup().Check2.setChecked(true);
        program.form2.get()->Command4.click();
        return *program.form4.get();
    }
    Rect32 rectOf(forms::Form& window) { return desktop.window(runtime.windowOf(window)->window).rect; }
    void resize(forms::Form& window, std::int32_t width, std::int32_t height) {
        Rect32& rect = desktop.window(runtime.windowOf(window)->window).rect;
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
    }
};

TEST_F(PopupSizeTest, OpensAtTheStoredSizeOnlyWhenBothAreSet) {
    const struct {
        const char* popup;
        Rect32 expected;
    } cases[] = {
        {"enabled\r\n 640 \r\n 480 \r\nnone\r\n", {200, 150, 840, 630}},
        {"enabled\r\n 640 \r\n 0 \r\nnone\r\n", {10, 20, 310, 140}},
        {"enabled\r\n 0 \r\n 0 \r\nnone\r\n", {10, 20, 310, 140}},
    };
    for (const auto& c : cases) {
        files.put("popup.cfg", c.popup);
        Form4& window = sizeWindow();
        const Rect32 got = rectOf(window);
        EXPECT_EQ(std::vector<int>({got.left, got.top, got.right, got.bottom}),
                  std::vector<int>({c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}))
            << c.popup;
        // Apply at once gives back what it opened with.
        window.Command1.click();
        EXPECT_EQ(program.form2.get()->Label4.caption(), "Width:  " + std::to_string(got.right - got.left));
        EXPECT_EQ(program.form2.get()->Label5.caption(), "Height: " + std::to_string(got.bottom - got.top));
        EXPECT_EQ(program.form4.get(), nullptr);
        program.form2.get()->Command2.click();
    }
}

TEST_F(PopupSizeTest, ApplyTakesTheOuterSizeForTheWatcherAtOnceAndCancelKeepsIt) {
    files.put("popup.cfg", "enabled\r\n 640 \r\n 480 \r\nclose\r\n");
    Form4& window = sizeWindow();
    resize(window, 500, 40000);
    window.Command1.click();
    EXPECT_EQ(settings.popupMaxWidth, 500);
    EXPECT_EQ(settings.popupMaxHeight, 32767) << "beyond 16 bits counts as the largest";

    Form4& again = *(program.form2.get()->Command4.click(), program.form4.get());
    resize(again, 100, 100);
    again.Command2.click();
    EXPECT_EQ(settings.popupMaxWidth, 500) << "Cancel changes nothing";
    EXPECT_EQ(program.form2.get()->Label4.caption(), "Width:  500");

    // Cancel in the dialog: the size holds in memory until the dialog opens again.
    program.form2.get()->Command2.click();
    EXPECT_EQ(settings.popupMaxWidth, 500);
    EXPECT_EQ(files.get("popup.cfg"), "enabled\r\n 640 \r\n 480 \r\nclose\r\n");
    setup();
    EXPECT_EQ(settings.popupMaxWidth, 640);
    EXPECT_EQ(settings.popupMaxHeight, 480);
}

TEST_F(PopupSizeTest, WithTheDialogClosedApplyKeepsTheSizeAndLeavesTheDialogClosed) {
    files.put("popup.cfg", "enabled\r\n 640 \r\n 480 \r\nclose\r\n");
    Form4& window = sizeWindow();
    program.form2.get()->Command2.click();
    resize(window, 321, 123);
    window.Command1.click();
    EXPECT_EQ(settings.popupMaxWidth, 321);
    EXPECT_EQ(settings.popupMaxHeight, 123);
    EXPECT_EQ(program.form2.get(), nullptr);
    EXPECT_TRUE(runtime.windows.empty());
}

}  // namespace
}  // namespace pellorin::testing
