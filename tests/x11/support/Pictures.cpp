#include "tests/x11/support/Pictures.h"

#include <algorithm>
#include <climits>

#include "quavix/QuavixConfig.h"

namespace quavixtest {

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;
using quavix::panel::kHandleInsetX;
}  // namespace

Pixels loadPicture(const std::string& sourcePath) {
    return readPicture(std::string(QUAVIX_SOURCE_DIR) + "/" + sourcePath);
}

Pixels sliderPicture(int handleTop) {
    Pixels picture = loadPicture("resources/slider_track.png");
    const Pixels handle = loadPicture("resources/slider_handle.png");
    for (int y = 0; y < handle.height; ++y)
        for (int x = 0; x < handle.width; ++x) {
            const int row = handleTop + y;
            if (row >= 0 && row < picture.height && handle.at(x, y) != kWhite)
                picture.rgb[static_cast<size_t>(row) * picture.width + kHandleInsetX + x] = handle.at(x, y);
        }
    return picture;
}

::testing::AssertionResult areaMatches(const Pixels& seen, const VSTGUI::CRect& at, const Pixels& picture,
                                       int pictureLeft, int pictureTop) {
    if (seen.width < at.right || seen.height < at.bottom || picture.width < pictureLeft + at.width() ||
        picture.height < pictureTop + at.height())
        return ::testing::AssertionFailure() << "seen " << seen.width << " x " << seen.height << ", picture "
                                             << picture.width << " x " << picture.height;
    int differing = 0;
    ::testing::Message first;
    for (int y = 0; y < at.height(); ++y)
        for (int x = 0; x < at.width(); ++x) {
            const uint32_t got = seen.at(at.left + x, at.top + y);
            const uint32_t want = picture.at(pictureLeft + x, pictureTop + y);
            if (got != want && differing++ == 0)
                first << "first at (" << at.left + x << ", " << at.top + y << "): " << std::hex << got << ", expected "
                      << want;
        }
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ, " << first;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult matchesOutside(const Pixels& seen, const Pixels& picture,
                                          const std::vector<VSTGUI::CRect>& areas) {
    if (seen.width != picture.width || seen.height != picture.height)
        return ::testing::AssertionFailure() << "seen " << seen.width << " x " << seen.height << ", picture "
                                             << picture.width << " x " << picture.height;
    int differing = 0;
    ::testing::Message first;
    for (int y = 0; y < seen.height; ++y)
        for (int x = 0; x < seen.width; ++x) {
            bool inside = false;
            for (const VSTGUI::CRect& area : areas)
                inside = inside || (x >= area.left && x < area.right && y >= area.top && y < area.bottom);
            if (!inside && seen.at(x, y) != picture.at(x, y) && differing++ == 0)
                first << "first at (" << x << ", " << y << "): " << std::hex << seen.at(x, y) << ", expected "
                      << picture.at(x, y);
        }
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ, " << first;
    return ::testing::AssertionSuccess();
}

TextComparison compareText(const Pixels& seen, const Pixels& picture, const VSTGUI::CRect& area, uint32_t fill) {
    TextComparison result;
    VSTGUI::CRect* bounds[2] = {&result.expectedBounds, &result.seenBounds};
    for (VSTGUI::CRect* box : bounds)
        *box = VSTGUI::CRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    const auto grow = [](VSTGUI::CRect& box, int x, int y) {
        box = VSTGUI::CRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                            std::max(box.bottom, y + 1));
    };
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            result.differing += seen.at(x, y) != picture.at(x, y);
            if (picture.at(x, y) != fill) {
                ++result.expectedInk;
                grow(result.expectedBounds, x, y);
            }
            if (seen.at(x, y) != fill) {
                ++result.seenInk;
                grow(result.seenBounds, x, y);
            }
        }
    return result;
}

}  // namespace quavixtest
