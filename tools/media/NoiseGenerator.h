// Deterministic white noise, the same numbers on every system and build: the
// demo's, the benchmarks' and --compare's input. A linear congruential
// generator whose top 24 bits make a float in -1..1 without rounding.
#pragma once

#include <cstdint>

class NoiseGenerator {
public:
    explicit NoiseGenerator(uint32_t seed) : state(seed) {}

    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
    }

private:
    uint32_t state;
};
