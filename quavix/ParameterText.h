// The read-outs of Quavix's parameters, for a host's generic display and for
// the panel alike, each written as its parameter's ReadOut says.
#pragma once

#include <cstddef>
#include <cstdint>

class AudioEffect;

namespace quavix {

// A host's display has room for the corner to the microhertz, as hosts have
// always shown it, and for eight characters of decibels; the panel's fields
// hold whole hertz and five characters.
enum class ReadOutPlace : int32_t { kHost, kPanel };

// Writes parameter index's read-out of quantity, the value the read-out
// names: the corner in hertz, the output factor, the damping, or the
// number. Decibels are written by the effect's own text operation: without
// an effect, and for an index or a number out of range, the text is empty.
void writeReadOut(AudioEffect* effect, int32_t index, ReadOutPlace place, double quantity, char* text, size_t size);

}  // namespace quavix
