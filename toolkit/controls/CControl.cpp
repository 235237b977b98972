#include "toolkit/controls/CControl.h"

#include <cstring>

#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CDrawContext.h"

int32_t CControlListener::modifierClicked(VSTGUI::CDrawContext* /*context*/, VSTGUI::CControl* /*control*/,
                                          int32_t /*buttons*/) {
    return 0;
}

namespace VSTGUI {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag) {
    setTransparent(false);
    setMouseEnabled(true);
    setBackground(background);
    // A fresh control is dirty twice over: by its flag, and by its value (0)
    // against the value it last drew (1, nothing drawn yet).
    CView::setDirty(true);
    oldValue = 1.0f;
}

bool CControl::isDirty() const {
    // A NaN on either side compares unequal, so it counts as changed.
    return loadValue() != oldValue || CView::isDirty();
}

void CControl::setDirty(bool dirtyNow) {
    CView::setDirty(dirtyNow);
    if (dirtyNow)
        oldValue = loadValue() == -1.0f ? 0.0f : -1.0f;
    else
        oldValue = loadValue();
}

bool CControl::isTypeOf(const char* className) const {
    return std::strcmp(className, "CControl") == 0 || CView::isTypeOf(className);
}

void CControl::pumpIdle() {
    if (parentFrame)
        parentFrame->runEditorIdle();
}

void CControl::setValue(float newValue) { storeValue(newValue); }
float CControl::getValue() const { return loadValue(); }
void CControl::setMin(float newMin) { minValue = newMin; }
float CControl::getMin() const { return minValue; }
void CControl::setMax(float newMax) { maxValue = newMax; }
float CControl::getMax() const { return maxValue; }
void CControl::setOldValue(float newOldValue) { oldValue = newOldValue; }
float CControl::getOldValue() const { return oldValue; }
void CControl::setDefaultValue(float newDefault) { defaultValue = newDefault; }
float CControl::getDefaultValue() const { return defaultValue; }
void CControl::setTag(int32_t newTag) { tag = newTag; }
int32_t CControl::getTag() const { return tag; }

void CControl::beginEdit() {
    // Gestures come through the frame; a detached control has nobody to tell.
    if (!parentFrame)
        return;
    parentFrame->setFocusView(this);
    parentFrame->beginEdit(tag);
}

void CControl::endEdit() {
    if (parentFrame)
        parentFrame->endEdit(tag);
}

void CControl::setBackOffset(const CPoint& newOffset) { backOffset = newOffset; }
void CControl::copyBackOffset() { backOffset = CPoint(size.left, size.top); }
void CControl::setWheelStep(float step) { wheelStep = step; }
float CControl::getWheelStep() const { return wheelStep; }

void CControl::clampValue() {
    const float current = loadValue();
    if (current > maxValue)
        storeValue(maxValue);
    else if (current < minValue)
        storeValue(minValue);
}

bool CControl::checkResetToDefault(CDrawContext* context, int32_t buttons) {
    if (buttons != kResetToDefaultButtons)
        return false;
    beginEdit();
    storeValue(getDefaultValue());
    if (isDirty() && listener)
        listener->valueChanged(context, this);
    endEdit();
    return true;
}

void CControl::markDrawn(float drawnValue) {
    CView::setDirty(false);
    oldValue = drawnValue;
}

int32_t CControl::resolveButtons(CDrawContext* context, int32_t buttons) {
    if (buttons == -1)
        return context ? context->getMouseButtons() : 0;
    return buttons;
}

bool CControl::modifierClickTaken(CDrawContext* context, int32_t buttons) {
    return listener && (buttons & kModifierClickMask) && listener->modifierClicked(context, this, buttons) != 0;
}

}  // namespace VSTGUI
