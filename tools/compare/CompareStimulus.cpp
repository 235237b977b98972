#include "tools/compare/CompareStimulus.h"

#include <cstddef>

#include "tools/media/NoiseGenerator.h"

namespace {

// The sections, in frames at kSampleRate.
const int kNoiseUntil = 66150;      // 1.5 s of noise with parameter changes
const int kSilenceUntil = 110250;   // 1 s of silence: the tails decay
const int kImpulsesUntil = 132300;  // 0.5 s of impulses
const int kSweepsUntil = 176400;    // 1 s of noise with controller sweeps
const int kImpulseSpacing = 4410;
const float kNoiseLevel = 0.5f;
const int kChangeEvery = 5;  // blocks between parameter changes
const int kPositionGrid = 1024;
const uint8_t kControlChange = 0xB0;
// The modulation wheel, volume, expression and brightness: what a wah or a
// filter most likely follows.
const uint8_t kSweptControllers[] = {1, 7, 11, 74};
const int kEventsPerBlock = 3;
// Every so many blocks one of 1 to 3 frames: the sizes where a plug-in that
// splits blocks at events or smooths per block most often slips.
const size_t kTinyBlockEvery = 16;
const int kTinyBlockSizes = 3;

bool inNoise(int frame) { return frame < kNoiseUntil || (frame >= kImpulsesUntil && frame < kSweepsUntil); }

}  // namespace

CompareStimulus::CompareStimulus(int parameterCount) {
    makeInput();
    makeSchedule(parameterCount);
}

void CompareStimulus::makeInput() {
    left.assign(kSweepsUntil, 0.0f);
    right.assign(kSweepsUntil, 0.0f);
    NoiseGenerator noise(0x434D5052);
    for (int frame = 0; frame < kSweepsUntil; ++frame) {
        if (inNoise(frame)) {
            left[frame] = kNoiseLevel * noise.next();
            right[frame] = kNoiseLevel * noise.next();
        } else if (frame >= kSilenceUntil && (frame - kSilenceUntil) % kImpulseSpacing == 0) {
            left[frame] = 1.0f;
            right[frame] = -1.0f;
        }
    }
}

// Blocks of 1 to kMaxBlock frames, the sizes drawn from the same kind of
// generator as the noise, with tiny ones among them; changes only where
// noise plays, so that the silence shows each plug-in's own tail.
void CompareStimulus::makeSchedule(int parameterCount) {
    NoiseGenerator draw(0x424C4B53);
    const auto below = [&draw](int limit) {
        return static_cast<int>((draw.next() + 1.0f) * 0.5f * static_cast<float>(limit)) % limit;
    };
    int sweepStep = 0;
    for (int start = 0; start < kSweepsUntil;) {
        StimulusBlock block;
        block.start = start;
        const size_t index = schedule.size();
        block.frames = index % kTinyBlockEvery == kTinyBlockEvery / 2
                           ? 1 + static_cast<int>(index / kTinyBlockEvery) % kTinyBlockSizes
                           : 1 + below(kMaxBlock);
        if (block.frames > kSweepsUntil - start)
            block.frames = kSweepsUntil - start;
        const bool sweeping = start >= kImpulsesUntil;
        if (!sweeping && start < kNoiseUntil && parameterCount > 0 && index % kChangeEvery == 0)
            block.changes.push_back({below(parameterCount), below(kPositionGrid + 1) / double(kPositionGrid)});
        for (int i = 0; sweeping && i < kEventsPerBlock; ++i, ++sweepStep) {
            const uint8_t controller = kSweptControllers[(sweepStep / 128) % sizeof kSweptControllers];
            block.events.push_back({i * block.frames / kEventsPerBlock, kControlChange, controller,
                                    static_cast<uint8_t>(sweepStep % 128)});
        }
        schedule.push_back(block);
        start += block.frames;
    }
}
