// The base of every element of the editor's retained view tree.
#pragma once

#include "toolkit/geometry/CRect.h"
#include "toolkit/geometry/CReferenceCounter.h"
#include "framework/VstInterface.h"

namespace VSTGUI {

class CFrameOwner;

class CBitmap;
class CDrawContext;
class CDragContainer;
class CFrame;

// The toolkit's one message; receivers compare its address, not its text.
extern const char* const kMsgCheckIfViewContainer;

class CView : public CReferenceCounter {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    virtual bool isInUpdateRect(const CRect& rect) const;
    virtual void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons = -1);
    virtual void setBackground(CBitmap* bitmap);
    virtual CBitmap* getBackground() const;
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);
    virtual bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis, float distance);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance);
    virtual bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onFocusLost(CDrawContext* context);
    virtual void onFocusTaken(CDrawContext* context);
    virtual bool isDirty() const;
    virtual void setDirty(bool dirty = true);
    virtual void setMouseEnabled(bool enabled = true);
    virtual bool isMouseEnabled() const;
    virtual void setMouseArea(const CRect& area);
    virtual CRect& getMouseArea(CRect& area) const;
    virtual bool hitTest(const CPoint& where, int32_t buttons = -1);
    virtual void setTransparent(bool transparent);
    virtual bool isTransparent() const;
    virtual void setViewSize(const CRect& rect);
    virtual CRect& getViewSize(CRect& rect) const;
    virtual bool onRemoved(CView* parent);
    virtual bool onAttached(CView* parent);
    virtual void getMouseLocation(CDrawContext* context, CPoint& point);
    virtual CPoint& frameToLocal(CPoint& point) const;
    virtual CPoint& localToFrame(CPoint& point) const;
    virtual CFrameOwner* getEditor() const;
    virtual int32_t notify(CView* sender, const char* message);
    virtual void redrawRect(CDrawContext* context, const CRect& rect);
    virtual bool wantsFocus() const;
    virtual void setWantsFocus(bool wants);
    virtual bool isTypeOf(const char* className) const;
    virtual void update(CDrawContext* context);

    // Back-pointers set by the container that adopts the view; no reference.
    void setParentFrame(CFrame* frame) { parentFrame = frame; }
    CFrame* getParentFrame() const { return parentFrame; }
    void setParentView(CView* view) { parentView = view; }
    CView* getParentView() const { return parentView; }
    const CRect& getSize() const { return size; }

protected:
    // Moves a context's screen origin and offset by a container's position
    // while a call runs inside that container, then puts both back exactly.
    // A null context is left alone.
    class ContextShift {
    public:
        ContextShift(CDrawContext* context, int32_t dx, int32_t dy);
        ~ContextShift();
        ContextShift(const ContextShift&) = delete;
        ContextShift& operator=(const ContextShift&) = delete;

    private:
        CDrawContext* context;
        CPoint savedOrigin;
        CPoint savedOffset;
    };

    CRect size;
    CRect mouseArea;
    CFrame* parentFrame = nullptr;
    CView* parentView = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparent = false;
    bool focusWanted = false;
    CBitmap* background = nullptr;
};

}  // namespace VSTGUI
