// The frame's size and position in terms of the host's windows: resizing
// through the host when it can, else by resizing our window and the host
// windows around it with their borders kept.
#include <cstdlib>

#include "toolkit/views/CFrame.h"
#include "toolkit/platform/WindowGeometry.h"

namespace VSTGUI {

// Tests stand in for the system's border to reproduce other systems' window
// arrangements; negative gives the system's answer. Only the tests' support
// code declares it.
int32_t nestedWindowBorderForTests = -1;

namespace {

// A parent this much larger than its child is a host window that must not
// follow the editor's size.
const int32_t kMaxBorderGrowth = 80;
// A window whose size is this close to our window's still belongs to the
// editor's own frame of windows.
const int32_t kOuterWindowTolerance = 60;

// Asks the host to resize the editor's window; true when it did.
bool hostResizes(CFrameOwner* editor, int32_t width, int32_t height) {
    return editor && editor->resizeHostWindow(width, height);
}

// Grows or shrinks each ancestor with the borders measured between it and
// our window, from our window outward. True when the walk met a parent far
// larger than its child: that parent and everything above stay as they are.
bool resizeWindowChain(WindowHandle window, int32_t width, int32_t height) {
    const int32_t border = 2 * (nestedWindowBorderForTests >= 0 ? nestedWindowBorderForTests : nestedWindowBorder());
    int32_t extraWidth = 0;
    int32_t extraHeight = 0;
    WindowHandle current = window;
    while (border != 0) {
        WindowHandle parent = parentWindow(current);
        // An MDI client and its frame window are the host's to size.
        if (!parent || hasWindowClass(parent, "MDIClient"))
            break;
        const CRect currentRect = windowScreenRect(current);
        const CRect parentRect = windowScreenRect(parent);
        resizeWindow(current, width + extraWidth, height + extraHeight);
        extraWidth += parentRect.width() - currentRect.width();
        extraHeight += parentRect.height() - currentRect.height();
        if (extraWidth > kMaxBorderGrowth || extraHeight > kMaxBorderGrowth)
            return true;
        extraWidth = extraWidth < 0 ? 0 : extraWidth;
        extraHeight = extraHeight < 0 ? 0 : extraHeight;
        current = parent;
        if (extraWidth == border)
            break;
    }
    resizeWindow(current, width + extraWidth, height + extraHeight);
    return false;
}

// The outermost window that still looks like part of the editor: stop at a
// captioned window, at the top, or below a parent of clearly other size.
WindowHandle outerWindow(WindowHandle window) {
    const CRect frameRect = windowScreenRect(window);
    WindowHandle current = window;
    for (;;) {
        WindowHandle parent = parentWindow(current);
        if (isDecoratedWindow(current) || !parent)
            return current;
        const CRect parentRect = windowScreenRect(parent);
        if (std::abs(parentRect.width() - frameRect.width()) > kOuterWindowTolerance ||
            std::abs(parentRect.height() - frameRect.height()) > kOuterWindowTolerance)
            return current;
        current = parent;
    }
}

// The window's top-left corner in the client coordinates of another window.
CPoint topLeftIn(WindowHandle window, WindowHandle reference) {
    const CRect rect = windowScreenRect(window);
    return screenToClient(reference, CPoint(rect.left, rect.top));
}

}  // namespace

bool CFrame::setPosition(int32_t, int32_t) { return false; }

// A frame that never had a window has no place among the host's windows:
// both queries answer false for it, as for a closed one.
bool CFrame::getPosition(int32_t& x, int32_t& y) const {
    if (!isOpen() || !window)
        return false;
    WindowHandle outer = outerWindow(window);
    const CPoint position = topLeftIn(outer, parentWindow(outer));
    x = position.x;
    y = position.y;
    return true;
}

bool CFrame::setSize(int32_t width, int32_t height) {
    if (!isOpen() || (width == size.width() && height == size.height()))
        return false;
    size.right = size.left + width;
    size.bottom = size.top + height;
    if (resizeWindows())
        return true;
    CViewContainer::setViewSize(CRect(0, 0, width, height));
    return true;
}

bool CFrame::resizeWindows() {
    const int32_t width = getDeviceWidth();
    const int32_t height = getDeviceHeight();
    if (hostResizes(editor, width, height)) {
        // The host has resized its window; ours follows, and the view tree
        // keeps its picture until something redraws.
        resizeWindow(window, width, height);
        return true;
    }
    return window && resizeWindowChain(window, width, height);
}

void CFrame::setScaleFactor(double factor) {
    factor = clampScaleFactor(factor);
    if (factor == scaleFactor)
        return;
    scaleFactor = factor;
    if (isOpen() && window)
        resizeWindows();
    setDirty(true);
}

void CFrame::systemScaleChanged() {
    if (editor)
        editor->systemScaleChanged();
}

bool CFrame::getSize(CRect* rect) const { return rect && getSize(*rect); }

bool CFrame::getSize(CRect& rect) const {
    if (!isOpen() || !window)
        return false;
    WindowHandle parent = parentWindow(window);
    WindowHandle reference = parentWindow(parentWindow(parent));
    const CRect parentRect = windowScreenRect(parent);
    const CPoint topLeft = screenToClient(reference, CPoint(parentRect.left, parentRect.top));
    rect = CRect(topLeft.x, topLeft.y, topLeft.x + parentRect.width(), topLeft.y + parentRect.height());
    return true;
}

void CFrame::setViewSize(const CRect& rect) { setSize(rect.width(), rect.height()); }

}  // namespace VSTGUI
