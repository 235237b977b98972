// A panel's size in device pixels: what a host's window must hold to show
// the whole panel, whichever plug-in format asks.
#pragma once

#include <cstdint>

namespace VSTGUI {

struct PanelSize {
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const PanelSize& other) const { return width == other.width && height == other.height; }
    bool operator!=(const PanelSize& other) const { return !(*this == other); }
};

}  // namespace VSTGUI
