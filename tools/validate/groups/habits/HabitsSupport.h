// What the host-habits checks share: the block they process, how many
// parameters they walk, what a host sees of an instance without processing
// (every read-back and display), and the states a session may hold.
#pragma once

#include <string>
#include <vector>

#include "tools/hosting/vst/PluginHost.h"
#include "tools/validate/CheckContext.h"

// Half the other groups' kBlock.
const int kHabitsBlock = 256;
// After this many failures a check has said enough; the rest would cost time only.
const int kEnoughFailures = 20;

struct Snapshot {
    std::vector<float> values;
    std::vector<std::string> displays;
};

Snapshot snapshot(PluginHost& host);
// Each parameter whose read-back or display differs, described.
std::vector<std::string> differences(const Snapshot& was, const Snapshot& is);
// The first few texts, and how many more.
std::string joined(const std::vector<std::string>& texts, size_t most = 3);

// The parameters a check walks: all of them, or an even spread when there
// are so many that comparing all after each would take too long.
std::vector<VstInt32> walked(CheckContext& context, VstInt32 count);

// A state a session may hold, reached the way a user and automation reach
// it: 0 to 2 the extremes (named by stateName), from 3 on random values,
// each set one to three times.
void bringIntoState(CheckContext& context, PluginHost& host, int state);
std::string stateName(int state);
