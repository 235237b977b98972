// The host's threads at once: automation and MIDI on one thread while
// another processes blocks. Built with ThreadSanitizer, which fails the run
// on any data race; the tests themselves check that the output stays finite
// and bounded (a block filtered with coefficients of two settings can be
// unstable) and that the last block's coefficients belong to the setting it
// read.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <thread>

#include "tests/native/EventList.h"
#include "tests/native/FilterProbe.h"

namespace {

// A host that keeps no state, so that it is safe on every thread.
VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) {
        return kVstVersion;
    }
    return opcode == audioMasterGetSampleRate ? 44100 : 0;
}

constexpr int kBlocks = 400;
constexpr VstInt32 kBlockFrames = 256;
// Noise within +-1 through the highest peak (20 times) at full gain stays far
// below this; an unstable block passes it within a few hundred samples.
constexpr float kLoudestSample = 1000.0f;

bool wild(float sample) { return !(std::fabs(sample) <= kLoudestSample); }

// Processes blocks of noise until done; every output sample must be finite
// and bounded.
// With events, the list goes in before each block as a host sends it.
void processBlocks(AEffect* record, EventList* midi, std::atomic<bool>& done, std::atomic<int>& badSamples) {
    StereoBuffer input(kBlockFrames), output(kBlockFrames);
    uint32_t seed = 12345;
    for (int block = 0; block < kBlocks; ++block) {
        for (VstInt32 i = 0; i < kBlockFrames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            input.left[i] = static_cast<float>(static_cast<int32_t>(seed)) * 4.6566e-10f;
            input.right[i] = -input.left[i];
        }
        if (midi) {
            record->dispatcher(record, effProcessEvents, 0, 0, midi->build(), 0.0f);
        }
        record->processReplacing(record, input.channels(), output.channels(), kBlockFrames);
        for (VstInt32 i = 0; i < kBlockFrames; ++i) {
            badSamples += wild(output.left[i]) || wild(output.right[i]);
        }
    }
    done = true;
}

// Sweeps every parameter and reads them back, as an automating host and an
// editor would, until the processing side is done.
void automate(AEffect* record, EventList* midi, std::atomic<bool>& done) {
    char text[64];
    for (int step = 0; !done; ++step) {
        const float value = static_cast<float>(step % 101) / 100.0f;
        record->setParameter(record, step % 3, value);
        record->setParameter(record, 3, (step % 7 == 0) ? 1.0f : 0.5f);
        record->getParameter(record, step % 4);
        record->dispatcher(record, effGetParamDisplay, step % 4, 0, text, 0.0f);
        if (midi) {
            record->dispatcher(record, effProcessEvents, 0, 0, midi->build(), 0.0f);
        }
    }
}

void expectCoherentCoefficients(const FilterProbe& filter) {
    EXPECT_EQ(filter.lastBlock(), filter.lastBlockRecomputed());
}

EventList* sweepList(EventList& list, VstInt32 controllers) {
    for (VstInt32 number = 0; number < controllers; ++number) {
        list.controlChange(0xB0, static_cast<unsigned char>(number), static_cast<unsigned char>(1 + number * 3));
    }
    return &list;
}

// One thread processes blocks while another automates, each sending the
// MIDI it is given; the output stays finite and the coefficients coherent.
void processWhileAutomating(EventList* processingMidi, EventList* automationMidi) {
    FilterProbe filter(&quietHost);
    AEffect* record = filter.getAeffect();
    std::atomic<bool> done{false};
    std::atomic<int> badSamples{0};
    std::thread processing(processBlocks, record, processingMidi, std::ref(done), std::ref(badSamples));
    std::thread automation(automate, record, automationMidi, std::ref(done));
    processing.join();
    automation.join();
    EXPECT_EQ(badSamples.load(), 0);
    expectCoherentCoefficients(filter);
}

TEST(Threads, AutomationAndMidiOnOneThreadWhileAnotherProcesses) {
    EventList midi;
    processWhileAutomating(nullptr, sweepList(midi, 40));
}

TEST(Threads, MidiOnTheProcessingThreadWhileTheHostAutomates) {
    EventList midi;
    processWhileAutomating(sweepList(midi, 128), nullptr);
}

TEST(Threads, SampleRateChangesWhileAutomating) {
    FilterProbe filter(&quietHost);
    AEffect* record = filter.getAeffect();
    std::atomic<bool> done{false};
    std::thread automation(automate, record, nullptr, std::ref(done));
    const float rates[] = {48000.0f, 44100.0f, 96000.0f, 22050.0f, 7000.0f, 192000.0f};
    StereoBuffer input(kBlockFrames, 0.5f), output(kBlockFrames);
    for (int round = 0; round < 300; ++round) {
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, rates[round % 6]);
        record->processReplacing(record, input.channels(), output.channels(), kBlockFrames);
        EXPECT_FALSE(wild(output.left.back())) << "round " << round;
    }
    done = true;
    automation.join();
    expectCoherentCoefficients(filter);
}

}  // namespace
