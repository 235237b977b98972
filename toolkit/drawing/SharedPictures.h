// The module's decoded pictures, shared by the bitmaps of every instance:
// one picture per resource id, display factor and transparent colour, made
// when the first bitmap draws it and freed when the last lets it go. Hosts
// put one module on many tracks, and the panel's pictures never change, so
// an instance's own memory is its state, not its pictures. Editors may live
// on different threads: every call is locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

struct PictureKey {
    int32_t resourceId;  // 16 bits, as the module's resources are named
    double factor;
    uint32_t seeThrough;  // 0xRRGGBB a resampled picture keeps unblended

    bool operator==(const PictureKey& other) const {
        return resourceId == other.resourceId && factor == other.factor && seeThrough == other.seeThrough;
    }
};

class SharedPictures {
public:
    using Maker = std::function<GraphicsHandle()>;

    // The picture of the key, made by `make` when no one holds it; each
    // picture answered is one more user. Null when it cannot be made.
    static GraphicsHandle acquire(const PictureKey& key, const Maker& make);
    // One user fewer; the last frees the picture. A picture this cache did
    // not answer is left alone.
    static void release(GraphicsHandle picture);
    // Pictures alive now.
    static size_t count();
};

}  // namespace VSTGUI
