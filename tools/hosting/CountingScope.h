// What the allocation and lock counters share: a thread counts while it is
// inside a Counting scope and not inside a Paused one. Both nest, each
// putting back what it found.
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
