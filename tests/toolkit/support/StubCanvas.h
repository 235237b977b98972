// A drawing context on a fresh stub canvas, and the colour helpers to read
// its pixels, for tests that draw through the toolkit and look at the result.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "toolkit/drawing/CColor.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/views/CFrame.h"
#include "platform/stub/StubWindows.h"

namespace quavixtest {

// 0xRRGGBB of a colour given by its parts, or of a toolkit colour.
constexpr uint32_t rgb(uint32_t red, uint32_t green, uint32_t blue) { return (red << 16) | (green << 8) | blue; }
constexpr uint32_t rgb(const VSTGUI::CColor& color) { return VSTGUI::stub::rgbOf(color); }

constexpr uint32_t kWhite = rgb(255, 255, 255);
constexpr uint32_t kBlack = rgb(0, 0, 0);
constexpr uint32_t kRed = rgb(255, 0, 0);
constexpr uint32_t kGreen = rgb(0, 255, 0);
constexpr uint32_t kBlue = rgb(0, 0, 255);

// Whether first <= value <= last: pixel rows and columns, both ends counted.
constexpr bool inside(int value, int first, int last) { return value >= first && value <= last; }

// The context is released before the canvas it draws into.
struct CanvasContext {
    CanvasContext(int width, int height, uint32_t background)
        : canvas(width, height, background), context(new VSTGUI::CDrawContext(nullptr, nullptr, &canvas)) {}
    ~CanvasContext() { context->dropReference(); }
    CanvasContext(const CanvasContext&) = delete;
    CanvasContext& operator=(const CanvasContext&) = delete;

    uint32_t at(int x, int y) const { return canvas.at(x, y); }

    VSTGUI::stub::Canvas canvas;
    VSTGUI::CDrawContext* context;
};

// A frame without window at a factor, and a context of it on a canvas.
struct ScaledCanvas {
    ScaledCanvas(double factor, int width, int height)
        : frame(new VSTGUI::CFrame(VSTGUI::CRect(0, 0, 100, 100), nullptr, nullptr, factor)),
          canvas(width, height, kWhite),
          context(new VSTGUI::CDrawContext(frame, nullptr, &canvas)) {}
    ~ScaledCanvas() {
        context->dropReference();
        delete frame;
    }
    ScaledCanvas(const ScaledCanvas&) = delete;
    ScaledCanvas& operator=(const ScaledCanvas&) = delete;

    uint32_t at(int x, int y) const { return canvas.at(x, y); }

    VSTGUI::CFrame* frame;
    VSTGUI::stub::Canvas canvas;
    VSTGUI::CDrawContext* context;
};

// Every pixel of the canvas against the expected colour at its place; the
// message names the first few that differ.
inline ::testing::AssertionResult pixelsAre(const VSTGUI::stub::Canvas& canvas,
                                            const std::function<uint32_t(int x, int y)>& expected) {
    int differing = 0;
    ::testing::Message first;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const uint32_t want = expected(x, y), got = canvas.at(x, y);
            if (got != want && differing++ < 3)
                first << " (" << x << ", " << y << "): " << std::hex << got << " not " << want << std::dec;
        }
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ," << first;
    return ::testing::AssertionSuccess();
}

// How many pixels of the canvas have the colour.
inline int countOf(const VSTGUI::stub::Canvas& canvas, uint32_t color) {
    int count = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            count += canvas.at(x, y) == color;
    return count;
}

// A picture of the given size whose pixels come from colorAt (0xRRGGBB).
inline VSTGUI::stub::Picture makePicture(int width, int height, const std::function<uint32_t(int x, int y)>& colorAt) {
    VSTGUI::stub::Picture picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.pixels.push_back(colorAt(x, y));
    return picture;
}

}  // namespace quavixtest
