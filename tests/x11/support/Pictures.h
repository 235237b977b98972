// Pictures to compare the editor's window with: the Windows editor's own
// picture (docs/quavix-editor.png) and the bitmap resources, read with
// stb_image, and comparisons that count what differs.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "toolkit/geometry/CRect.h"
#include "tests/x11/support/EditorHost.h"

namespace quavixtest {

// A file of the source tree (path relative to its root); empty when unreadable.
Pixels loadPicture(const std::string& sourcePath);

// The editor's slider as it must look, the size of its track: the track,
// with the handle's non-white pixels one column in and handleTop rows down.
Pixels sliderPicture(int handleTop);

// The area of what is seen, at `at`, against the picture's area of the same
// size at (pictureLeft, pictureTop); every pixel must be equal.
::testing::AssertionResult areaMatches(const Pixels& seen, const VSTGUI::CRect& at, const Pixels& picture,
                                       int pictureLeft, int pictureTop);
// The same, outside the given areas: everything else of the two pictures.
::testing::AssertionResult matchesOutside(const Pixels& seen, const Pixels& picture,
                                          const std::vector<VSTGUI::CRect>& areas);

// A text area of two pictures with the same box fill: pixels that differ,
// ink (pixels not of the fill) in each, and where each's ink lies.
struct TextComparison {
    int differing = 0;
    int expectedInk = 0;
    int seenInk = 0;
    VSTGUI::CRect expectedBounds;
    VSTGUI::CRect seenBounds;
};
TextComparison compareText(const Pixels& seen, const Pixels& picture, const VSTGUI::CRect& area, uint32_t fill);

}  // namespace quavixtest
