// A spring-loaded two-way switch: −1 or +1 while one half is held, back to 0
// on release, every change reported. One wheel call is one full press and
// release. No keys, no reset-to-default.
#pragma once

#include "toolkit/controls/CControl.h"

namespace VSTGUI {

class CRockerSwitch : public CControl {
public:
    // The image holds three states of imageHeight rows stacked from offset:
    // pressed first half, at rest, pressed second half.
    CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t imageHeight,
                  CBitmap* image, const CPoint& offset = CPoint(), int32_t style = kStyleHorizontal);

    void draw(CDrawContext* context) override;
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isTypeOf(const char* className) const override;

    int32_t getImageHeight() const { return imageHeight; }
    int32_t getStyle() const { return style; }

private:
    // −1 over the first half, +1 over the second, else the value at press.
    float valueUnder(const CPoint& where, float entryValue) const;
    // Back to rest, reported, and the end of the gesture.
    void springBack(CDrawContext* context);

    CPoint offset;
    int32_t imageHeight;
    int32_t style;
};

}  // namespace VSTGUI
