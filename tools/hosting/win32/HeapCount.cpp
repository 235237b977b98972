// Windows: a plug-in allocates through whichever C runtime it was built
// with, often its own copy linked in, which no function of the host tool
// can stand in for; nothing is counted.
#include "tools/hosting/HeapCount.h"

namespace HeapCount {

bool available() { return false; }

Counting::Counting() : was(false) {}
Counting::~Counting() {}

Paused::Paused() : was(false) {}
Paused::~Paused() {}

unsigned long counted() { return 0; }

unsigned long released() { return 0; }

}  // namespace HeapCount
