// Scanning hosts open, identify, close and unload every plug-in they find,
// often many times over: a scan must be quick and leave nothing behind.
#include <algorithm>
#include <chrono>

#include "tools/hosting/Median.h"
#include "tools/hosting/process/ProcessResources.h"
#include "tools/validate/groups/habits/HabitChecks.h"

namespace {

const double kScanGoalMilliseconds = 20.0;

void scan(CheckContext& context, int scans) {
    const int warmUp = 3;
    ResourceCounts before;
    std::vector<double> milliseconds;
    std::string name;
    for (int round = 0; round < scans + warmUp; ++round) {
        if (round == warmUp)
            before = ProcessResources::count();
        context.doing("scan %d: loading, identifying, closing", round + 1);
        auto start = std::chrono::steady_clock::now();
        std::unique_ptr<PluginHost> host(new PluginHost());
        std::string error;
        if (!host->load(context.pluginPath(), error)) {
            context.fail("scan %d: %s", round + 1, error.c_str());
            return;
        }
        name = host->text(effGetEffectName);
        host->text(effGetVendorString);
        host->text(effGetProductString);
        host->dispatch(effGetPlugCategory);
        host->dispatch(effGetVendorVersion);
        host->dispatch(effGetVstVersion);
        const AEffect* record = host->record();
        volatile VstInt32 seen = record->numParams + record->flags + record->uniqueID;
        (void)seen;
        host.reset();
        if (round >= warmUp)
            milliseconds.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    ResourceCounts after = ProcessResources::count();
    const double middle = median(milliseconds);
    const double slowest = *std::max_element(milliseconds.begin(), milliseconds.end());
    context.figure("scans of \"" + name + "\"", "%d (after %d to warm up)", scans, warmUp);
    context.figure("time per scan: median / slowest", "%.2f / %.2f ms (goal under %.0f ms)", middle, slowest,
                   kScanGoalMilliseconds);
    if (middle > kScanGoalMilliseconds)
        context.warn("a scan takes %.1f ms: hosts that scan hundreds of plug-ins wait on each", middle);
    const long growth = static_cast<long>(after.privateBytes) - static_cast<long>(before.privateBytes);
    context.figure("private memory growth over the scans", "%ld KB (%.1f KB per scan)", growth / 1024,
                   static_cast<double>(growth) / 1024.0 / scans);
    // Allocators keep some freed memory; a few kilobytes per scan that add up past a megabyte is a leak.
    if (growth > 1024L * 1024 && growth / scans > 16 * 1024)
        context.fail("private memory grew %ld KB over %d scans: each load and close leaves memory behind",
                     growth / 1024, scans);
    else if (growth > 256L * 1024)
        context.warn("private memory grew %ld KB over %d scans", growth / 1024, scans);
    if (after.objects.size() != before.objects.size())
        return;
    for (size_t kind = 0; kind < after.objects.size(); ++kind) {
        const long objects =
            static_cast<long>(after.objects[kind].count) - static_cast<long>(before.objects[kind].count);
        context.figure(after.objects[kind].kind + " more after the scans", "%+ld", objects);
        if (objects >= std::max(4L, static_cast<long>(scans / 2)))
            context.fail("%ld %s more after %d scans, with no editor opened", objects, after.objects[kind].kind.c_str(),
                         scans);
    }
}

}  // namespace

void scanFifty(CheckContext& context) { scan(context, 50); }
void scanFiveHundred(CheckContext& context) { scan(context, 500); }
