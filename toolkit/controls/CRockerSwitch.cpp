#include "toolkit/controls/CRockerSwitch.h"

#include <cstring>

#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/CDrawContext.h"

namespace VSTGUI {

namespace {
constexpr float kPressedFirstHalf = -1.0f;
constexpr float kAtRest = 0.0f;
constexpr float kPressedSecondHalf = 1.0f;
}  // namespace

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t imageHeight,
                             CBitmap* image, const CPoint& offset, int32_t style)
    : CControl(size, listener, tag, image), offset(offset), imageHeight(imageHeight), style(style) {}

bool CRockerSwitch::isTypeOf(const char* className) const {
    return std::strcmp(className, "CRockerSwitch") == 0 || CControl::isTypeOf(className);
}

void CRockerSwitch::draw(CDrawContext* context) {
    const float drawnValue = loadValue();
    CPoint source = offset;
    // Any value other than rest and +1 shows the first state.
    if (drawnValue == kPressedSecondHalf)
        source.y += 2 * imageHeight;
    else if (drawnValue == kAtRest)
        source.y += imageHeight;
    if (background && context) {
        if (isTransparent())
            background->drawTransparent(context, size, source);
        else
            background->draw(context, size, source);
    }
    markDrawn(drawnValue);
}

float CRockerSwitch::valueUnder(const CPoint& where, float entryValue) const {
    // Inclusive bounds on every edge; the first half wins on the dividing line.
    if (style & kStyleHorizontal) {
        const int32_t middle = size.left + size.width() / 2;
        if (where.y < size.top || where.y > size.bottom)
            return entryValue;
        if (where.x >= size.left && where.x <= middle)
            return kPressedFirstHalf;
        if (where.x >= middle && where.x <= size.right)
            return kPressedSecondHalf;
        return entryValue;
    }
    const int32_t middle = size.top + size.height() / 2;
    if (where.x < size.left || where.x > size.right)
        return entryValue;
    if (where.y >= size.top && where.y <= middle)
        return kPressedFirstHalf;
    if (where.y >= middle && where.y <= size.bottom)
        return kPressedSecondHalf;
    return entryValue;
}

void CRockerSwitch::onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (!isMouseEnabled() || !context)
        return;
    buttons = resolveButtons(context, buttons);
    if (modifierClickTaken(context, buttons))
        return;
    if (!(buttons & kButtonLeft))
        return;
    const float entryValue = loadValue();
    beginEdit();
    do {
        storeValue(valueUnder(where, entryValue));
        if (isDirty() && listener)
            listener->valueChanged(context, this);
        getMouseLocation(context, where);
        pumpIdle();
    } while (context->getMouseButtons() & kButtonLeft);
    springBack(context);
}

void CRockerSwitch::springBack(CDrawContext* context) {
    // The release is always reported, even when the value is already at rest.
    storeValue(kAtRest);
    if (listener)
        listener->valueChanged(context, this);
    endEdit();
}

bool CRockerSwitch::onWheel(CDrawContext* context, const CPoint& /*where*/, float distance) {
    if (!isMouseEnabled())
        return false;
    // Zero and NaN count as the second half.
    storeValue(distance > 0.0f ? kPressedFirstHalf : kPressedSecondHalf);
    beginEdit();
    if (isDirty() && listener)
        listener->valueChanged(context, this);
    springBack(context);
    return true;
}

}  // namespace VSTGUI
