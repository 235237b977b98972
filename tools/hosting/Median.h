// The middle of a set of measured figures, as every table of figures prints it.
#pragma once

#include <algorithm>
#include <vector>

// The mean of the middle two for an even count; 0 for none.
inline double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}
