#include "toolkit/platform/SystemServices.h"

#include "platform/stub/StubWindows.h"

namespace VSTGUI {

namespace {
uint32_t ticks = 0;
}  // namespace

uint32_t stub::now() { return ticks; }

uint32_t tickCount() { return ticks; }

void sleepMilliseconds(uint32_t milliseconds) { ticks += milliseconds; }

// Paints happen when a test calls stub::paint: none is ever pending.
bool dispatchOnePendingPaint() { return false; }

// Nothing to keep: no OLE, no drawing library.
ThreadResources acquireThreadResources(SystemUser) { return nullptr; }

void releaseThreadResources(SystemUser, ThreadResources) {}

}  // namespace VSTGUI
