// How many GDI objects and windows this process holds. GetGuiResources
// answers where the system implements it; Wine's is a stub that answers 0,
// and there live GDI handles and this process's windows are counted one by
// one instead.
#pragma once

#include <cstdint>

uint32_t countGdiObjects();
uint32_t countUserObjects();
