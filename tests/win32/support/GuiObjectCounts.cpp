#include "tests/win32/support/GuiObjectCounts.h"

#include <windows.h>

#include "tools/hosting/win32/GuiObjects.h"

namespace quavixtest {

::testing::AssertionResult gdiCountSeesObjects() {
    const uint32_t before = ::countGdiObjects();
    HPEN probes[3] = {CreatePen(PS_SOLID, 1, 0), CreatePen(PS_SOLID, 1, 1), CreatePen(PS_SOLID, 1, 2)};
    const uint32_t made = ::countGdiObjects();
    for (HPEN probe : probes)
        DeleteObject(probe);
    const uint32_t deleted = ::countGdiObjects();
    if (made != before + 3 || deleted != before)
        return ::testing::AssertionFailure()
               << "three pens made and deleted counted " << before << " -> " << made << " -> " << deleted;
    return ::testing::AssertionSuccess();
}

}  // namespace quavixtest
