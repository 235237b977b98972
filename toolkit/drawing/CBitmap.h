// A bitmap resource of the plug-in module, drawn opaque, with a transparent
// colour, or blended.
#pragma once

#include "toolkit/geometry/CRect.h"
#include "toolkit/geometry/CReferenceCounter.h"
#include "toolkit/drawing/CColor.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

class CDrawContext;

class CBitmap : public CReferenceCounter {
public:
    explicit CBitmap(int32_t resourceId);
    // For pictures made at run time: takes ownership of a device bitmap made
    // elsewhere and measures it; the resource id is 0.
    explicit CBitmap(GraphicsHandle adoptedBitmap);
    ~CBitmap() override;

    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& source = CPoint());
    virtual void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& source = CPoint());
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& source,
                                uint8_t opacity);
    virtual void dispose();
    virtual bool loadFromResource(int32_t resourceId);
    virtual bool loadFromPath(const void* platformPath);

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    int32_t getResourceId() const { return resourceId; }
    GraphicsHandle getHandle() const { return bitmapHandle; }
    void setTransparentColor(const CColor& color) { transparentColor = color; }
    const CColor& getTransparentColor() const { return transparentColor; }

private:
    int32_t resourceId;
    int32_t width = 0;
    int32_t height = 0;
    CColor transparentColor = kColorTransparent;
    GraphicsHandle bitmapHandle = nullptr;
};

}  // namespace VSTGUI
