// Shows a control's value as one line of text in a filled, framed box, with
// an optional background bitmap, three-dimensional edge and text shadow. The
// text comes from a conversion the owner installs, else from "%2.2f". It
// ignores the mouse, the wheel and the keys and never notifies a listener.
#pragma once

#include "toolkit/controls/CControl.h"
#include "toolkit/drawing/CColor.h"

namespace VSTGUI {

// Conversions write a terminated text of at most 255 characters into a
// buffer of kParamDisplayTextSize characters.
typedef void (*CParamDisplayValueToText)(float value, char* text);
typedef void (*CParamDisplayValueToTextWithData)(float value, char* text, void* userData);
typedef void (*CParamDisplayTextToValue)(const char* text, float& value);

constexpr int32_t kParamDisplayTextSize = 256;

class CParamDisplay : public CControl {
public:
    explicit CParamDisplay(const CRect& size);

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

    virtual void setFont(int32_t newFontId);
    virtual void setFontColor(const CColor& color);
    virtual void setBackColor(const CColor& color);
    virtual void setFrameColor(const CColor& color);
    virtual void setShadowColor(const CColor& color);
    virtual void setTextAlign(int32_t align);
    virtual void setValueToTextWithData(CParamDisplayValueToTextWithData function, void* data);
    virtual void setValueToText(CParamDisplayValueToText function);
    virtual void setTextToValue(CParamDisplayTextToValue function);
    virtual void setStyle(int32_t newStyle);
    virtual void setTextFace(int32_t face);
    virtual void setTextTransparency(bool transparentText);

    int32_t getFont() const { return fontId; }
    const CColor& getFontColor() const { return fontColor; }
    const CColor& getBackColor() const { return backColor; }
    const CColor& getFrameColor() const { return frameColor; }
    const CColor& getShadowColor() const { return shadowColor; }
    int32_t getTextAlign() const { return textAlign; }
    int32_t getStyle() const { return style; }
    int32_t getTextFace() const { return textFace; }
    bool getTextTransparency() const { return textTransparent; }
    void* getUserData() const { return userData; }
    // The text the display shows for a value, as draw makes it.
    void valueText(float shownValue, char* text) const;

private:
    void drawBox(CDrawContext* context);
    void drawEdge(CDrawContext* context);
    void drawText(CDrawContext* context, const char* text);
    // Stores a colour and asks for a redraw only when a component changed.
    void changeColor(CColor& field, const CColor& color);

    CParamDisplayValueToText valueToText = nullptr;
    CParamDisplayValueToTextWithData valueToTextWithData = nullptr;
    CParamDisplayTextToValue textToValue = nullptr;
    void* userData = nullptr;
    int32_t textAlign = kAlignCenter;
    int32_t style = kStyleHorizontal;
    int32_t fontId = kFontNormal;
    int32_t textFace = 0;
    CColor fontColor = kColorWhite;
    CColor backColor = kColorBlack;
    CColor frameColor = kColorBlack;
    CColor shadowColor = kColorRed;
    bool textTransparent = true;
};

}  // namespace VSTGUI
