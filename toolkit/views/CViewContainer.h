// A view that holds other views in insertion order: the first added lies
// underneath, the last added is hit first. Drawing, dirty tracking, the
// mouse, wheel, keys, drags and focus traversal travel down through it.
#pragma once

#include "toolkit/views/CView.h"
#include "toolkit/drawing/CColor.h"

namespace VSTGUI {

class COffscreenContext;

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis, float distance) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onFocusLost(CDrawContext* context) override;
    void onFocusTaken(CDrawContext* context) override;
    bool isDirty() const override;
    void setViewSize(const CRect& rect) override;
    bool onRemoved(CView* parent) override;
    bool onAttached(CView* parent) override;
    CPoint& frameToLocal(CPoint& point) const override;
    CPoint& localToFrame(CPoint& point) const override;
    int32_t notify(CView* sender, const char* message) override;
    void redrawRect(CDrawContext* context, const CRect& rect) override;
    bool isTypeOf(const char* className) const override;
    void update(CDrawContext* context) override;

    virtual void addView(CView* view, const CRect& mouseArea, bool mouseEnabled = true);
    virtual void addView(CView* view);
    virtual void removeView(CView* view, const bool& release = true);
    virtual void removeAll(const bool& release = true);
    virtual bool isChild(CView* view) const;
    virtual int32_t getViewCount() const;
    virtual CView* getView(int32_t index) const;
    virtual void setBackgroundColor(const CColor& color);
    virtual CColor getBackgroundColor() const;
    virtual void setBackgroundOffset(const CPoint& offset);
    virtual const CPoint& getBackgroundOffset() const;
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);
    virtual void setUpdateMode(int32_t mode);
    virtual int32_t getUpdateMode() const;
    virtual void setOffscreenDrawing(bool enabled);
    virtual CView* getViewUnderMouse();
    virtual CView* getViewAt(const CPoint& where, bool deep = false) const;
    virtual bool moveFocus(CView* previousFocus, bool reverse);

protected:
    struct Node {
        CView* view;
        Node* next;
        Node* previous;
    };

    CRect localBounds() const { return CRect(0, 0, size.width(), size.height()); }
    // A point of our parent's coordinate system in ours.
    CPoint toLocal(const CPoint& where) const { return CPoint(where.x - size.left, where.y - size.top); }
    // The last-added child whose mouse area holds the local point, edges included.
    CView* childAt(const CPoint& local) const;
    // Tells a child it has left us and drops our reference (and its creator's
    // on request).
    void detachChild(CView* view, bool release);
    // Offers a key to the children from the last added; the first answer
    // other than -1 is the result.
    int32_t offerKey(int32_t (CView::*handler)(VstKeyCode&), VstKeyCode& keyCode);

    // Steps of the partial and idle redraws.
    void makeOffscreen(const CPoint& origin = CPoint());
    CDrawContext* drawingTarget(CDrawContext* context);
    CRect childrenClip(const CRect& callerClip) const;
    void drawChildrenInRect(CDrawContext* target, const CRect& localUpdate, const CRect& clip);
    void redrawWhole(CDrawContext* context);
    void updateDirtyChildren(CDrawContext* context);

    Node* firstNode = nullptr;
    Node* lastNode = nullptr;
    int32_t updateMode = 1;
    COffscreenContext* offscreen = nullptr;
    CColor backgroundColor = kColorBlack;
    CPoint backgroundOffset;
    bool offscreenDrawing = true;
    CView* dragView = nullptr;
};

}  // namespace VSTGUI
