// Heap allocations a plug-in makes while it processes, for the validator: a
// real-time thread that calls the allocator may wait on a lock another
// thread holds, and a host's audio drops out. On Linux the host tool counts
// every malloc, calloc, realloc and aligned allocation (operator new ends in
// one of them) made on a thread while that thread is inside a Counting
// scope, and apart from them every free; elsewhere nothing is counted and
// available() says so.
#pragma once

namespace HeapCount {

// Whether allocations are seen here, proven by counting one of our own.
bool available();

// Counts this thread's allocations for as long as it lives; nests.
class Counting {
public:
    Counting();
    ~Counting();
    Counting(const Counting&) = delete;
    Counting& operator=(const Counting&) = delete;

private:
    bool was;
};

// Not counted for as long as it lives: the host's own work inside a counted
// call, as when the plug-in calls back into the host.
class Paused {
public:
    Paused();
    ~Paused();
    Paused(const Paused&) = delete;
    Paused& operator=(const Paused&) = delete;

private:
    bool was;
};

// This thread's count so far.
unsigned long counted();
// The blocks this thread has freed inside a Counting scope so far (free of
// null is no call that matters and is not counted).
unsigned long released();

}  // namespace HeapCount
