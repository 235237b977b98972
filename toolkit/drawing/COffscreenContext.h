// A drawing context on a memory bitmap of a given size, compatible with the
// frame's window, for composing a picture before one copy to the window. The
// bitmap has the frame's scale factor, fixed when it is made.
#pragma once

#include "toolkit/drawing/CDrawContext.h"

namespace VSTGUI {

class COffscreenContext : public CDrawContext {
public:
    // unitOrigin: where the picture will be copied to among the frame's units.
    COffscreenContext(CFrame* frame, int32_t width, int32_t height, const CColor& backgroundColor = kColorBlack,
                      const CPoint& unitOrigin = CPoint());
    ~COffscreenContext() override;

    // Copies rect's size from the bitmap at source onto dest (dest's offset added).
    void transferTo(CDrawContext* dest, const CRect& rect, const CPoint& source = CPoint());

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    // False once the frame is drawn at another factor, or when the picture
    // goes elsewhere at a factor where that moves its pixels: then make a new one.
    bool suits(const CPoint& destinationOrigin) const;
    // The origin, among the frame's units, of a picture copied to place in
    // the context's coordinates.
    static CPoint destinationOrigin(const CDrawContext* context, const CRect& place);
    GraphicsHandle getBitmap() const { return window; }

private:
    // Each window system's: a memory device with a bitmap of the context's
    // size selected into it, holding the state the base made before it.
    void createBitmapDevice();

    int32_t height;
    int32_t width;
    int32_t deviceHeight;  // the bitmap's, in device pixels
    int32_t deviceWidth;
    bool ownsBitmap = true;
    CColor backgroundColor;
};

}  // namespace VSTGUI
