#include "toolkit/views/CFrame.h"

#include <cstring>
#include <new>

#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/Cursor.h"
#include "toolkit/platform/FrameWindow.h"
#include "toolkit/platform/SystemServices.h"
#include "toolkit/platform/WindowGeometry.h"

namespace VSTGUI {

namespace {

// Owns a context only when the caller had none to give.
class ContextOrOwn {
public:
    ContextOrOwn(CDrawContext* given, CFrame* frame)
        : context(given ? given : frame->createDrawContext()), owned(!given) {}
    ~ContextOrOwn() {
        if (owned && context)
            context->dropReference();
    }
    ContextOrOwn(const ContextOrOwn&) = delete;
    ContextOrOwn& operator=(const ContextOrOwn&) = delete;

    CDrawContext* get() const { return context; }

private:
    CDrawContext* context;
    bool owned;
};

}  // namespace

CFrame::CFrame(const CRect& size, WindowHandle hostWindow, CFrameOwner* editor, double scaleFactor)
    : CViewContainer(size), editor(editor), hostWindow(hostWindow), scaleFactor(clampScaleFactor(scaleFactor)) {
    parentFrame = this;
    // The drop target and the bitmaps may need the window system's help.
    threadResources = acquireThreadResources(SystemUser::frame);
    if (hostWindow)
        createWindow();
}

CFrame::~CFrame() {
    if (modalView)
        removeView(modalView, false);
    if (!defaultCursor)
        defaultCursor = getCurrentCursor();
    setCurrentCursor(defaultCursor);
    if (dropActive && window)
        setDropActive(false);
    releaseThreadResources(SystemUser::frame, threadResources);
    if (window)
        destroyFrameWindow(window);
    if (holdsWindowClass)
        releaseFrameWindowClass();
}

bool CFrame::createWindow() {
    registerFrameWindowClass();
    window = createFrameWindow(hostWindow, getDeviceWidth(), getDeviceHeight(), this);
    if (!window) {
        // Keeps the use count equal to the number of frame windows.
        releaseFrameWindowClass();
        return false;
    }
    holdsWindowClass = true;
    setDropActive(true);
    return true;
}

CDrawContext* CFrame::createDrawContext() { return new (std::nothrow) CDrawContext(this, window, nullptr); }

void CFrame::onWindowDestroyed() {
    // Our window dies with the host's: revoke the drop target while the
    // window still exists, or nothing would ever release it.
    if (dropActive && window)
        setDropActive(false);
    setOpenFlag(false);
    hostWindow = nullptr;
    // The handle is dead from here on and may be given to another window:
    // forget it. The class stays in use until the frame goes, when no
    // window of it is left to stop its release.
    window = nullptr;
}

void CFrame::draw(CDrawContext* context) {
    firstDraw = false;
    // A caller without a context gets one on our window, as a paint does.
    ContextOrOwn target(context, this);
    if (target.get())
        CViewContainer::draw(target.get());
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    firstDraw = false;
    ContextOrOwn target(context, this);
    CDrawContext* drawContext = target.get();
    if (!drawContext)
        return;
    CRect oldClip;
    drawContext->getClipRect(oldClip);
    CRect newClip(updateRect);
    newClip.bound(oldClip);
    drawContext->setClipRect(newClip);
    if (updateRect.width() > 0 && updateRect.height() > 0)
        CViewContainer::drawRect(drawContext, updateRect);
    drawContext->setClipRect(oldClip);
}

void CFrame::idle() {
    // Where the window system leaves events to us, this is where they come in;
    // a destroyed window closes the frame on the way.
    if (window)
        processPendingWindowEvents(window);
    if (!isOpen() || firstDraw || !isDirty())
        return;
    CDrawContext* context = createDrawContext();
    if (!context)
        return;
    update(context);
    context->dropReference();
}

void CFrame::update(CDrawContext* context) {
    if (!isOpen() || areUpdatesDisabled())
        return;
    // As in draw: a caller without a context gets one on our window.
    ContextOrOwn target(context, this);
    CDrawContext* drawContext = target.get();
    if (!drawContext)
        return;
    if (dirty) {
        draw(drawContext);
        setDirty(false);
        return;
    }
    CRect oldClip;
    drawContext->getClipRect(oldClip);
    if (modalView && modalView->isDirty())
        modalView->update(drawContext);
    for (Node* node = firstNode; node; node = node->next) {
        CRect childClip;
        node->view->getViewSize(childClip);
        childClip.bound(oldClip);
        drawContext->setClipRect(childClip);
        node->view->update(drawContext);
    }
    drawContext->setClipRect(oldClip);
}

void CFrame::onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) {
    // Any click ends keyboard focus.
    if (focusView)
        setFocusView(nullptr);
    if (buttons == -1 && context)
        buttons = context->getMouseButtons();
    if (!modalView) {
        CViewContainer::onMouseDown(context, where, buttons);
        return;
    }
    if (modalView->hitTest(where, buttons))
        modalView->onMouseDown(context, where, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
    if (focusView) {
        const int32_t result = focusView->onKeyDown(keyCode);
        if (result != -1)
            return result;
    }
    if (modalView) {
        const int32_t result = modalView->onKeyDown(keyCode);
        if (result != -1)
            return result;
    }
    if (keyCode.virt == VKEY_TAB)
        return moveFocus(focusView, (keyCode.modifier & MODIFIER_SHIFT) != 0) ? 1 : -1;
    return -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
    if (focusView) {
        const int32_t result = focusView->onKeyUp(keyCode);
        if (result != -1)
            return result;
    }
    if (modalView)
        return modalView->onKeyUp(keyCode);
    return -1;
}

bool CFrame::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis, float distance) {
    CView* target = modalView ? modalView : getViewAt(where, false);
    if (!target)
        return false;
    ContextOrOwn wheelContext(context, this);
    if (!wheelContext.get())
        return false;
    return target->onWheelAxis(wheelContext.get(), where, axis, distance);
}

