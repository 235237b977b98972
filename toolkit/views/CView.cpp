#include "toolkit/views/CView.h"

#include <cstring>

#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/Cursor.h"

namespace VSTGUI {

const char* const kMsgCheckIfViewContainer = "kMsgCheckIfViewContainer";

CView::ContextShift::ContextShift(CDrawContext* context, int32_t dx, int32_t dy) : context(context) {
    if (!context)
        return;
    savedOrigin = context->screenOrigin;
    savedOffset = context->offset;
    context->screenOrigin.x += dx;
    context->screenOrigin.y += dy;
    context->offset.x += dx;
    context->offset.y += dy;
}

CView::ContextShift::~ContextShift() {
    if (!context)
        return;
    context->screenOrigin = savedOrigin;
    context->offset = savedOffset;
}

CView::CView(const CRect& size) : size(size), mouseArea(size) {}

CView::~CView() {
    if (background)
        background->dropReference();
}

void CView::draw(CDrawContext* context) {
    // Without a context there is nowhere to draw; the view still counts as drawn.
    if (background && context) {
        if (transparent)
            background->drawTransparent(context, size, CPoint(0, 0));
        else
            background->draw(context, size, CPoint(0, 0));
    }
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) { draw(context); }

bool CView::isInUpdateRect(const CRect& rect) const { return size.overlaps(rect); }

void CView::onMouseDown(CDrawContext* /*context*/, CPoint& /*where*/, int32_t /*buttons*/) {}

void CView::setBackground(CBitmap* bitmap) {
    // Take the new reference first: the new bitmap may be the one we drop.
    if (bitmap)
        bitmap->addReference();
    if (background)
        background->dropReference();
    background = bitmap;
    setDirty(true);
}

CBitmap* CView::getBackground() const { return background; }

int32_t CView::onKeyDown(VstKeyCode& /*keyCode*/) { return -1; }

int32_t CView::onKeyUp(VstKeyCode& /*keyCode*/) { return -1; }

bool CView::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t /*axis*/, float distance) {
    return onWheel(context, where, distance);
}

bool CView::onWheel(CDrawContext* /*context*/, const CPoint& /*where*/, float /*distance*/) { return false; }

bool CView::onDrop(CDrawContext* /*context*/, CDragContainer* /*drag*/, const CPoint& /*where*/) { return false; }

void CView::onDragEnter(CDrawContext* /*context*/, CDragContainer* /*drag*/, const CPoint& /*where*/) {}

void CView::onDragLeave(CDrawContext* /*context*/, CDragContainer* /*drag*/, const CPoint& /*where*/) {}

void CView::onDragMove(CDrawContext* /*context*/, CDragContainer* /*drag*/, const CPoint& /*where*/) {}

void CView::onFocusLost(CDrawContext* /*context*/) {}

void CView::onFocusTaken(CDrawContext* /*context*/) {}

bool CView::isDirty() const { return dirty; }

void CView::setDirty(bool value) { dirty = value; }

void CView::setMouseEnabled(bool enabled) { mouseEnabled = enabled; }

bool CView::isMouseEnabled() const { return mouseEnabled; }

void CView::setMouseArea(const CRect& area) { mouseArea = area; }

CRect& CView::getMouseArea(CRect& area) const {
    area = mouseArea;
    return area;
}

bool CView::hitTest(const CPoint& where, int32_t /*buttons*/) { return mouseArea.pointInside(where); }

void CView::setTransparent(bool value) { transparent = value; }

bool CView::isTransparent() const { return transparent; }

void CView::setViewSize(const CRect& rect) {
    size = rect;
    setDirty(true);
}

CRect& CView::getViewSize(CRect& rect) const {
    rect = size;
    return rect;
}

bool CView::onRemoved(CView* /*parent*/) { return true; }

bool CView::onAttached(CView* /*parent*/) { return true; }

void CView::getMouseLocation(CDrawContext* context, CPoint& point) {
    if (!context)
        return;
    if (parentView && parentView->notify(this, kMsgCheckIfViewContainer) == 1) {
        ContextShift shift(context, parentView->size.left, parentView->size.top);
        parentView->getMouseLocation(context, point);
        return;
    }
    point = context->screenToLocal(getCursorScreenPosition());
}

CPoint& CView::frameToLocal(CPoint& point) const {
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->frameToLocal(point);
    return point;
}

CPoint& CView::localToFrame(CPoint& point) const {
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->localToFrame(point);
    return point;
}

CFrameOwner* CView::getEditor() const { return parentFrame ? parentFrame->getEditor() : nullptr; }

int32_t CView::notify(CView* /*sender*/, const char* /*message*/) { return 0; }

void CView::redrawRect(CDrawContext* context, const CRect& rect) {
    if (parentView)
        parentView->redrawRect(context, rect);
    else if (parentFrame)
        parentFrame->drawRect(context, rect);
}

bool CView::wantsFocus() const { return focusWanted; }

void CView::setWantsFocus(bool wants) { focusWanted = wants; }

bool CView::isTypeOf(const char* className) const { return className && std::strcmp(className, "CView") == 0; }

void CView::update(CDrawContext* context) {
    if (!isDirty())
        return;
    if (context)
        redrawRect(context, size);
    else if (parentFrame)
        parentFrame->drawView(this);
    setDirty(false);
}

}  // namespace VSTGUI
