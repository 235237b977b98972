// Locks a plug-in takes while it processes: a real-time thread that waits
// for a lock waits for whichever thread holds it, at that thread's priority,
// and a host's audio drops out. On Linux the host tool counts every call to
// the pthread mutex, read-write lock, spin lock, condition and semaphore
// waits made on a thread while that thread is inside a Counting scope;
// elsewhere nothing is counted and available() says so. Shaped as HeapCount.
#pragma once

#include "tools/hosting/process/CountingScope.h"

namespace LockCount {

// Whether locks are seen here, proven by counting one of our own.
bool available();

// This thread's flag: whether it counts now.
bool& countingFlag();

using Counting = CountingScope<countingFlag>;
using Paused = PausedScope<countingFlag>;

// This thread's count so far.
unsigned long counted();

}  // namespace LockCount
