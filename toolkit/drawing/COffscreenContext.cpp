// The offscreen picture's set-up and its copy onto another context, the same
// on every window system; each system makes and frees the bitmap's device.
#include "toolkit/drawing/COffscreenContext.h"

#include <algorithm>

#include "toolkit/views/CFrame.h"

namespace VSTGUI {

COffscreenContext::COffscreenContext(CFrame* frame, int32_t width, int32_t height, const CColor& backgroundColor,
                                     const CPoint& origin)
    : CDrawContext(frame, nullptr, nullptr),
      height(height),
      width(width),
      deviceHeight(scaleCoordinate(origin.y + height, scaleFactor) - scaleCoordinate(origin.y, scaleFactor)),
      deviceWidth(scaleCoordinate(origin.x + width, scaleFactor) - scaleCoordinate(origin.x, scaleFactor)),
      backgroundColor(backgroundColor) {
    unitOrigin = origin;
    clipRect = CRect(std::min(0, width), std::min(0, height), std::max(0, width), std::max(0, height));
    createBitmapDevice();
    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    const CRect whole(0, 0, width, height);
    fillRect(whole);
    drawRect(whole);
}

bool COffscreenContext::suits(const CPoint& destinationOrigin) const {
    const double frameFactor = frame ? frame->getScaleFactor() : 1.0;
    return frameFactor == scaleFactor && (scaleFactor == 1.0 || destinationOrigin == unitOrigin);
}

CPoint COffscreenContext::destinationOrigin(const CDrawContext* context, const CRect& place) {
    const CPoint& origin = context->getUnitOrigin();
    return CPoint(origin.x + context->offset.x + place.left, origin.y + context->offset.y + place.top);
}

void COffscreenContext::transferTo(CDrawContext* dest, const CRect& rect, const CPoint& source) {
    if (!dest)
        return;
    // The bitmap's own coordinates are this context's less its offset.
    const CPoint from(source.x - offset.x, source.y - offset.y);
    copyTo(dest, CRect(from.x, from.y, from.x + rect.width(), from.y + rect.height()),
           CPoint(rect.left + dest->offset.x, rect.top + dest->offset.y));
}

}  // namespace VSTGUI
