#include "toolkit/drawing/Resampling.h"

#include <cstddef>
#include <vector>

namespace VSTGUI {

using std::size_t;

namespace {

// Along one axis, in units of 1/(old size * new size): the new pixel i
// spans [i * from, (i + 1) * from) and the old pixel j [j * to, (j + 1) * to).
struct Span {
    int32_t first;                 // the first old pixel under the new one
    std::vector<int64_t> weights;  // the overlap with each old pixel from there
};

std::vector<Span> spans(int32_t from, int32_t to) {
    std::vector<Span> result(static_cast<size_t>(to));
    for (int32_t i = 0; i < to; ++i) {
        const int64_t start = int64_t(i) * from;
        const int64_t end = start + from;
        Span& span = result[static_cast<size_t>(i)];
        span.first = static_cast<int32_t>(start / to);
        for (int64_t j = span.first; j * to < end && j < from; ++j) {
            const int64_t left = j * to > start ? j * to : start;
            const int64_t right = (j + 1) * to < end ? (j + 1) * to : end;
            span.weights.push_back(right - left);
        }
    }
    return result;
}

uint32_t channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

}  // namespace

PixelImage resamplePixels(const PixelImage& source, int32_t width, int32_t height, uint32_t seeThrough) {
    PixelImage result;
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() != size_t(source.width) * size_t(source.height))
        return result;
    result.width = width;
    result.height = height;
    result.pixels.resize(size_t(width) * size_t(height));
    const std::vector<Span> columns = spans(source.width, width);
    const std::vector<Span> rows = spans(source.height, height);
    const int64_t whole = int64_t(source.width) * source.height;
    for (int32_t y = 0; y < height; ++y) {
        const Span& row = rows[size_t(y)];
        for (int32_t x = 0; x < width; ++x) {
            const Span& column = columns[size_t(x)];
            int64_t sums[3] = {0, 0, 0};
            int64_t seeThroughWeight = 0;
            for (size_t r = 0; r < row.weights.size(); ++r) {
                const uint32_t* line = &source.pixels[size_t(row.first + int32_t(r)) * size_t(source.width)];
                for (size_t c = 0; c < column.weights.size(); ++c) {
                    const int64_t weight = row.weights[r] * column.weights[c];
                    const uint32_t pixel = line[size_t(column.first) + c] & 0xFFFFFF;
                    if (pixel == seeThrough) {
                        seeThroughWeight += weight;
                        continue;
                    }
                    for (int k = 0; k < 3; ++k)
                        sums[k] += weight * channel(pixel, 16 - 8 * k);
                }
            }
            uint32_t& out = result.pixels[size_t(y) * size_t(width) + size_t(x)];
            const int64_t covered = whole - seeThroughWeight;
            if (2 * seeThroughWeight > whole || covered == 0) {
                out = seeThrough;
                continue;
            }
            out = 0;
            for (int k = 0; k < 3; ++k)
                out |= uint32_t((sums[k] + covered / 2) / covered) << (16 - 8 * k);
            // A mean that happens to land on the key would vanish: one step off.
            if (out == seeThrough)
                out ^= 1;
        }
    }
    return result;
}

}  // namespace VSTGUI
