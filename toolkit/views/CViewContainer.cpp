#include "toolkit/views/CViewContainer.h"

#include <cstring>
#include <new>

#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/drawing/COffscreenContext.h"

namespace VSTGUI {

namespace {

CRect bounded(CRect rect, const CRect& limit) { return rect.bound(limit); }

CRect clipOf(const CDrawContext* context) {
    CRect clip;
    return context->getClipRect(clip);
}

void drawBitmap(CBitmap* bitmap, bool transparent, CDrawContext* target, const CRect& dest, const CPoint& source) {
    if (transparent)
        bitmap->drawTransparent(target, dest, source);
    else
        bitmap->draw(target, dest, source);
}

CPoint topLeft(const CRect& rect) { return CPoint(rect.left, rect.top); }

}  // namespace

CViewContainer::CViewContainer(const CRect& size) : CView(size) { setDirty(true); }

CViewContainer::~CViewContainer() {
    removeAll(true);
    if (offscreen)
        offscreen->dropReference();
    offscreen = nullptr;
}

// ---------------------------------------------------------------- children

void CViewContainer::addView(CView* view, const CRect& area, bool enabled) {
    if (!view)
        return;
    view->setMouseEnabled(enabled);
    view->setMouseArea(area);
    addView(view);
}

void CViewContainer::addView(CView* view) {
    if (!view)
        return;
    // Out of memory the view stays unattached, as if never added.
    Node* node = new (std::nothrow) Node{view, nullptr, nullptr};
    if (!node)
        return;
    view->addReference();
    node->previous = lastNode;
    if (lastNode)
        lastNode->next = node;
    else
        firstNode = node;
    lastNode = node;
    view->setParentFrame(parentFrame);
    view->setParentView(this);
    view->onAttached(this);
    view->setDirty(true);
}

void CViewContainer::removeView(CView* view, const bool& release) {
    if (parentFrame && parentFrame->getFocusView() == view)
        parentFrame->setFocusView(nullptr);
    Node* node = firstNode;
    while (node && node->view != view)
        node = node->next;
    if (!node)
        return;
    // A drag must not reach a view we no longer hold.
    if (dragView == view)
        dragView = nullptr;
    detachChild(view, release);
    if (node->previous)
        node->previous->next = node->next;
    else
        firstNode = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        lastNode = node->previous;
    delete node;
}

void CViewContainer::removeAll(const bool& release) {
    dragView = nullptr;
    while (firstNode) {
        Node* node = firstNode;
        detachChild(node->view, release);
        firstNode = node->next;
        if (firstNode)
            firstNode->previous = nullptr;
        delete node;
    }
    lastNode = nullptr;
}

void CViewContainer::detachChild(CView* view, bool release) {
    view->onRemoved(this);
    if (release)
        view->dropReference();
    view->dropReference();
}

bool CViewContainer::isChild(CView* view) const {
    for (Node* node = firstNode; node; node = node->next)
        if (node->view == view)
            return true;
    return false;
}

int32_t CViewContainer::getViewCount() const {
    int32_t count = 0;
    for (Node* node = firstNode; node; node = node->next)
        ++count;
    return count;
}

CView* CViewContainer::getView(int32_t index) const {
    if (index < 0)
        return nullptr;
    Node* node = firstNode;
    while (node && index-- > 0)
        node = node->next;
    return node ? node->view : nullptr;
}

// ---------------------------------------------------------------- drawing

void CViewContainer::makeOffscreen(const CPoint& origin) {
    offscreen = new COffscreenContext(parentFrame, size.width(), size.height(), kColorBlack, origin);
}

// The caller's clip as the children see it: an offscreen bitmap starts at our
// origin, so a nested container's clip moves there too.
CRect CViewContainer::childrenClip(const CRect& callerClip) const {
    CRect clip = callerClip;
    if (offscreenDrawing && parentFrame != this)
        clip.moveBy(-clip.left, -clip.top);
    return clip;
}

// Where children draw: our offscreen bitmap (made on first use) or, with
// offscreen drawing off, the caller's own context.
CDrawContext* CViewContainer::drawingTarget(CDrawContext* context) {
    if (!offscreenDrawing)
        return context;
    // Made for another scale, or for another place at one where that matters.
    const CPoint origin = COffscreenContext::destinationOrigin(context, size);
    if (offscreen && !offscreen->suits(origin)) {
        offscreen->dropReference();
        offscreen = nullptr;
    }
    if (!offscreen)
        makeOffscreen(origin);
    return offscreen;
}

void CViewContainer::draw(CDrawContext* context) {
    // Without a caller's context there is no clip to start from and nowhere
    // to copy the picture: nothing is drawn.
    if (!context)
        return;
    // Without offscreen drawing the children draw straight into the caller's
    // context, moved to our origin until the end of this call.
    ContextShift shift(offscreenDrawing ? nullptr : context, size.left, size.top);
    CDrawContext* target = drawingTarget(context);

    const CRect keptClip = clipOf(context);
    const CRect oldClip = childrenClip(keptClip);

    const CRect bounds = localBounds();
    target->setClipRect(bounded(bounds, oldClip));
    if (background)
        drawBitmap(background, transparent, target, bounds, backgroundOffset);
    else if (!transparent) {
        target->setFillColor(backgroundColor);
        target->fillRect(bounds);
    }
    for (Node* node = firstNode; node; node = node->next) {
        target->setClipRect(bounded(node->view->getSize(), oldClip));
        node->view->draw(target);
    }
    target->setClipRect(keptClip);

    if (offscreenDrawing)
        offscreen->transferTo(context, size, CPoint(0, 0));
    setDirty(false);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    // As in draw: no caller's context, nothing drawn.
    if (!context)
        return;
    ContextShift shift(offscreenDrawing ? nullptr : context, size.left, size.top);
    CDrawContext* target = drawingTarget(context);

    const CRect client = bounded(updateRect, size);
    CRect localUpdate = client;
    localUpdate.moveBy(-size.left, -size.top);

    const CRect keptClip = clipOf(context);
    const CRect oldClip = childrenClip(keptClip);

    const CRect newClip = bounded(localUpdate, oldClip);
    target->setClipRect(newClip);
    drawBackgroundRect(target, localUpdate);
    drawChildrenInRect(target, localUpdate, newClip);
    target->setClipRect(keptClip);

    if (offscreenDrawing)
        offscreen->transferTo(context, client, topLeft(localUpdate));
    setDirty(false);
}

void CViewContainer::drawChildrenInRect(CDrawContext* target, const CRect& localUpdate, const CRect& clip) {
    for (Node* node = firstNode; node; node = node->next) {
        CView* child = node->view;
        if (!child->isInUpdateRect(localUpdate))
            continue;
        const CRect childClip = bounded(child->getSize(), clip);
        if (childClip.width() == 0 || childClip.height() == 0)
            continue;
        target->setClipRect(childClip);
        const bool wasDirty = child->isDirty();
        child->drawRect(target, localUpdate);
        // A dirty child drawn only in part stays dirty, so that idle redraws it whole.
        if (wasDirty && childClip != child->getSize())
            child->setDirty(true);
    }
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    if (!context)
        return;
    if (background) {
        const CRect oldClip = clipOf(context);
        context->setClipRect(bounded(rect, oldClip));
        const CRect whole(0, 0, background->getWidth(), background->getHeight());
        drawBitmap(background, transparent, context, whole, backgroundOffset);
        context->setClipRect(oldClip);
    } else if (!transparent) {
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
    }
}

void CViewContainer::redrawRect(CDrawContext* context, const CRect& rect) {
    CRect moved = rect;
    moved.moveBy(size.left, size.top);
    if (transparent) {
        // What shows through belongs to our parent: let it repaint.
        if (parentView)
            parentView->redrawRect(context, moved);
        else if (parentFrame)
            parentFrame->drawRect(context, moved);
        return;
    }
    CPoint origin(0, 0);
    if (parentView)
        parentView->localToFrame(origin);
    ContextShift shift(parentView ? context : nullptr, origin.x, origin.y);
    drawRect(context, moved);
}

void CViewContainer::update(CDrawContext* context) {
    switch (updateMode) {
    case 0:
        if (isDirty())
            redrawWhole(context);
        break;
    case 1:
        if (dirty)
            redrawWhole(context);
        else
            updateDirtyChildren(context);
        break;
    default:
        break;
    }
}

void CViewContainer::redrawWhole(CDrawContext* context) {
    redrawRect(context, localBounds());
    setDirty(false);
}

void CViewContainer::updateDirtyChildren(CDrawContext* context) {
    const CRect bounds = localBounds();
    for (Node* node = firstNode; node; node = node->next) {
        CView* child = node->view;
        if (!child->isDirty() || !child->isInUpdateRect(bounds))
            continue;
        if (child->notify(this, kMsgCheckIfViewContainer) != 0)
            child->update(context);
        else
            child->redrawRect(context, bounded(child->getSize(), bounds));
    }
    setDirty(false);
}

bool CViewContainer::isDirty() const {
    if (dirty)
        return true;
    const CRect bounds = localBounds();
    for (Node* node = firstNode; node; node = node->next) {
        if (!node->view->isDirty())
            continue;
        const CRect visible = bounded(node->view->getSize(), bounds);
        if (visible.width() > 0 && visible.height() > 0)
            return true;
    }
    return false;
}

void CViewContainer::setViewSize(const CRect& rect) {
    CView::setViewSize(rect);
    if (offscreen && offscreenDrawing) {
        offscreen->dropReference();
        makeOffscreen();
    }
}

void CViewContainer::setBackgroundColor(const CColor& color) {
    backgroundColor = color;
    setDirty(true);
}

CColor CViewContainer::getBackgroundColor() const { return backgroundColor; }

void CViewContainer::setBackgroundOffset(const CPoint& offset) { backgroundOffset = offset; }

const CPoint& CViewContainer::getBackgroundOffset() const { return backgroundOffset; }

void CViewContainer::setUpdateMode(int32_t mode) { updateMode = mode; }

int32_t CViewContainer::getUpdateMode() const { return updateMode; }

void CViewContainer::setOffscreenDrawing(bool enabled) {
    offscreenDrawing = enabled;
    if (!enabled && offscreen) {
        offscreen->dropReference();
        offscreen = nullptr;
    }
}

// ---------------------------------------------------------------- attachment

bool CViewContainer::onRemoved(CView* /*parent*/) {
    if (offscreen)
        offscreen->dropReference();
    offscreen = nullptr;
    return true;
}

bool CViewContainer::onAttached(CView* /*parent*/) {
    if (!offscreen && offscreenDrawing)
        makeOffscreen();
    return true;
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const {
    point.x -= size.left;
    point.y -= size.top;
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->frameToLocal(point);
    return point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const {
    point.x += size.left;
    point.y += size.top;
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->localToFrame(point);
    return point;
}

int32_t CViewContainer::notify(CView* /*sender*/, const char* message) {
    return message == kMsgCheckIfViewContainer ? 1 : 0;
}

bool CViewContainer::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CViewContainer") == 0)
        return true;
    return CView::isTypeOf(className);
}

// ---------------------------------------------------------------- input

void CViewContainer::onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) {
    CPoint local = toLocal(where);
    if (buttons == -1 && context)
        buttons = context->getMouseButtons();
    for (Node* node = lastNode; node; node = node->previous) {
        CView* child = node->view;
        if (child && child->isMouseEnabled() && child->hitTest(local, buttons)) {
            child->onMouseDown(context, local, buttons);
            return;
        }
    }
}

int32_t CViewContainer::onKeyDown(VstKeyCode& keyCode) { return offerKey(&CView::onKeyDown, keyCode); }

int32_t CViewContainer::onKeyUp(VstKeyCode& keyCode) { return offerKey(&CView::onKeyUp, keyCode); }

int32_t CViewContainer::offerKey(int32_t (CView::*handler)(VstKeyCode&), VstKeyCode& keyCode) {
    for (Node* node = lastNode; node; node = node->previous) {
        const int32_t result = (node->view->*handler)(keyCode);
        if (result != -1)
            return result;
    }
    return -1;
}

bool CViewContainer::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis, float distance) {
    CView* child = getViewAt(where, false);
    if (!child)
        return false;
    ContextShift shift(context, size.left, size.top);
    return child->onWheelAxis(context, toLocal(where), axis, distance);
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    return onWheelAxis(context, where, 1, distance);
}

