// Parameter values set while the plug-in processes, on their way to the
// next block's events: a host's automation may come from another thread
// than the audio one (the stress session's does), and a CLAP plug-in hears
// values only as events. One writer and one reader, no lock and no
// allocation; a value that finds the queue full is dropped, as a full
// event list would drop it.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

class ParameterQueue {
public:
    struct Change {
        int index;
        double value;
    };

    bool push(const Change& change) {
        const size_t tail = written.load(std::memory_order_relaxed);
        if (tail - taken.load(std::memory_order_acquire) == kCapacity)
            return false;
        slots[tail % kCapacity] = change;
        written.store(tail + 1, std::memory_order_release);
        return true;
    }

    template <typename Take>
    void drain(Take take) {
        size_t head = taken.load(std::memory_order_relaxed);
        const size_t tail = written.load(std::memory_order_acquire);
        for (; head != tail; ++head)
            take(slots[head % kCapacity]);
        taken.store(head, std::memory_order_release);
    }

private:
    static const size_t kCapacity = 1024;

    std::array<Change, kCapacity> slots{};
    std::atomic<size_t> written{0};
    std::atomic<size_t> taken{0};
};
