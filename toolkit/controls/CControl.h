// The view that carries a value: bounds, default, wheel step, a tag naming
// the parameter it stands for, a listener that hears about user changes, and
// dirty tracking by value. A user gesture always reads beginEdit, then one
// valueChanged per change, then endEdit, so that hosts can group automation.
#pragma once

#include <atomic>
#include <cstdint>

#include "toolkit/views/CView.h"

namespace VSTGUI {
class CControl;
}

// How a control reports to its owner. Global, as owners outside the toolkit
// implement it. Owners are never deleted through this interface.
class CControlListener {
public:
    // The control's value has changed through the user; the context is null
    // for a change made from the keyboard.
    virtual void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) = 0;
    // Offered a press that carries a modifier; non-zero consumes the click.
    virtual int32_t modifierClicked(VSTGUI::CDrawContext* context, VSTGUI::CControl* control,
                                    int32_t buttons);

protected:
    ~CControlListener() = default;
};

namespace VSTGUI {

enum CControlStyle : int32_t {
    kStyleHorizontal = 0x01,
    kStyleVertical = 0x02,
    kStyleShadowText = 0x04,
    kStyleLeft = 0x08,
    kStyleRight = 0x10,
    kStyleTop = 0x20,
    kStyleBottom = 0x40,
    kStyle3DIn = 0x80,
    kStyle3DOut = 0x100,
    kStyleNoText = 0x800,
    kStyleNoDraw = 0x1000,
    kStyleNoFrame = 0x4000,
};

// Shift, Control, Alt and the further bit 64 that callers may pass: a press
// with any of them is offered to the listener first.
constexpr int32_t kModifierClickMask = 0x78;
// Exactly the left button with Control: the reset-to-default gesture.
constexpr int32_t kResetToDefaultButtons = 17;

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr);

    void draw(CDrawContext* context) override = 0;
    bool isDirty() const override;
    void setDirty(bool dirty = true) override;
    bool isTypeOf(const char* className) const override;

    virtual void pumpIdle();
    // Callable from any thread: one float stored or loaded whole.
    virtual void setValue(float newValue);
    virtual float getValue() const;
    virtual void setMin(float newMin);
    virtual float getMin() const;
    virtual void setMax(float newMax);
    virtual float getMax() const;
    virtual void setOldValue(float newOldValue);
    virtual float getOldValue() const;
    virtual void setDefaultValue(float newDefault);
    virtual float getDefaultValue() const;
    virtual void setTag(int32_t newTag);
    virtual int32_t getTag() const;
    virtual void beginEdit();
    virtual void endEdit();
    virtual void setBackOffset(const CPoint& newOffset);
    virtual void copyBackOffset();
    virtual void setWheelStep(float step);
    virtual float getWheelStep() const;
    virtual void clampValue();
    virtual bool checkResetToDefault(CDrawContext* context, int32_t buttons);

    CControlListener* getListener() const { return listener; }
    void setListener(CControlListener* newListener) { listener = newListener; }
    const CPoint& getBackOffset() const { return backOffset; }

protected:
    // Ends a draw of drawnValue. Another thread may have stored a newer value
    // while we drew; recording the value actually drawn keeps that one dirty.
    void markDrawn(float drawnValue);
    // Reads the button state for a mouse handler that was given -1.
    static int32_t resolveButtons(CDrawContext* context, int32_t buttons);
    // Offers a press with a modifier to the listener; true when it took it.
    bool modifierClickTaken(CDrawContext* context, int32_t buttons);
    float loadValue() const { return value.load(std::memory_order_relaxed); }
    void storeValue(float newValue) { value.store(newValue, std::memory_order_relaxed); }

    CControlListener* listener;
    int32_t tag;
    float oldValue = 1.0f;
    float defaultValue = 0.5f;
    // Stored by the effect's parameter changes from any thread, read by the
    // window thread; relaxed order is enough for a value shown at next idle.
    std::atomic<float> value{0.0f};
    float minValue = 0.0f;
    float maxValue = 1.0f;
    float wheelStep = 0.1f;
    CPoint backOffset;
};

}  // namespace VSTGUI
