// The CLAP host's service of an editor's event loop, against a plug-in
// record of this test's own: a timer is called once its period has passed
// and not before, one unregistered from its own call is not called again,
// and a descriptor is called only when it is ready, with what it is ready for.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "tools/hosting/clap/ClapHost.h"

namespace {

struct Calls {
    std::vector<clap_id> timers;
    std::vector<uint32_t> descriptors;
    const clap_host_timer_support_t* hostTimers = nullptr;
    const clap_host_t* host = nullptr;
    clap_id stopOnCall = CLAP_INVALID_ID;
};
Calls calls;

void onTimer(const clap_plugin_t*, clap_id id) {
    calls.timers.push_back(id);
    if (id == calls.stopOnCall)
        calls.hostTimers->unregister_timer(calls.host, id);
}
void onFd(const clap_plugin_t*, int, uint32_t flags) { calls.descriptors.push_back(flags); }

const clap_plugin_timer_support_t kTimerSupport = {onTimer};
const clap_plugin_posix_fd_support_t kFdSupport = {onFd};

const void* pluginExtension(const clap_plugin_t*, const char* id) {
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0)
        return &kTimerSupport;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0)
        return &kFdSupport;
    return nullptr;
}

clap_plugin_t fakePlugin() {
    clap_plugin_t plugin = {};
    plugin.get_extension = pluginExtension;
    return plugin;
}

class ClapHostTest : public testing::Test {
protected:
    void SetUp() override {
        calls = Calls();
        host.attach(&plugin);
        calls.host = host.record();
        calls.hostTimers = static_cast<const clap_host_timer_support_t*>(
            host.record()->get_extension(host.record(), CLAP_EXT_TIMER_SUPPORT));
        ASSERT_NE(calls.hostTimers, nullptr);
    }

    clap_plugin_t plugin = fakePlugin();
    ClapHost host;
};

TEST_F(ClapHostTest, ATimerIsCalledOnceItsPeriodHasPassedUntilUnregistered) {
    clap_id quick = CLAP_INVALID_ID, slow = CLAP_INVALID_ID;
    ASSERT_TRUE(calls.hostTimers->register_timer(host.record(), 5, &quick));
    ASSERT_TRUE(calls.hostTimers->register_timer(host.record(), 60000, &slow));
    host.serve();
    EXPECT_TRUE(calls.timers.empty()) << "a timer called before its period";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    calls.stopOnCall = quick;
    host.serve();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    host.serve();
    EXPECT_EQ(calls.timers, std::vector<clap_id>{quick});
    EXPECT_FALSE(calls.hostTimers->unregister_timer(host.record(), quick)) << "unregistered twice";
    EXPECT_TRUE(calls.hostTimers->unregister_timer(host.record(), slow));
}

TEST_F(ClapHostTest, ADescriptorIsCalledOnlyWhenReady) {
    const auto* fds = static_cast<const clap_host_posix_fd_support_t*>(
        host.record()->get_extension(host.record(), CLAP_EXT_POSIX_FD_SUPPORT));
    ASSERT_NE(fds, nullptr);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_TRUE(fds->register_fd(host.record(), pipeEnds[0], CLAP_POSIX_FD_READ));
    host.serve();
    EXPECT_TRUE(calls.descriptors.empty()) << "called with nothing to read";
    ASSERT_EQ(write(pipeEnds[1], "x", 1), 1);
    host.serve();
    EXPECT_EQ(calls.descriptors, std::vector<uint32_t>{CLAP_POSIX_FD_READ});
    ASSERT_TRUE(fds->unregister_fd(host.record(), pipeEnds[0]));
    host.serve();
    EXPECT_EQ(calls.descriptors.size(), 1u) << "called after it was unregistered";
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

}  // namespace
