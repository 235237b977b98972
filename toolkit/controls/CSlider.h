// A handle bitmap over a background bitmap; the handle's position is the
// value. Dragged, clicked to a position, moved finely with Shift, stepped by
// the wheel and the arrow keys. Draws through an offscreen of its own size
// while attached, so the window receives background and handle in one copy.
#pragma once

#include "toolkit/controls/CControl.h"

namespace VSTGUI {

class COffscreenContext;

class CSlider : public CControl {
public:
    // minPos and maxPos: the handle's travel along the slider's axis, in the
    // coordinates of size; offset: the background bitmap's source point.
    CSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t minPos, int32_t maxPos,
            CBitmap* handle, CBitmap* background, const CPoint& offset, int32_t style);
    ~CSlider() override;

    void draw(CDrawContext* context) override;
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool onRemoved(CView* parent) override;
    bool onAttached(CView* parent) override;
    bool isTypeOf(const char* className) const override;

    virtual void setDrawTransparentHandle(bool transparentHandle);
    virtual void setFreeClick(bool free);
    virtual bool getFreeClick() const;
    virtual void setHandleOffset(const CPoint& newOffset);
    virtual void setHandle(CBitmap* newHandle);
    virtual CBitmap* getHandle() const;
    virtual void setFineFactor(float factor);
    virtual float getFineFactor() const;

    int32_t getHandleRange() const { return handleRange; }
    int32_t getMinPos() const { return minPos; }
    int32_t getMaxPos() const { return maxPos; }
    int32_t getStyle() const { return style; }
    const CPoint& getHandleOffset() const { return handleOffset; }
    COffscreenContext* getOffscreen() const { return offscreen; }
    // Where the handle is drawn for a value, in the slider's own coordinates.
    CRect handleRectFor(float handleValue) const;

private:
    bool isHorizontal() const { return (style & kStyleHorizontal) != 0; }
    // The handle's travel in pixels for a value: handleRange times the share
    // measured from the end the style names, truncated toward zero.
    int32_t handlePixels(float handleValue) const;
    // Step 7 of a press: the pointer offset that keeps the grip where it is,
    // or false when a press outside the handle must be ignored.
    bool gripDelta(const CPoint& where, int32_t& delta) const;
    void trackDrag(CDrawContext* context, CPoint& where, int32_t delta, int32_t buttons);
    float valueAt(const CPoint& where, int32_t delta) const;
    // Wheel and arrow keys: one step, a tenth of it with Shift, announced
    // as a gesture of its own when it changed the value.
    void stepBy(CDrawContext* context, float distance, bool fine);
    void releaseOffscreen();

    CPoint offset;
    CPoint handleOffset;
    CBitmap* handle;
    COffscreenContext* offscreen = nullptr;
    int32_t style;
    int32_t handleWidth = 1;
    int32_t handleHeight = 1;
    int32_t handleRange;
    int32_t minPos = 0;
    int32_t maxPos = 0;
    int32_t minOffset;
    int32_t controlWidth;
    int32_t controlHeight;
    float fineFactor = 10.0f;
    bool drawTransparentHandle = true;
    bool freeClick = true;
};

// A slider laid out vertically with the value's origin at the bottom.
class CVerticalSlider : public CSlider {
public:
    CVerticalSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t minPos, int32_t maxPos,
                    CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint());
};

}  // namespace VSTGUI
