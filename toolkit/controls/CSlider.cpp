#include "toolkit/controls/CSlider.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/COffscreenContext.h"

namespace VSTGUI {

namespace {
// A tenth of the step while Shift is held, for the wheel and the arrow keys.
constexpr float kFineStepFactor = 0.1f;
}  // namespace

CSlider::CSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t minPos, int32_t maxPos,
                 CBitmap* handle, CBitmap* background, const CPoint& offset, int32_t style)
    : CControl(size, listener, tag, background),
      offset(offset),
      handle(handle),
      style(style),
      handleRange(maxPos - minPos),
      controlWidth(size.width()),
      controlHeight(size.height()) {
    if (handle) {
        handle->addReference();
        handleWidth = handle->getWidth();
        handleHeight = handle->getHeight();
    }
    minOffset = isHorizontal() ? minPos - size.left : minPos - size.top;
    setHandleOffset(CPoint(0, 0));
    setWantsFocus(true);
}

CSlider::~CSlider() {
    if (handle)
        handle->dropReference();
    // Normally gone already (onRemoved); a slider deleted while never removed
    // must not leak its bitmap and memory device.
    releaseOffscreen();
}

bool CSlider::onAttached(CView* /*parent*/) {
    releaseOffscreen();
    offscreen = new COffscreenContext(parentFrame, controlWidth, controlHeight, kColorBlack);
    return true;
}

bool CSlider::onRemoved(CView* /*parent*/) {
    releaseOffscreen();
    return true;
}

void CSlider::releaseOffscreen() {
    if (offscreen)
        offscreen->dropReference();
    offscreen = nullptr;
}

bool CSlider::isTypeOf(const char* className) const {
    return std::strcmp(className, "CSlider") == 0 || CControl::isTypeOf(className);
}

int32_t CSlider::handlePixels(float handleValue) const {
    const float share = (style & (kStyleLeft | kStyleTop)) ? handleValue : 1.0f - handleValue;
    return static_cast<int32_t>(static_cast<float>(handleRange) * share);
}

CRect CSlider::handleRectFor(float handleValue) const {
    const int32_t travel = handlePixels(handleValue);
    CRect rect;
    if (isHorizontal()) {
        rect.top = handleOffset.y;
        rect.bottom = rect.top + handleHeight;
        rect.left = std::max(handleOffset.x + travel, minPos);
        rect.right = std::min(rect.left + handleWidth, maxPos);
    } else {
        rect.left = handleOffset.x;
        rect.right = rect.left + handleWidth;
        rect.top = std::max(handleOffset.y + travel, minPos);
        rect.bottom = std::min(rect.top + handleHeight, maxPos);
    }
    return rect;
}

void CSlider::draw(CDrawContext* context) {
    if (!context)
        return;
    const float drawnValue = loadValue();
    // Made for another scale, or for another place at one where that matters.
    const CPoint origin = COffscreenContext::destinationOrigin(context, size);
    if (offscreen && !offscreen->suits(origin)) {
        releaseOffscreen();
        offscreen = new COffscreenContext(parentFrame, controlWidth, controlHeight, kColorBlack, origin);
    }
    CDrawContext* target = offscreen ? static_cast<CDrawContext*>(offscreen) : context;
    // A see-through background shows what the window has under the slider.
    if (offscreen && isTransparent())
        context->copyTo(offscreen, size, CPoint(0, 0));

    CRect area(0, 0, controlWidth, controlHeight);
    CRect handleRect = handleRectFor(drawnValue);
    if (!offscreen) {
        area.moveBy(size.left, size.top);
        handleRect.moveBy(size.left, size.top);
    }
    if (background) {
        if (isTransparent())
            background->drawTransparent(target, area, offset);
        else
            background->draw(target, area, offset);
    }
    if (handle) {
        if (drawTransparentHandle)
            handle->drawTransparent(target, handleRect, CPoint(0, 0));
        else
            handle->draw(target, handleRect, CPoint(0, 0));
    }
    if (offscreen)
        offscreen->transferTo(context, size, CPoint(0, 0));
    markDrawn(drawnValue);
}

bool CSlider::gripDelta(const CPoint& where, int32_t& delta) const {
    delta = isHorizontal() ? size.left + handleOffset.x : size.top + handleOffset.y;
    if (freeClick) {
        // The handle's middle row (or column) jumps under the pointer.
        delta += isHorizontal() ? handleWidth / 2 - 1 : handleHeight / 2 - 1;
        return true;
    }
    // Only a press on the handle drags, and it keeps its grip point.
    const int32_t travel = handlePixels(loadValue());
    CRect grip;
    if (isHorizontal()) {
        grip.left = size.left + handleOffset.x + travel;
        grip.top = size.top + handleOffset.y;
    } else {
        grip.left = size.left + handleOffset.x;
        grip.top = size.top + handleOffset.y + travel;
    }
    grip.right = grip.left + handleWidth;
    grip.bottom = grip.top + handleHeight;
    if (!grip.pointInside(where))
        return false;
    delta += isHorizontal() ? where.x - grip.left : where.y - grip.top;
    return true;
}

