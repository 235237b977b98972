// Dispatching the test thread's messages while a test waits for something
// that a window or a second thread makes happen.
#pragma once

#include <cstdint>
#include <functional>

namespace quavixtest {

// Dispatches every pending message of the calling thread.
void pumpPendingMessages();
// Dispatches messages until the condition holds or the time runs out;
// returns the condition's last answer.
bool pumpUntil(const std::function<bool()>& condition, uint32_t timeoutMilliseconds);

}  // namespace quavixtest
