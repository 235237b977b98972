// How many GDI objects and windows the process holds, for leak checks: the
// host tool's own counters, and a check that the GDI count sees anything.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "tools/hosting/win32/GuiObjects.h"

namespace quavixtest {

using ::countGdiObjects;
using ::countUserObjects;

// Whether the GDI count follows objects made and deleted here: a leak check
// on a count that sees nothing would pass whatever leaked.
::testing::AssertionResult gdiCountSeesObjects();

}  // namespace quavixtest
