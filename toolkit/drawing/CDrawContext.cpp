// The drawing state every window system's context keeps the same way; each
// backend realises it (makePen) and draws with it in its own file.
#include "toolkit/drawing/CDrawContext.h"

namespace VSTGUI {

void CDrawContext::setFrameColor(const CColor& color) {
    if (color == frameColor)
        return;
    frameColor = color;
    makePen();
}

void CDrawContext::setLineWidth(int32_t width) {
    if (width == lineWidth)
        return;
    lineWidth = width;
    makePen();
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    clip.moveBy(-offset.x, -offset.y);
    return clip;
}

}  // namespace VSTGUI
