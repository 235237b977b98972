// Cost per stereo frame of the VST build (a library through its record, as
// a VST host runs it) beside the LV2 bundle (through lilv, as an LV2 host
// runs it), and beside any other LV2 plug-ins named (Debian's wahs and
// filters, at the values they load with): the same noise in the same
// blocks, the runs taking turns so that a disturbance elsewhere weighs on
// all alike, the best of several runs each. It prints; it asserts nothing.
//
//   quavix_lv2_bench LIBRARY BUNDLE_DIR [PEER_BUNDLE_DIR PEER_URI]...
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/lv2/Lv2Plugin.h"
#include "tools/hosting/lv2/Lv2Host.h"
#include "tests/reference/EffectSource.h"
#include "tests/reference/ReferenceSignal.h"

namespace {

constexpr int32_t kBlockFrames = 512;
constexpr int32_t kFramesPerRun = 1 << 20;
constexpr int kRuns = 15;
// Audio ports a peer may have on either side; each gets the left or right
// noise, and the outputs land in the two output buffers.
constexpr size_t kMaxPeerChannels = 8;

std::string asBundle(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

// An LV2 plug-in of another package, loaded from its own bundle.
struct Peer {
    Peer(const std::string& bundle, const char* uri)
        : uri(uri), world(asBundle(bundle), uri), instance(world, reference::kSampleRate) {}

    bool usable() const {
        return instance.ok() && instance.audioInputCount() > 0 && instance.audioInputCount() <= kMaxPeerChannels &&
               instance.audioOutputCount() > 0 && instance.audioOutputCount() <= kMaxPeerChannels;
    }

    std::string uri;
    Lv2World world;
    Lv2Instance instance;
    double best = 1e30;
};

struct Signal {
    std::vector<float> left, right, outLeft, outRight;
};

template <typename Process>
double nanosecondsPerFrame(Signal& s, Process process) {
    const auto start = std::chrono::steady_clock::now();
    for (int32_t frame = 0; frame < kFramesPerRun; frame += kBlockFrames) {
        float* in[2] = {s.left.data() + frame, s.right.data() + frame};
        float* out[2] = {s.outLeft.data() + frame, s.outRight.data() + frame};
        process(in, out);
    }
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / kFramesPerRun;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: quavix_lv2_bench LIBRARY BUNDLE_DIR [PEER_BUNDLE_DIR PEER_URI]...\n");
        return 2;
    }
    const std::string bundle = asBundle(argv[2]);
    std::vector<std::unique_ptr<Peer>> peers;
    for (int i = 3; i + 1 < argc; i += 2) {
        peers.emplace_back(new Peer(argv[i], argv[i + 1]));
        if (!peers.back()->usable()) {
            std::printf("LV2 %-40s skipped: it does not load, or has no audio ports we can feed\n", argv[i + 1]);
            peers.pop_back();
            continue;
        }
        peers.back()->instance.activate();
    }
    Lv2World world(bundle, lv2PluginDescription().uri);
    Lv2Instance lv2(world, reference::kSampleRate);
    if (!lv2.ok()) {
        std::fprintf(stderr, "quavix_lv2_bench: cannot instantiate %s from %s\n", lv2PluginDescription().uri,
                     bundle.c_str());
        return 1;
    }
    Signal s{std::vector<float>(kFramesPerRun), std::vector<float>(kFramesPerRun), std::vector<float>(kFramesPerRun),
             std::vector<float>(kFramesPerRun)};
    reference::Random random(7);
    for (int32_t i = 0; i < kFramesPerRun; ++i) {
        s.left[i] = random.sample();
        s.right[i] = random.sample();
    }
    return reference::withEffect(2, argv, "quavix_lv2_bench", [&](AEffect* effect, const char* library) {
        if (!effect) {
            std::fprintf(stderr, "quavix_lv2_bench: %s made no effect\n", library);
            return 1;
        }
        reference::dispatch(effect, effOpen);
        reference::dispatch(effect, effSetSampleRate, 0, 0, nullptr, reference::kSampleRate);
        reference::dispatch(effect, effSetBlockSize, 0, kBlockFrames);
        reference::dispatch(effect, effMainsChanged, 0, 1);
        const auto vst = [effect](float** in, float** out) { effect->processReplacing(effect, in, out, kBlockFrames); };
        const auto plugin = [&lv2](float** in, float** out) { lv2.run(in, out, kBlockFrames); };
        double vstBest = 1e30;
        double lv2Best = 1e30;
        nanosecondsPerFrame(s, vst);  // caches, pages and clock warmed up for all
        nanosecondsPerFrame(s, plugin);
        for (int run = 0; run < kRuns; ++run) {
            vstBest = std::min(vstBest, nanosecondsPerFrame(s, vst));
            lv2Best = std::min(lv2Best, nanosecondsPerFrame(s, plugin));
            for (std::unique_ptr<Peer>& peer : peers)
                peer->best = std::min(peer->best, nanosecondsPerFrame(s, [&peer](float** in, float** out) {
                                          float* ins[kMaxPeerChannels];
                                          float* outs[kMaxPeerChannels];
                                          for (size_t channel = 0; channel < kMaxPeerChannels; ++channel) {
                                              ins[channel] = in[channel % 2];
                                              outs[channel] = out[channel % 2];
                                          }
                                          peer->instance.run(ins, outs, kBlockFrames);
                                      }));
        }
        reference::dispatch(effect, effMainsChanged, 0, 0);
        reference::dispatch(effect, effClose);
        std::printf("VST %-40s %6.3f ns per stereo frame\n", library, vstBest);
        std::printf("LV2 %-40s %6.3f ns per stereo frame, %.3f times the VST build\n", bundle.c_str(), lv2Best,
                    lv2Best / vstBest);
        for (const std::unique_ptr<Peer>& peer : peers)
            std::printf("LV2 %-40s %6.3f ns per frame (%zu in, %zu out), %.3f times Quavix's LV2 build\n",
                        peer->uri.c_str(), peer->best, peer->instance.audioInputCount(),
                        peer->instance.audioOutputCount(), peer->best / lv2Best);
        return 0;
    });
}
