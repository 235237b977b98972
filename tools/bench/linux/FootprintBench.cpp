#include "tools/bench/linux/FootprintBench.h"

#include <malloc.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "tools/bench/PluginBench.h"
#include "tools/hosting/Median.h"
#include "tools/hosting/vst/PluginHost.h"

namespace {

using Clock = std::chrono::steady_clock;

// What a child process reports through its pipe.
struct InstanceReport {
    double residentPerInstance;
    double heapPerInstance;
    char failure[200];
};

double residentBytes() {
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0.0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

// Small blocks and the large ones malloc maps on their own.
double heapBytes() {
    const struct mallinfo2 heap = mallinfo2();
    return double(heap.uordblks) + double(heap.hblkhd);
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One instance opened and switched on as a host does; false with the reason.
bool openInstance(PluginHost& host, const std::string& path, std::string& error) {
    if (!host.load(path, error))
        return false;
    host.start();
    return true;
}

// In a child: the first instance, then the others, each figure the growth
// over the first divided among the others.
InstanceReport countInstances(const std::string& path, int instances) {
    InstanceReport report = {};
    std::string error;
    std::vector<std::unique_ptr<PluginHost>> hosts;
    hosts.emplace_back(new PluginHost);
    hosts.reserve(size_t(instances) + 1);
    if (!openInstance(*hosts.back(), path, error)) {
        std::snprintf(report.failure, sizeof report.failure, "%s", error.c_str());
        return report;
    }
    const double resident = residentBytes(), heap = heapBytes();
    for (int i = 0; i < instances; ++i) {
        hosts.emplace_back(new PluginHost);
        if (!openInstance(*hosts.back(), path, error)) {
            std::snprintf(report.failure, sizeof report.failure, "instance %d: %s", i + 2, error.c_str());
            return report;
        }
    }
    report.residentPerInstance = (residentBytes() - resident) / instances;
    report.heapPerInstance = (heapBytes() - heap) / instances;
    for (std::unique_ptr<PluginHost>& host : hosts)
        host->close();
    return report;
}

// A scanner's visit in a new process; the child's exit status says whether
// the plug-in loaded.
void scanOnce(const std::string& path) {
    PluginHost host;
    std::string error;
    if (!host.load(path, error))
        _exit(1);
    host.text(effGetEffectName);
    host.text(effGetVendorString);
    host.text(effGetProductString);
    for (VstInt32 index = 0; index < host.record()->numParams; ++index)
        host.text(effGetParamName, index);
    host.close();
    _exit(0);
}

}  // namespace

FootprintBench::FootprintBench(const FootprintOptions& options) : options(options) {}

void FootprintBench::measureInstances(Figures& figures) const {
    struct stat file = {};
    if (stat(figures.path.c_str(), &file) != 0) {
        figures.failure = "no such file";
        return;
    }
    figures.fileBytes = double(file.st_size);
    int channel[2];
    if (pipe(channel) != 0) {
        figures.failure = "no pipe";
        return;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const InstanceReport report = countInstances(figures.path, options.instances);
        const bool sent = write(channel[1], &report, sizeof report) == ssize_t(sizeof report);
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    InstanceReport report = {};
    const bool heard = child > 0 && read(channel[0], &report, sizeof report) == ssize_t(sizeof report);
    close(channel[0]);
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
    if (!heard)
        figures.failure = "it crashed while its instances were made";
    else if (report.failure[0])
        figures.failure = report.failure;
    figures.residentPerInstance = report.residentPerInstance;
    figures.heapPerInstance = report.heapPerInstance;
}

void FootprintBench::measureScans() {
    for (int round = 0; round < options.scans; ++round) {
        for (Figures& figures : measured) {
            if (!figures.failure.empty())
                continue;
            std::fflush(nullptr);
            const Clock::time_point start = Clock::now();
            const pid_t child = fork();
            if (child == 0)
                scanOnce(figures.path);
            int status = 0;
            if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                figures.failure = "a scan failed";
                continue;
            }
            figures.scanMilliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
}

bool FootprintBench::run() {
    for (const std::string& path : options.plugins) {
        Figures figures;
        figures.path = path;
        measureInstances(figures);
        measured.push_back(figures);
    }
    measureScans();
    print();
    return !measured.empty() && measured.front().failure.empty();
}

void FootprintBench::print() const {
    std::printf("Footprint: %d instances beyond the first, each plug-in in a process of its own; %d cold scans each\n",
                options.instances, options.scans);
    std::printf("  %-28s %9s %16s %12s %12s %14s\n", "plug-in", "binary", "RSS / instance", "heap / inst.",
                "scan median", "scan / first");
    const double reference = measured.empty() ? 0.0 : median(measured.front().scanMilliseconds);
    for (const Figures& figures : measured) {
        const std::string name = baseName(figures.path);
        if (!figures.failure.empty()) {
            std::printf("  %-28s skipped: %s\n", name.c_str(), figures.failure.c_str());
            continue;
        }
        const double scan = median(figures.scanMilliseconds);
        std::printf("  %-28s %6.2f MB %13.1f KB %9.1f KB %9.3f ms %14.2f\n", name.c_str(), figures.fileBytes / 1e6,
                    figures.residentPerInstance / 1024.0, figures.heapPerInstance / 1024.0, scan,
                    reference > 0.0 ? scan / reference : 0.0);
    }
}
