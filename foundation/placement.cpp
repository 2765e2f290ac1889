// Where the program's dialogs open.
#include "foundation/placement.h"

#include <algorithm>

namespace pellorin {

Point32 middleOf(const Rect32& workArea, std::int32_t width, std::int32_t height) {
    const std::int32_t spareX = workArea.right - workArea.left - width;
    const std::int32_t spareY = workArea.bottom - workArea.top - height;
    return {workArea.left + std::max(0, spareX / 2), workArea.top + std::max(0, spareY / 2)};
}

}  // namespace pellorin
