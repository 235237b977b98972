// How many GDI objects and windows the process holds, for leak checks.
// GetGuiResources answers where the system implements it; Wine's is a stub
// that answers 0, and there live GDI handles and this process's windows are
// counted one by one instead.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

namespace quavixtest {

uint32_t countGdiObjects();
uint32_t countUserObjects();

// Whether the GDI count follows objects made and deleted here: a leak check
// on a count that sees nothing would pass whatever leaked.
::testing::AssertionResult gdiCountSeesObjects();

}  // namespace quavixtest
