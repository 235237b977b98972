// A VstEvents with room for N events, laid out as hosts lay one out, for the
// format adapters that hand events to the effect in a VST host's place.
#pragma once

#include <cstddef>

#include "framework/VstInterface.h"

template <int N>
struct HostEventList {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[N];
};
static_assert(offsetof(HostEventList<2>, reserved) == offsetof(VstEvents, reserved), "the list's header is VstEvents'");
static_assert(offsetof(HostEventList<2>, events) == offsetof(VstEvents, events), "the list's pointers are VstEvents'");
