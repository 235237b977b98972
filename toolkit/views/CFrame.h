// The root of the view tree and its bridge to the host's window: paints,
// redraws dirty views at idle, owns the modal and focus views, routes the
// mouse, keys and wheel, and answers the controls' questions. Its views are
// laid out in toolkit units; its window is that size times the scale factor.
#pragma once

#include "toolkit/geometry/Scaling.h"
#include "toolkit/views/CFrameOwner.h"
#include "toolkit/views/CViewContainer.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

class CDropTarget;

class CFrame : public CViewContainer {
public:
    CFrame(const CRect& size, WindowHandle hostWindow, CFrameOwner* editor, double scaleFactor = 1.0);
    ~CFrame() override;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis, float distance) override;
    void setViewSize(const CRect& rect) override;
    CFrameOwner* getEditor() const override;
    bool isTypeOf(const char* className) const override;
    void update(CDrawContext* context) override;
    CView* getViewUnderMouse() override;
    bool moveFocus(CView* previousFocus, bool reverse) override;

    virtual bool openSeparateWindow(const CPoint& where);
    virtual bool closeSeparateWindow();
    virtual bool getOpenFlag() const;
    virtual void idle();
    virtual void runEditorIdle();
    virtual uint32_t getTicks() const;
    virtual int32_t getKnobMode() const;
    virtual bool setPosition(int32_t x, int32_t y);
    virtual bool getPosition(int32_t& x, int32_t& y) const;
    virtual bool setSize(int32_t width, int32_t height);
    virtual bool getSize(CRect* rect) const;
    virtual bool getSize(CRect& rect) const;
    virtual bool setModalView(CView* view);
    virtual CView* getModalView() const;
    virtual void beginEdit(int32_t index);
    virtual void endEdit(int32_t index);
    virtual bool getCursorLocation(CPoint& where) const;
    virtual void setCursor(int32_t type);
    virtual void setFocusView(CView* view);
    virtual CView* getFocusView() const;
    virtual bool setDropActive(bool active);
    virtual bool isDropActive() const;
    virtual void setOpenFlag(bool open);
    virtual bool isOpen() const;
    virtual void invalidate(const CRect& rect);
    virtual bool setUpdatesDisabled(bool disabled);
    virtual bool areUpdatesDisabled() const;
    virtual void drawView(CView* view);

    // A new context on the frame's window; the caller drops its reference.
    CDrawContext* createDrawContext();
    // Device pixels per toolkit unit, clamped to 1..3.
    double getScaleFactor() const { return scaleFactor; }
    // Resizes the window (through the host where it can) and redraws
    // everything at the next idle.
    void setScaleFactor(double factor);
    // The window's size in device pixels.
    int32_t getDeviceWidth() const { return scaleCoordinate(size.width(), scaleFactor); }
    int32_t getDeviceHeight() const { return scaleCoordinate(size.height(), scaleFactor); }
    // A point or area of the window's device pixels in toolkit units.
    CPoint deviceToLocal(const CPoint& device) const { return unscalePoint(device, scaleFactor); }
    CRect deviceToLocal(const CRect& device) const { return unscaleRectOutward(device, scaleFactor); }
    // The window system reports a new display scale around the window.
    void systemScaleChanged();
    WindowHandle getSystemWindow() const { return window; }
    WindowHandle getHostWindow() const { return hostWindow; }
    // The window procedure calls this when the host destroyed our window.
    void onWindowDestroyed();

private:
    bool createWindow();
    // Gives the window the frame's device size, through the host where it
    // can; true when the host did it or a host window stopped the walk.
    bool resizeWindows();

    CFrameOwner* editor;
    WindowHandle hostWindow;
    double scaleFactor;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    bool firstDraw = true;
    bool openFlag = true;
    bool dropActive = false;
    bool updatesDisabled = false;
    WindowHandle window = nullptr;
    bool holdsWindowClass = false;  // one use of the shared window class
    ThreadResources threadResources = nullptr;
    CDropTarget* dropTarget = nullptr;
    CursorHandle defaultCursor = nullptr;
};

}  // namespace VSTGUI
