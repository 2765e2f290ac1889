#include <gtest/gtest.h>

#include "foundation/placement.h"

namespace pellorin::testing {
namespace {

TEST(Placement, DialogsOpenInTheMiddleOfTheMainWindowsMonitor) {
    const struct {
        const char* what;
        Rect32 workArea;
        std::int32_t width, height;
        Point32 expected;
    } cases[] = {
        {"primary monitor, task bar below", {0, 0, 1920, 1040}, 400, 300, {760, 370}},
        {"second monitor to the right", {1920, 0, 3840, 1080}, 400, 300, {2680, 390}},
        {"monitor left of the primary one", {-1280, -200, 0, 824}, 401, 301, {-841, 161}},
        {"task bar on the left", {48, 0, 1024, 768}, 976, 768, {48, 0}},
        {"larger than the monitor: caption stays on it", {1920, 0, 2944, 768}, 1200, 900, {1920, 0}},
    };
    for (const auto& c : cases) {
        const Point32 place = middleOf(c.workArea, c.width, c.height);
        EXPECT_EQ(place.x, c.expected.x) << c.what;
        EXPECT_EQ(place.y, c.expected.y) << c.what;
    }
}

}  // namespace
}  // namespace pellorin::testing
