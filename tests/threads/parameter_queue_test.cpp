// The CLAP backend's queue of parameter changes, written by an automation
// thread while the audio thread drains it: every change arrives once, in
// the order written, and one that finds the queue full is refused, not lost
// silently. Under ThreadSanitizer, a publication without its ordering shows.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tools/hosting/clap/ParameterQueue.h"

namespace {

TEST(ParameterQueue, ChangesWrittenOnOneThreadArriveOnAnotherOnceAndInOrder) {
    ParameterQueue queue;
    const int kChanges = 200000;
    std::atomic<int> refused{0};
    std::thread writer([&]() {
        for (int i = 0; i < kChanges; ++i) {
            while (!queue.push({i % 4, static_cast<double>(i)}))
                refused.fetch_add(1);
        }
    });
    std::vector<double> received;
    received.reserve(kChanges);
    while (received.size() < static_cast<size_t>(kChanges)) {
        queue.drain([&](const ParameterQueue::Change& change) {
            EXPECT_EQ(change.index, static_cast<int>(received.size()) % 4);
            received.push_back(change.value);
        });
    }
    writer.join();
    for (int i = 0; i < kChanges; ++i)
        ASSERT_EQ(received[static_cast<size_t>(i)], static_cast<double>(i));
}

TEST(ParameterQueue, AFullQueueRefusesUntilDrained) {
    ParameterQueue queue;
    int accepted = 0;
    while (queue.push({0, 1.0}))
        ++accepted;
    EXPECT_GT(accepted, 0);
    int drained = 0;
    queue.drain([&](const ParameterQueue::Change&) { ++drained; });
    EXPECT_EQ(drained, accepted);
    EXPECT_TRUE(queue.push({1, 2.0}));
}

}  // namespace
