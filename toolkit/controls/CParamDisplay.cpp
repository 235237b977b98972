#include "toolkit/controls/CParamDisplay.h"

#include <cstdio>
#include <cstring>

#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/CDrawContext.h"

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& size) : CControl(size, nullptr, 0, nullptr) {}

bool CParamDisplay::isTypeOf(const char* className) const {
    return std::strcmp(className, "CParamDisplay") == 0 || CControl::isTypeOf(className);
}

void CParamDisplay::valueText(float shownValue, char* text) const {
    text[0] = 0;
    if (valueToTextWithData)
        valueToTextWithData(shownValue, text, userData);
    else if (valueToText)
        valueToText(shownValue, text);
    else
        std::snprintf(text, kParamDisplayTextSize, "%2.2f", static_cast<double>(shownValue));
    // A conversion that overran its limit still leaves a terminated text.
    text[kParamDisplayTextSize - 1] = 0;
}

void CParamDisplay::draw(CDrawContext* context) {
    const float shownValue = loadValue();
    char text[kParamDisplayTextSize];
    valueText(shownValue, text);
    markDrawn(shownValue);
    if ((style & kStyleNoDraw) || !context)
        return;
    drawBox(context);
    if (style & (kStyle3DIn | kStyle3DOut))
        drawEdge(context);
    if (style & kStyleNoText)
        return;
    drawText(context, text);
}

void CParamDisplay::drawBox(CDrawContext* context) {
    if (background) {
        if (isTransparent())
            background->drawTransparent(context, size, backOffset);
        else
            background->draw(context, size, backOffset);
        return;
    }
    if (isTransparent())
        return;
    context->setFillColor(backColor);
    context->fillRect(size);
    if (!(style & (kStyle3DIn | kStyle3DOut | kStyleNoFrame))) {
        context->setFrameColor(frameColor);
        context->drawRect(size);
    }
}

void CParamDisplay::drawEdge(CDrawContext* context) {
    // Sunken: light from the lower right (back colour top-left, frame colour
    // bottom-right); raised the other way round.
    const bool sunken = (style & kStyle3DIn) != 0;
    const int32_t left = size.left, top = size.top, right = size.right, bottom = size.bottom;
    context->setLineWidth(1);
    context->setFrameColor(sunken ? backColor : frameColor);
    context->moveTo(CPoint(left, bottom - 1));
    context->lineTo(CPoint(left, top + 1));
    context->lineTo(CPoint(right - 1, top + 1));
    context->setFrameColor(sunken ? frameColor : backColor);
    context->moveTo(CPoint(right - 1, top + 1));
    context->lineTo(CPoint(right - 1, bottom - 1));
    context->lineTo(CPoint(left, bottom - 1));
}

void CParamDisplay::drawText(CDrawContext* context, const char* text) {
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = size;
    clip.bound(oldClip);
    context->setClipRect(clip);
    context->setFont(fontId, textFace);
    if (style & kStyleShadowText) {
        CRect shadowRect = size;
        shadowRect.moveBy(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadowRect, !textTransparent, textAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, !textTransparent, textAlign);
    context->setClipRect(oldClip);
}

void CParamDisplay::changeColor(CColor& field, const CColor& color) {
    if (field != color)
        setDirty(true);
    field = color;
}

void CParamDisplay::setFont(int32_t newFontId) {
    if (newFontId != fontId)
        setDirty(true);
    fontId = newFontId;
}

void CParamDisplay::setFontColor(const CColor& color) { changeColor(fontColor, color); }
void CParamDisplay::setBackColor(const CColor& color) { changeColor(backColor, color); }
void CParamDisplay::setFrameColor(const CColor& color) { changeColor(frameColor, color); }
void CParamDisplay::setShadowColor(const CColor& color) { changeColor(shadowColor, color); }

void CParamDisplay::setTextAlign(int32_t align) {
    if (align != textAlign)
        setDirty(true);
    textAlign = align;
}

void CParamDisplay::setValueToTextWithData(CParamDisplayValueToTextWithData function, void* data) {
    valueToTextWithData = function;
    userData = data;
}

void CParamDisplay::setValueToText(CParamDisplayValueToText function) { valueToText = function; }
void CParamDisplay::setTextToValue(CParamDisplayTextToValue function) { textToValue = function; }

void CParamDisplay::setStyle(int32_t newStyle) {
    if (newStyle != style) {
        style = newStyle;
        setDirty(true);
    }
}

void CParamDisplay::setTextFace(int32_t face) {
    if (face != textFace)
        setDirty(true);
    textFace = face;
}

void CParamDisplay::setTextTransparency(bool transparentText) { textTransparent = transparentText; }

}  // namespace VSTGUI
