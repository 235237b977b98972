// Windows: a plug-in locks through its own C runtime or straight through
// the system's critical sections, which no function of the host tool can
// stand in for; nothing is counted.
#include "tools/hosting/process/LockCount.h"

namespace LockCount {

bool available() { return false; }

bool& countingFlag() {
    thread_local bool flag = false;
    return flag;
}

unsigned long counted() { return 0; }

}  // namespace LockCount
