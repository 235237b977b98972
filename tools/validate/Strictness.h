// How hard the validator works, from quick to long: the range --strictness
// takes and where a run starts, written once for the options, their help
// and the checks' settings.
#pragma once

constexpr int kMinStrictness = 1;
constexpr int kMaxStrictness = 10;
constexpr int kDefaultStrictness = 5;
