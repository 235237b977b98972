// Windows: a plug-in allocates through whichever C runtime it was built
// with, often its own copy linked in, which no function of the host tool
// can stand in for; nothing is counted.
#include "tools/hosting/process/HeapCount.h"

namespace HeapCount {

bool available() { return false; }

bool& countingFlag() {
    thread_local bool flag = false;
    return flag;
}

unsigned long counted() { return 0; }

unsigned long released() { return 0; }

}  // namespace HeapCount
