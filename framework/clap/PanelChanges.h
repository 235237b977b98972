// What the panel did, on its way from the host's main thread to the thread
// that next hands events to the host (its audio thread in process, or
// whichever thread flushes): gesture starts, values and ends, in order.
// One thread writes and one reads, so two atomic positions are the whole
// synchronisation: the audio thread never waits and never allocates.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

struct PanelChange {
    enum class Kind : int32_t { begin, value, end };
    Kind kind;
    int32_t index;
    float value;  // normalized, for Kind::value
};

class PanelChanges {
public:
    // The main thread's. A value is dropped rather than a gesture's end
    // when a host leaves the queue unread: a host that never hears an end
    // would keep the parameter held.
    bool push(const PanelChange& change) {
        const uint32_t write = written.load(std::memory_order_relaxed);
        const uint32_t free = kCapacity - (write - read.load(std::memory_order_acquire));
        const uint32_t kept = change.kind == PanelChange::Kind::value ? kKeptForGestures : 0;
        if (free <= kept) {
            return false;
        }
        ring[write % kCapacity] = change;
        written.store(write + 1, std::memory_order_release);
        return true;
    }

    // The reading thread's; false once the queue is empty.
    bool pop(PanelChange& change) {
        const uint32_t next = read.load(std::memory_order_relaxed);
        if (next == written.load(std::memory_order_acquire)) {
            return false;
        }
        change = ring[next % kCapacity];
        read.store(next + 1, std::memory_order_release);
        return true;
    }

private:
    static constexpr uint32_t kCapacity = 256;
    static constexpr uint32_t kKeptForGestures = 16;
    std::array<PanelChange, kCapacity> ring{};
    std::atomic<uint32_t> written{0};
    std::atomic<uint32_t> read{0};
};
