// What the allocation and lock counters share: a thread counts while it is
// inside a Counting scope and not inside a Paused one. Both nest, each
// putting back what it found. Each counter names its own thread flag.
#pragma once

class CountingFlagScope {
public:
    CountingFlagScope(bool& flag, bool counting) : flag(flag), was(flag) { flag = counting; }
    ~CountingFlagScope() { flag = was; }
    CountingFlagScope(const CountingFlagScope&) = delete;
    CountingFlagScope& operator=(const CountingFlagScope&) = delete;

private:
    bool& flag;
    const bool was;
};

// Counts this thread's calls for as long as it lives.
template <bool& (*threadFlag)()>
class CountingScope : CountingFlagScope {
public:
    CountingScope() : CountingFlagScope(threadFlag(), true) {}
};

// Not counted for as long as it lives: the host's own work inside a counted
// call, as when the plug-in calls back into the host.
template <bool& (*threadFlag)()>
class PausedScope : CountingFlagScope {
public:
    PausedScope() : CountingFlagScope(threadFlag(), false) {}
};
