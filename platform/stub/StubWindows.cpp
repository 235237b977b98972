#include "platform/stub/StubWindows.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <new>

#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/views/CFrame.h"

namespace VSTGUI {
namespace stub {

namespace {

int32_t canvasesAlive = 0;

std::map<int32_t, Picture>& pictures() {
    static std::map<int32_t, Picture> registered;
    return registered;
}

}  // namespace

Canvas::Canvas(int32_t width, int32_t height, uint32_t background)
    : columns(std::max(0, width)), rows(std::max(0, height)), pixels(size_t(columns) * size_t(rows), background) {
    ++canvasesAlive;
}

Canvas::~Canvas() { --canvasesAlive; }

int32_t Canvas::liveCount() { return canvasesAlive; }

uint32_t Canvas::at(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= columns || y >= rows)
        return 0xFFFFFFFFu;
    return pixels[size_t(y) * size_t(columns) + size_t(x)];
}

void Canvas::fill(uint32_t color) { std::fill(pixels.begin(), pixels.end(), color); }

void Canvas::resize(int32_t width, int32_t height) {
    width = std::max(0, width);
    height = std::max(0, height);
    std::vector<uint32_t> resized(size_t(width) * size_t(height), 0);
    for (int32_t y = 0; y < std::min(rows, height); ++y)
        for (int32_t x = 0; x < std::min(columns, width); ++x)
            resized[size_t(y) * size_t(width) + size_t(x)] = at(x, y);
    pixels.swap(resized);
    columns = width;
    rows = height;
}

bool Canvas::isVisible(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= columns || y >= rows)
        return false;
    return !clipped || (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom);
}

void Canvas::setPixel(int32_t x, int32_t y, uint32_t color) {
    if (isVisible(x, y))
        pixels[size_t(y) * size_t(columns) + size_t(x)] = color;
}

void Canvas::fillPixels(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t color) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, columns);
    bottom = std::min(bottom, rows);
    if (clipped) {
        left = std::max(left, clip.left);
        top = std::max(top, clip.top);
        right = std::min(right, clip.right);
        bottom = std::min(bottom, clip.bottom);
    }
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x)
            pixels[size_t(y) * size_t(columns) + size_t(x)] = color;
}

void Canvas::setClip(const CRect& newClip) {
    clipped = true;
    clip = newClip;
}

void addPicture(int32_t resourceId, const Picture& picture) { pictures()[resourceId] = picture; }

void removePictures() { pictures().clear(); }

const Picture* findPicture(int32_t resourceId) {
    auto found = pictures().find(resourceId);
    return found == pictures().end() ? nullptr : &found->second;
}

namespace {
std::atomic<int32_t> picturesAlive{0};
}  // namespace

Picture* copyPicture(const Picture& picture) {
    Picture* copy = new Picture(picture);
    ++picturesAlive;
    return copy;
}

void freePicture(const Picture* picture) {
    if (!picture)
        return;
    --picturesAlive;
    delete picture;
}

int32_t livePictureCount() { return picturesAlive.load(); }

Window::Window(const CRect& screenRect, Window* parent, const std::string& className, bool caption)
    : screenRect(screenRect),
      parent(parent),
      className(className),
      caption(caption),
      canvas(screenRect.width(), screenRect.height()) {}

Window* createHostWindow(const CRect& screenRect, Window* parent, const char* className, bool caption) {
    return new Window(screenRect, parent, className ? className : "", caption);
}

void destroyHostWindow(Window* window) { delete window; }

void paint(WindowHandle frameWindow, const CRect& area) {
    Window* window = windowOf(frameWindow);
    if (!window || !window->frame)
        return;
    CDrawContext* context = new (std::nothrow) CDrawContext(window->frame, frameWindow, nullptr);
    window->frame->drawRect(context, window->frame->deviceToLocal(area));
    if (context)
        context->dropReference();
}

namespace {
double reportedSystemScale = 0.0;
}  // namespace

void setSystemScale(double factor) { reportedSystemScale = factor; }

double systemScale() { return reportedSystemScale; }

}  // namespace stub
}  // namespace VSTGUI
