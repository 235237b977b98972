// A drawing context: one device context plus the toolkit's drawing state.
// The pen, brush and font are made only when the value they realise changes,
// and the device's previous objects are put back at destruction. Callers
// speak in toolkit units; a context on a scaled frame draws each unit as the
// device pixels toolkit/geometry/Scaling.h gives it.
#pragma once

#include "toolkit/geometry/CRect.h"
#include "toolkit/geometry/CReferenceCounter.h"
#include "toolkit/geometry/Scaling.h"
#include "toolkit/drawing/CColor.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

class CFrame;

class CDrawContext : public CReferenceCounter {
public:
    // Any argument may be null. Without a device context but with a window,
    // the context takes the window's device and releases it at destruction.
    CDrawContext(CFrame* frame, WindowHandle window, DeviceHandle deviceContext);
    ~CDrawContext() override;

    void setFrameColor(const CColor& color);
    void setFillColor(const CColor& color);
    void setFontColor(const CColor& color);
    void setLineWidth(int32_t width);
    void setClipRect(const CRect& clip);    // in the caller's coordinates
    CRect& getClipRect(CRect& clip) const;  // in the caller's coordinates

    void drawRect(const CRect& rect);  // outline
    void fillRect(const CRect& rect);  // interior, see the class notes
    // A pen line from the current position; like any pen line it leaves out
    // its end point.
    void moveTo(const CPoint& point);
    void lineTo(const CPoint& point);
    void setFont(int32_t fontId, int32_t style = 0);
    void drawString(const char* text, const CRect& rect, bool opaque = false, int32_t align = kAlignCenter);
    int32_t getMouseButtons() const;

    // Copies rect (this context's coordinates) to a point of dest's
    // coordinates without its offset.
    void copyTo(CDrawContext* dest, const CRect& rect, const CPoint& destPoint) const;

    // Device pixels per toolkit unit: the frame's factor, or 1 without a frame.
    double getScaleFactor() const { return scaleFactor; }
    // Where this context's unit (0, 0) lies among the frame's units: (0, 0)
    // for the window, the place it is copied to for an offscreen picture.
    // Units land on the pixels they have in the window, whatever the context.
    const CPoint& getUnitOrigin() const { return unitOrigin; }
    // This context's coordinates, its offset added, in device pixels.
    CRect toDevice(const CRect& rect) const;
    CPoint toDevice(const CPoint& point) const;
    // A size on the device (a font height, a pen width).
    int32_t toDeviceLength(int32_t length) const;
    // The point of this context's coordinates under the pointer at a screen
    // position.
    CPoint screenToLocal(const CPoint& screenPoint) const;

    // Read-only views of the cached state (tests and views use them).
    const CColor& getFrameColor() const { return frameColor; }
    const CColor& getFillColor() const { return fillColor; }
    const CColor& getFontColor() const { return fontColor; }
    int32_t getLineWidth() const { return lineWidth; }
    int32_t getFontId() const { return fontId; }
    int32_t getFontStyle() const { return fontStyle; }
    int32_t getFontSize() const { return fontSize; }
    CFrame* getFrame() const { return frame; }
    WindowHandle getWindow() const { return window; }

    // Shifted by containers and the frame around calls into their children:
    // the window's screen position (device pixels) plus their offsets (units).
    CPoint screenOrigin;
    CPoint offset;
    DeviceHandle deviceContext = nullptr;

protected:
    // What each window system supplies: the device of a context made without
    // one, and the pen, brush, font, text colour and clip made real on the
    // device whenever the state they stand for changes.
    void acquireDevice();
    void makePen();
    void makeBrush();
    void makeFont();
    void applyFontColor();
    void applyClip();
    // A pen line between two device points, without its end point, in the
    // frame colour at the pen's device width.
    void drawDeviceLine(const CPoint& from, const CPoint& to);
    // Whole device pixels in the frame colour, clipped.
    void fillDevicePixels(const CRect& device);
    // Units with the offset already added (the clip, the pen) on the device.
    CRect unitsToDevice(const CRect& units) const;
    CPoint unitsToDevice(const CPoint& units) const;

    WindowHandle window = nullptr;  // an offscreen context keeps its bitmap here
    CFrame* frame = nullptr;
    int32_t fontSize = -1;
    int32_t fontStyle = 0;
    int32_t fontId = kNumFonts;
    CColor fontColor = {0, 0, 0, 0};
    int32_t lineWidth = 0;
    CColor frameColor = {0, 0, 0, 0};
    CColor fillColor = {0, 0, 0, 0};
    CRect clipRect;  // this context's coordinates with the offset added
    double scaleFactor = 1.0;
    CPoint unitOrigin;
    CPoint windowOrigin;  // the window's screen position, where screenOrigin starts
    CPoint penPosition;   // as clipRect
    GraphicsHandle brush = nullptr;
    GraphicsHandle pen = nullptr;
    GraphicsHandle font = nullptr;
    GraphicsHandle savedBrush = nullptr;
    GraphicsHandle savedPen = nullptr;
    GraphicsHandle savedFont = nullptr;
    DeviceHandle ownedDeviceContext = nullptr;
};

}  // namespace VSTGUI
