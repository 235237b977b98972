// The stub window system: windows, devices and pictures are plain records in
// memory, and the pointer, the buttons and the clock are values a test sets.
// Nothing here reaches a display, so the toolkit's tests run anywhere, under
// the sanitizers too, and read back exactly what was drawn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/drawing/CColor.h"
#include "toolkit/geometry/CRect.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

class CDropTarget;
class CFrame;

namespace stub {

// A colour as a screen shows it, 0xRRGGBB: the alpha never reaches a device.
constexpr uint32_t rgbOf(const CColor& color) {
    return (uint32_t(color.red) << 16) | (uint32_t(color.green) << 8) | color.blue;
}

// A string the context was asked to draw, with the state it would be drawn
// in: text is recorded, not rasterised. The rectangle is in device pixels.
struct TextRecord {
    std::string text;
    CRect rect;
    bool opaque;
    int32_t align;
    int32_t fontId;
    int32_t fontStyle;
    int32_t fontSize;
    CColor fontColor;
    CColor fillColor;
};

// A device: pixels of 0xRRGGBB in top-down rows, the clip, and the text
// drawn on it.
class Canvas {
public:
    Canvas(int32_t width, int32_t height, uint32_t background = 0);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int32_t width() const { return columns; }
    int32_t height() const { return rows; }
    // 0xFFFFFFFF outside the canvas.
    uint32_t at(int32_t x, int32_t y) const;
    void fill(uint32_t color);
    // Keeps what fits, fills the rest with black, as a grown window shows nothing yet.
    void resize(int32_t width, int32_t height);

    // Pixels in [left, right) x [top, bottom) that lie inside both the canvas and the clip.
    void fillPixels(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t color);
    void setPixel(int32_t x, int32_t y, uint32_t color);
    bool isVisible(int32_t x, int32_t y) const;

    // A device clips nothing until a clip is set; the clip is in device pixels.
    void setClip(const CRect& clip);
    bool hasClip() const { return clipped; }
    const CRect& getClip() const { return clip; }

    std::vector<TextRecord> texts;

    // Canvases alive in the process, for leak checks.
    static int32_t liveCount();

private:
    int32_t columns;
    int32_t rows;
    std::vector<uint32_t> pixels;
    bool clipped = false;
    CRect clip;
};

// A picture a bitmap loads by resource id: the stub's module resources.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // top-down rows of 0xRRGGBB

    uint32_t at(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Registers (or replaces) the picture of a resource id; bitmaps loaded
// afterwards get a copy of it.
void addPicture(int32_t resourceId, const Picture& picture);
void removePictures();
// The registered picture of an id, or null.
const Picture* findPicture(int32_t resourceId);
// The pictures bitmaps hold: made and freed only here, and counted, so
// that a test sees each decode and each release.
Picture* copyPicture(const Picture& picture);
void freePicture(const Picture* picture);
int32_t livePictureCount();

// A window: where it is on the screen, its parent, class and caption, and
// what it shows. A frame window also knows its frame and drop target.
struct Window {
    Window(const CRect& screenRect, Window* parent, const std::string& className, bool caption);

    CRect screenRect;
    Window* parent;
    std::string className;
    bool caption;
    Canvas canvas;
    CFrame* frame = nullptr;
    CDropTarget* dropTarget = nullptr;
};

inline Window* windowOf(WindowHandle handle) { return static_cast<Window*>(handle); }
inline WindowHandle handleOf(Window* window) { return window; }

// A host's window at a screen rectangle; the caller destroys it after the
// frames inside it.
Window* createHostWindow(const CRect& screenRect, Window* parent = nullptr, const char* className = "",
                         bool caption = false);
void destroyHostWindow(Window* window);

// Paints an area of a frame window as the system's paint would: the frame
// draws it into the window's canvas.
void paint(WindowHandle frameWindow, const CRect& area);

// The pointer and the buttons, as mouse-state bits (kButtonLeft, ...).
struct PointerStep {
    CPoint screen;
    int32_t buttons;
};
void placePointer(const CPoint& screen);
void holdButtons(int32_t mouseState);
// Steps the pointer takes, one at each read of the buttons: a tracking loop
// reads them once a pass. The last step stays.
void scriptPointer(const std::vector<PointerStep>& steps);
// The pointer at the origin, no button, no script, the default cursor.
void resetPointer();

// The last system cursor made current through its type; 0 for none (the default).
int32_t currentCursorType();

// The display scale the system reports (0, the default, for none).
void setSystemScale(double factor);
double systemScale();

// The clock only sleeping moves: waits cost no time and every run sees the same ticks.
uint32_t now();

}  // namespace stub
}  // namespace VSTGUI
