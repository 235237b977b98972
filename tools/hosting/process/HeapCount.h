// Heap allocations a plug-in makes while it processes, for the validator: a
// real-time thread that calls the allocator may wait on a lock another
// thread holds, and a host's audio drops out. On Linux the host tool counts
// every malloc, calloc, realloc and aligned allocation (operator new ends in
// one of them) made on a thread while that thread is inside a Counting
// scope, and apart from them every free; elsewhere nothing is counted and
// available() says so.
#pragma once

#include "tools/hosting/process/CountingScope.h"

namespace HeapCount {

// Whether allocations are seen here, proven by counting one of our own.
bool available();

// This thread's flag: whether it counts now.
bool& countingFlag();

using Counting = CountingScope<countingFlag>;
using Paused = PausedScope<countingFlag>;

// This thread's count so far.
unsigned long counted();
// The blocks this thread has freed inside a Counting scope so far (free of
// null is no call that matters and is not counted).
unsigned long released();

}  // namespace HeapCount