float CSlider::valueAt(const CPoint& where, int32_t delta) const {
    // A slider without travel cannot position anything: keep the value.
    if (handleRange == 0)
        return loadValue();
    const int32_t distance = isHorizontal() ? where.x - delta : where.y - delta;
    float position = static_cast<float>(distance) / static_cast<float>(handleRange);
    if (style & (kStyleRight | kStyleBottom))
        position = 1.0f - position;
    return position;
}

void CSlider::onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (!isMouseEnabled() || !context)
        return;
    buttons = resolveButtons(context, buttons);
    if (modifierClickTaken(context, buttons))
        return;
    if (checkResetToDefault(context, buttons))
        return;
    if (!(buttons & kButtonLeft))
        return;
    int32_t delta = 0;
    if (!gripDelta(where, delta))
        return;
    trackDrag(context, where, delta, buttons);
}

void CSlider::trackDrag(CDrawContext* context, CPoint& where, int32_t delta, int32_t buttons) {
    // fineBase is the value at the moment Shift went down (or changed together
    // with other buttons): fine moves are measured from there.
    float fineBase = loadValue();
    int32_t previousButtons = buttons;
    beginEdit();
    int32_t current = context->getMouseButtons();
    while (current & kButtonLeft) {
        if (current != previousButtons && (current & kModifierShift)) {
            previousButtons = current;
            fineBase = loadValue();
        } else if (!(current & kModifierShift)) {
            fineBase = loadValue();
        }
        float position = valueAt(where, delta);
        if (current & kModifierShift)
            position = fineBase + (position - fineBase) / fineFactor;
        storeValue(position);
        clampValue();
        if (isDirty() && listener)
            listener->valueChanged(context, this);
        getMouseLocation(context, where);
        pumpIdle();
        current = context->getMouseButtons();
    }
    endEdit();
}

// A distance that is not a number moves nothing: it would make the value
// one, which no clamp brings back into range.
void CSlider::stepBy(CDrawContext* context, float distance, bool fine) {
    if (std::isnan(distance))
        return;
    float step = distance * wheelStep;
    if (fine)
        step *= kFineStepFactor;
    storeValue(loadValue() + step);
    clampValue();
    if (isDirty() && listener) {
        beginEdit();
        listener->valueChanged(context, this);
        endEdit();
    }
}

bool CSlider::onWheel(CDrawContext* context, const CPoint& /*where*/, float distance) {
    if (!isMouseEnabled())
        return false;
    stepBy(context, distance, context && (context->getMouseButtons() & kModifierShift));
    return true;
}

int32_t CSlider::onKeyDown(VstKeyCode& keyCode) {
    float distance;
    switch (keyCode.virt) {
    case VKEY_DOWN:
    case VKEY_LEFT:
        distance = -1.0f;
        break;
    case VKEY_UP:
    case VKEY_RIGHT:
        distance = 1.0f;
        break;
    default:
        return -1;
    }
    // A key change has no drawing context to pass on.
    stepBy(nullptr, distance, (keyCode.modifier & MODIFIER_SHIFT) != 0);
    return 1;
}

void CSlider::setDrawTransparentHandle(bool transparentHandle) { drawTransparentHandle = transparentHandle; }
void CSlider::setFreeClick(bool free) { freeClick = free; }
bool CSlider::getFreeClick() const { return freeClick; }

void CSlider::setHandleOffset(const CPoint& newOffset) {
    handleOffset = newOffset;
    if (isHorizontal()) {
        minPos = handleOffset.x + minOffset;
        maxPos = minPos + handleRange + handleWidth;
    } else {
        minPos = handleOffset.y + minOffset;
        maxPos = minPos + handleRange + handleHeight;
    }
}

void CSlider::setHandle(CBitmap* newHandle) {
    // Take the new reference first: setting the handle already held must not
    // free it in between.
    if (newHandle)
        newHandle->addReference();
    if (handle)
        handle->dropReference();
    handle = newHandle;
    if (handle) {
        handleWidth = handle->getWidth();
        handleHeight = handle->getHeight();
    }
}

CBitmap* CSlider::getHandle() const { return handle; }
void CSlider::setFineFactor(float factor) { fineFactor = factor; }
float CSlider::getFineFactor() const { return fineFactor; }

CVerticalSlider::CVerticalSlider(const CRect& size, CControlListener* listener, int32_t tag, int32_t minPos,
                                 int32_t maxPos, CBitmap* handle, CBitmap* background, const CPoint& offset)
    : CSlider(size, listener, tag, minPos, maxPos, handle, background, offset, kStyleVertical | kStyleBottom) {}

}  // namespace VSTGUI
