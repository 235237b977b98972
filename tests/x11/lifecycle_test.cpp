// Opening, idling and closing the editor 200 times while another thread
// automates: the X server holds no more of anything for any client, and the
// process no more memory, than before.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "tests/x11/support/EditorHost.h"

using namespace quavixtest;

namespace {

// Resources of every client by type (windows, pixmaps, GCs, fonts, ...), and
// the number of clients under the name "clients".
std::map<std::string, long> serverResources(Display* display) {
    std::map<std::string, long> totals;
    int clientCount = 0;
    XResClient* clients = nullptr;
    if (!XResQueryClients(display, &clientCount, &clients))
        return totals;
    totals["clients"] = clientCount;
    for (int i = 0; i < clientCount; ++i) {
        int typeCount = 0;
        XResType* types = nullptr;
        if (!XResQueryClientResources(display, clients[i].resource_base, &typeCount, &types))
            continue;
        for (int t = 0; t < typeCount; ++t) {
            char* name = XGetAtomName(display, types[t].resource_type);
            totals[name ? name : "?"] += types[t].count;
            if (name)
                XFree(name);
        }
        XFree(types);
    }
    XFree(clients);
    return totals;
}

long residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * 4096;
}

TEST_F(EditorTest, OpenIdleCloseCyclesUnderAutomationLeaveNothingBehind) {
    constexpr int kWarmUpCycles = 10;
    constexpr int kCycles = 200;
    const auto cycle = [&] {
        ASSERT_TRUE(openEditor());
        idle();
        closeEditor();
        idle();
    };
    for (int i = 0; i < kWarmUpCycles; ++i)
        cycle();
    int major = 0, minor = 0, event = 0, error = 0;
    ASSERT_TRUE(XResQueryExtension(display, &event, &error) && XResQueryVersion(display, &major, &minor))
        << "the X server has no X-Resource extension";
    XSync(display, False);
    const std::map<std::string, long> before = serverResources(display);
    const size_t heapBefore = mallinfo2().uordblks;
    const long residentBefore = residentBytes();

    std::atomic<bool> stop{false};
    std::atomic<long> changes{0};
    std::thread traffic([&] {
        for (long i = 0; !stop; ++i) {
            setParameter(static_cast<VstInt32>(i % 3), static_cast<float>(i % 100) / 100.0f);
            ++changes;
        }
    });
    for (int i = 0; i < kCycles && !HasFatalFailure(); ++i)
        cycle();
    stop = true;
    traffic.join();
    XSync(display, False);
    const std::map<std::string, long> after = serverResources(display);
    const size_t heapAfter = mallinfo2().uordblks;
    const long residentAfter = residentBytes();

    std::string counts;
    for (const auto& [type, count] : after)
        counts += " " + type + " " + std::to_string(before.count(type) ? before.at(type) : 0) + " -> " +
                  std::to_string(count) + ";";
    std::printf(
        "[ figures  ] %d cycles, %ld parameter changes meanwhile; X resources of all clients:%s heap in "
        "use %zu -> %zu, resident %ld -> %ld bytes\n",
        kCycles, changes.load(), counts.c_str(), heapBefore, heapAfter, residentBefore, residentAfter);
    EXPECT_GT(changes.load(), kCycles);
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before, after);
    // One leaked editor picture (330 x 354 x 4 bytes) per cycle would be 90 MB.
    EXPECT_LT(static_cast<long>(heapAfter) - static_cast<long>(heapBefore), 1024 * 1024);
    EXPECT_LT(residentAfter - residentBefore, 4 * 1024 * 1024);
}

}  // namespace