CView* CViewContainer::childAt(const CPoint& local) const {
    for (Node* node = lastNode; node; node = node->previous) {
        CRect area;
        if (node->view->getMouseArea(area).pointInside(local))
            return node->view;
    }
    return nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    if (!parentFrame)
        return nullptr;
    const CPoint local = toLocal(where);
    CView* child = childAt(local);
    if (child && deep && child->isTypeOf("CViewContainer"))
        return static_cast<CViewContainer*>(child)->getViewAt(local, true);
    return child;
}

CView* CViewContainer::getViewUnderMouse() {
    if (!parentFrame)
        return nullptr;
    CPoint where;
    parentFrame->getCursorLocation(where);
    return childAt(frameToLocal(where));
}

// ---------------------------------------------------------------- drag and drop

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame)
        return;
    ContextShift shift(context, size.left, size.top);
    const CPoint local = toLocal(where);
    if (dragView)
        dragView->onDragLeave(context, drag, local);
    dragView = getViewAt(where, false);
    if (dragView)
        dragView->onDragEnter(context, drag, local);
}

void CViewContainer::onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame)
        return;
    ContextShift shift(context, size.left, size.top);
    const CPoint local = toLocal(where);
    CView* under = getViewAt(where, false);
    if (under != dragView) {
        if (dragView)
            dragView->onDragLeave(context, drag, local);
        if (under)
            under->onDragEnter(context, drag, local);
        dragView = under;
    } else if (under) {
        under->onDragMove(context, drag, local);
    }
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame)
        return;
    ContextShift shift(context, size.left, size.top);
    const CPoint local = toLocal(where);
    if (dragView)
        dragView->onDragLeave(context, drag, local);
    dragView = nullptr;
}

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame)
        return false;
    ContextShift shift(context, size.left, size.top);
    const CPoint local = toLocal(where);
    CView* under = getViewAt(where, false);
    if (under != dragView) {
        if (dragView)
            dragView->onDragLeave(context, drag, local);
        dragView = under;
    }
    bool result = false;
    if (dragView) {
        result = dragView->onDrop(context, drag, local);
        dragView->onDragLeave(context, drag, local);
    }
    dragView = nullptr;
    return result;
}

// ---------------------------------------------------------------- focus

void CViewContainer::onFocusLost(CDrawContext* context) {
    for (Node* node = firstNode; node; node = node->next)
        node->view->onFocusLost(context);
}

void CViewContainer::onFocusTaken(CDrawContext* context) {
    for (Node* node = firstNode; node; node = node->next)
        node->view->onFocusTaken(context);
}

bool CViewContainer::moveFocus(CView* previousFocus, bool reverse) {
    bool passed = previousFocus == nullptr;
    for (Node* node = reverse ? lastNode : firstNode; node; node = reverse ? node->previous : node->next) {
        CView* child = node->view;
        if (!passed) {
            passed = child == previousFocus;
            continue;
        }
        if (child->wantsFocus()) {
            if (parentFrame)
                parentFrame->setFocusView(child);
            return true;
        }
        if (child->isTypeOf("CViewContainer") && static_cast<CViewContainer*>(child)->moveFocus(nullptr, reverse))
            return true;
    }
    return false;
}

}  // namespace VSTGUI
