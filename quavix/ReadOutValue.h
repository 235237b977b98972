// Host read-outs read back: what a host's text field may hand a plug-in
// that asks for a value by its text. Apart from ParameterText, which writes
// them, since only the formats that read text back link it.
#pragma once

#include <cstdint>

namespace quavix {

// The value in the parameter's unit (Parameters.h) that a host read-out of
// parameter index stands for, its unit label after it or not ("2300.000000
// Hz", "-6.02 dB", "Med", "64"), or a plain number in that unit. False for
// any other text and for a value outside the parameter's range.
bool readOutValue(int32_t index, const char* text, double* value);

}  // namespace quavix
