// A bitmap resource of the plug-in module, drawn opaque, with a transparent
// colour, or blended. Its size is in toolkit units (the 1x picture's pixels);
// on a scaled context it draws the module's sharper set for that scale where
// the module carries one (resource id + kScaledSetIdStep * set), resampled
// when the factor lies between sets. A resource is measured when it is
// loaded and decoded when it is first drawn, into a picture every bitmap of
// the module shares (SharedPictures): an instance whose editor never opens
// decodes nothing.
#pragma once

#include "toolkit/geometry/CRect.h"
#include "toolkit/geometry/CReferenceCounter.h"
#include "toolkit/drawing/CColor.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

class CDrawContext;

// The 2x pictures sit at their 1x id + 2000, the 3x ones at + 3000.
constexpr int32_t kScaledSetIdStep = 1000;
constexpr int32_t kLargestScaledSet = 3;

class CBitmap : public CReferenceCounter {
public:
    explicit CBitmap(int32_t resourceId);
    // For pictures made at run time: takes ownership of a device bitmap made
    // elsewhere and measures it; the resource id is 0.
    explicit CBitmap(GraphicsHandle adoptedBitmap);
    ~CBitmap() override;

    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& source = CPoint());
    virtual void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& source = CPoint());
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& source, uint8_t opacity);
    virtual void dispose();
    virtual bool loadFromResource(int32_t resourceId);
    virtual bool loadFromPath(const void* platformPath);

    // What a window system draws for one call: the picture at the context's
    // scale, the device rectangle and the picture's pixel at its top-left.
    // False when there is nothing to draw.
    struct DevicePlacement {
        GraphicsHandle picture;
        CRect dest;
        CPoint source;
    };
    bool placeOnDevice(const CDrawContext* context, const CRect& rect, const CPoint& source,
                       DevicePlacement& placement);

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    int32_t getResourceId() const { return resourceId; }
    // The 1x picture, decoded now if it was not yet; null for none.
    GraphicsHandle getHandle();
    void setTransparentColor(const CColor& color) { transparentColor = color; }
    const CColor& getTransparentColor() const { return transparentColor; }

private:
    GraphicsHandle pictureForScale(double factor);
    GraphicsHandle makeScaledPicture(double factor) const;
    void dropScaledPicture();
    void releasePicture(GraphicsHandle picture) const;

    int32_t resourceId;
    // The 16-bit id whose shared pictures this bitmap draws; 0 for an
    // adopted picture, which is its own.
    int32_t sharedId = 0;
    int32_t width = 0;
    int32_t height = 0;
    CColor transparentColor = kColorTransparent;
    GraphicsHandle bitmapHandle = nullptr;
    // The last picture made for another factor than 1, and what it was made for.
    GraphicsHandle scaledHandle = nullptr;
    double scaledFactor = 1.0;
    CColor scaledSeeThrough = kColorTransparent;
};

}  // namespace VSTGUI
