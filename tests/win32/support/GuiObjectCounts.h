// How many GDI objects and windows the process holds, for leak checks.
// GetGuiResources answers where the system implements it; Wine's is a stub
// that answers 0, and there live GDI handles and this process's windows are
// counted one by one instead.
#pragma once

#include <cstdint>

namespace quavixtest {

uint32_t countGdiObjects();
uint32_t countUserObjects();

}  // namespace quavixtest