CFrameOwner* CFrame::getEditor() const { return editor; }

bool CFrame::isTypeOf(const char* className) const {
    if (className && std::strcmp(className, "CFrame") == 0)
        return true;
    return CViewContainer::isTypeOf(className);
}

CView* CFrame::getViewUnderMouse() { return modalView ? modalView : CViewContainer::getViewUnderMouse(); }

bool CFrame::moveFocus(CView* previousFocus, bool reverse) {
    if (modalView)
        return false;
    if (!previousFocus) {
        previousFocus = focusView;
        if (!previousFocus)
            return CViewContainer::moveFocus(nullptr, reverse);
    }
    if (isChild(previousFocus)) {
        if (CViewContainer::moveFocus(previousFocus, reverse))
            return true;
        setFocusView(nullptr);
        return false;
    }
    // A nested focus view: let each enclosing container try the views after
    // it before the frame's own children are walked.
    CView* current = previousFocus;
    CView* parent = current->getParentView();
    while (parent && parent->isTypeOf("CViewContainer")) {
        if (static_cast<CViewContainer*>(parent)->moveFocus(current, reverse))
            return true;
        current = parent;
        parent = current->getParentView();
    }
    return CViewContainer::moveFocus(previousFocus, reverse);
}

bool CFrame::openSeparateWindow(const CPoint& /*where*/) { return false; }

bool CFrame::closeSeparateWindow() { return false; }

bool CFrame::getOpenFlag() const { return openFlag; }

void CFrame::runEditorIdle() {
    if (editor)
        editor->pumpIdle();
}

uint32_t CFrame::getTicks() const { return editor ? tickCount() : 0; }

int32_t CFrame::getKnobMode() const { return editor ? editor->knobModeForFrame() : 0; }

bool CFrame::setModalView(CView* view) {
    if (view && modalView)
        return false;
    if (modalView)
        removeView(modalView, false);
    modalView = view;
    if (view)
        addView(view);
    return true;
}

CView* CFrame::getModalView() const { return modalView; }

void CFrame::beginEdit(int32_t index) {
    if (editor)
        editor->beginEdit(index);
}

void CFrame::endEdit(int32_t index) {
    if (editor)
        editor->endEdit(index);
}

bool CFrame::getCursorLocation(CPoint& where) const {
    where = getCursorScreenPosition();
    if (window) {
        const CRect windowRect = windowScreenRect(window);
        where = deviceToLocal(CPoint(where.x - windowRect.left, where.y - windowRect.top));
    }
    return true;
}

void CFrame::setCursor(int32_t type) {
    if (!defaultCursor)
        defaultCursor = getCurrentCursor();
    // Type 7, the default cursor, and unknown types name no system cursor.
    if (!setSystemCursorForType(type))
        setCurrentCursor(defaultCursor);
}

void CFrame::setFocusView(CView* view) {
    CView* oldFocus = focusView;
    focusView = view;
    if (view && view->wantsFocus())
        view->setDirty(true);
    if (oldFocus) {
        oldFocus->onFocusLost(nullptr);
        if (oldFocus->wantsFocus())
            oldFocus->setDirty(true);
    }
}

CView* CFrame::getFocusView() const { return focusView; }

bool CFrame::isDropActive() const { return dropActive; }

void CFrame::setOpenFlag(bool open) { openFlag = open; }

bool CFrame::isOpen() const { return openFlag; }

void CFrame::invalidate(const CRect& rect) {
    for (Node* node = firstNode; node; node = node->next) {
        CRect childSize;
        node->view->getViewSize(childSize);
        if (childSize.overlaps(rect))
            node->view->setDirty(true);
    }
}

bool CFrame::setUpdatesDisabled(bool disabled) {
    const bool previous = updatesDisabled;
    updatesDisabled = disabled;
    return previous;
}

bool CFrame::areUpdatesDisabled() const { return updatesDisabled; }

void CFrame::drawView(CView* view) {
    if (view && !isChild(view))
        view = nullptr;
    CDrawContext* context = createDrawContext();
    if (!context)
        return;
    if (view)
        view->draw(context);
    else
        draw(context);
    context->dropReference();
}

}  // namespace VSTGUI
