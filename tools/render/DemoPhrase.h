// The built-in demo: a funky guitar riff of plucked strings (Karplus-Strong)
// and a wah pedal part that rocks the controller through its whole range,
// first once per beat, then in two slow sweeps, so that every corner
// frequency is heard.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/media/AudioClip.h"
#include "tools/media/NoiseGenerator.h"
#include "tools/render/OfflineRenderer.h"

class DemoPhrase {
public:
    explicit DemoPhrase(int sampleRate);

    // The dry guitar, mono, peaking at half of full scale.
    AudioClip render() const;
    // The pedal as controller values 1..127 along the phrase.
    ControllerCurve pedal() const;
    double seconds() const;

private:
    struct Pluck {
        double step;    // start, in sixteenth notes from the phrase start
        int note;       // MIDI note number
        double length;  // in sixteenth notes
        bool muted;     // a damped "chicken scratch" rather than a ringing note
    };

    static std::vector<Pluck> riff();
    void renderPluck(const Pluck& pluck, std::vector<float>& out, NoiseGenerator& noise) const;
    static int pedalAt(double time);

    int sampleRate;
};
