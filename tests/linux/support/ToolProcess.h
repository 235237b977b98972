// The Linux host tool as the tests start it: a child process in a directory
// of the test's choosing, the plug-ins the build made beside it, and the
// test plug-in's faults switched on for the tools a test starts.
#pragma once

#include <cstdlib>
#include <string>

#include "tests/tools/HostToolFixture.h"

namespace hosttool {

// The test plug-in of tests/linux/TestPlugin.cpp, built beside the tests.
std::string testPluginPath();

// Sets the test plug-in's fault for the tools this test starts, and clears it after.
// Sets the test plug-in's fault for the tools this test starts, and clears it after.
class PluginFault {
public:
    explicit PluginFault(const char* fault) { setenv("QUAVIX_TEST_PLUGIN_FAULT", fault, 1); }
    ~PluginFault() { unsetenv("QUAVIX_TEST_PLUGIN_FAULT"); }
};

}  // namespace hosttool
