#pragma once

#include "foundation/desktop.h"

namespace pellorin {

struct Point32 {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Where a window of this outer size goes to stand in the middle of a
// monitor's work area (the screen less the task bar): its top-left corner.
// A window larger than the area keeps its caption inside it, at the top left.
Point32 middleOf(const Rect32& workArea, std::int32_t width, std::int32_t height);

}  // namespace pellorin
