// Locks a plug-in takes while it processes: a real-time thread that waits
// for a lock waits for whichever thread holds it, at that thread's priority,
// and a host's audio drops out. On Linux the host tool counts every call to
// the pthread mutex, read-write lock, spin lock, condition and semaphore
// waits made on a thread while that thread is inside a Counting scope;
// elsewhere nothing is counted and available() says so. Shaped as HeapCount.
#pragma once

#include "tools/hosting/CountingScope.h"

namespace LockCount {

// Whether locks are seen here, proven by counting one of our own.
bool available();

// This thread's flag: whether it counts now.
bool& countingFlag();

// Counts this thread's locks for as long as it lives.
class Counting : CountingFlagScope {
public:
    Counting() : CountingFlagScope(countingFlag(), true) {}
};

// Not counted for as long as it lives: the host's own work inside a counted
// call, as when the plug-in calls back into the host.
class Paused : CountingFlagScope {
public:
    Paused() : CountingFlagScope(countingFlag(), false) {}
};

// This thread's count so far.
unsigned long counted();

}  // namespace LockCount
