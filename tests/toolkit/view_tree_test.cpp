// The view tree: hit and overlap edges, drawing order and dirty tracking,
// partial and idle redraws, mouse, key, wheel and drag routing, focus
// traversal, mouse location, reference counts and the offscreen lifecycle.
// Drawing is checked by reading pixels back from a stub canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "toolkit/views/CFrame.h"
#include "toolkit/views/CView.h"
#include "toolkit/views/CViewContainer.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/drawing/COffscreenContext.h"
#include "toolkit/platform/Cursor.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/native/VirtualSlots.h"
#include "tests/toolkit/support/StubCanvas.h"

using namespace VSTGUI;
using quavixtest::CanvasContext;
using quavixtest::kDestructorSlots;
using quavixtest::kWhite;
using quavixtest::rgb;
using quavixtest::slotOf;
using quavixtest::slotsOf;

static bool nothrowNewFails = false;

// The toolkit's allocations that may fail go through here, so a test can
// make them fail where they really are made.
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    if (nothrowNewFails)
        return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

// ------------------------------------------------------------------ helpers

std::string text(const CRect& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
    return out.str();
}

std::string text(const CPoint& p) {
    std::ostringstream out;
    out << "(" << p.x << "," << p.y << ")";
    return out.str();
}

// One shared log, so that the order of calls across views shows.
struct CallLog {
    std::vector<std::string> calls;

    void add(const std::string& call) { calls.push_back(call); }
    bool has(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
    // Calls that contain the fragment, in order.
    std::vector<std::string> with(const std::string& fragment) const {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.find(fragment) != std::string::npos)
                found.push_back(call);
        return found;
    }
    void clear() { calls.clear(); }
};

using Calls = std::vector<std::string>;

// A view that logs what the tree asks of it, answers as configured, paints
// its size in a colour when it has one, and counts its destruction.
class RecordingView : public CView {
public:
    RecordingView(const std::string& name, const CRect& size, CallLog& log, int* destroyed = nullptr)
        : CView(size), name(name), log(log), destroyed(destroyed) {}
    ~RecordingView() override {
        if (destroyed)
            ++*destroyed;
    }

    void draw(CDrawContext* context) override {
        log.add(name + ".draw");
        if (painted && context) {
            context->setFillColor(color);
            context->fillRect(size);
        }
        CView::draw(context);
    }
    void drawRect(CDrawContext* context, const CRect& updateRect) override {
        log.add(name + ".drawRect" + text(updateRect));
        CView::drawRect(context, updateRect);
    }
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override {
        noteContext(context);
        log.add(name + ".mouse" + text(where) + " " + std::to_string(buttons));
    }
    int32_t onKeyDown(VstKeyCode& /*key*/) override {
        log.add(name + ".keyDown");
        return keyAnswer;
    }
    int32_t onKeyUp(VstKeyCode& /*key*/) override {
        log.add(name + ".keyUp");
        return keyAnswer;
    }
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override {
        noteContext(context);
        std::ostringstream out;
        out << name << ".wheel" << text(where) << " " << distance;
        log.add(out.str());
        return wheelAnswer;
    }
    bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) override {
        noteDrag(context, drag);
        log.add(name + ".drop" + text(where));
        return true;
    }
    void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) override {
        noteDrag(context, drag);
        log.add(name + ".enter" + text(where));
    }
    void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) override {
        noteDrag(context, drag);
        log.add(name + ".leave" + text(where));
    }
    void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) override {
        noteDrag(context, drag);
        log.add(name + ".move" + text(where));
    }
    void onFocusLost(CDrawContext* /*context*/) override { log.add(name + ".focusLost"); }
    void onFocusTaken(CDrawContext* /*context*/) override { log.add(name + ".focusTaken"); }
    bool onAttached(CView* parent) override {
        attachedTo = parent;
        dirtyWhenAttached = isDirty();
        log.add(name + ".attached");
        return CView::onAttached(parent);
    }
    bool onRemoved(CView* parent) override {
        removedFrom = parent;
        log.add(name + ".removed");
        return CView::onRemoved(parent);
    }

    void paint(const CColor& fill) {
        painted = true;
        color = fill;
    }

    std::string name;
    CallLog& log;
    int* destroyed;
    int32_t keyAnswer = -1;
    bool wheelAnswer = false;
    bool painted = false;
    CColor color = kColorBlack;
    CView* attachedTo = nullptr;
    CView* removedFrom = nullptr;
    bool dirtyWhenAttached = true;
    CPoint offsetDuringCall{-999, -999};
    CPoint originDuringCall{-999, -999};
    CDragContainer* lastDrag = nullptr;

protected:
    void noteContext(CDrawContext* context) {
        if (!context)
            return;
        offsetDuringCall = context->offset;
        originDuringCall = context->screenOrigin;
    }

private:
    void noteDrag(CDrawContext* context, CDragContainer* drag) {
        noteContext(context);
        lastDrag = drag;
    }
};

// A view that handles the wheel with its axis.
class AxisView : public RecordingView {
public:
    using RecordingView::RecordingView;
    bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis, float distance) override {
        noteContext(context);
        std::ostringstream out;
        out << name << ".axis" << axis << text(where) << " " << distance;
        log.add(out.str());
        return true;
    }
};

// A container that logs its redraw entry points and exposes its internals.
class RecordingContainer : public CViewContainer {
public:
    RecordingContainer(const std::string& name, const CRect& size, CallLog& log, int* destroyed = nullptr)
        : CViewContainer(size), name(name), log(log), destroyed(destroyed) {}
    ~RecordingContainer() override {
        if (destroyed)
            ++*destroyed;
    }

    void draw(CDrawContext* context) override {
        log.add(name + ".draw");
        CViewContainer::draw(context);
    }
    void drawRect(CDrawContext* context, const CRect& updateRect) override {
        if (context)
            offsetDuringDrawRect = context->offset;
        log.add(name + ".drawRect" + text(updateRect));
        CViewContainer::drawRect(context, updateRect);
    }
    void redrawRect(CDrawContext* context, const CRect& rect) override {
        log.add(name + ".redrawRect" + text(rect));
        if (!swallowRedraw)
            CViewContainer::redrawRect(context, rect);
    }
    void update(CDrawContext* context) override {
        log.add(name + ".update");
        CViewContainer::update(context);
    }

    COffscreenContext* offscreenContext() const { return offscreen; }
    CView* currentDragView() const { return dragView; }
    bool ownDirtyFlag() const { return dirty; }

    std::string name;
    CallLog& log;
    int* destroyed;
    bool swallowRedraw = false;
    CPoint offsetDuringDrawRect{-999, -999};
};

// A bitmap that logs how views draw it. Loading happens in the base, from
// the test program's own resources.
class RecordingBitmap : public CBitmap {
public:
    RecordingBitmap(int32_t resourceId, CallLog& log, int* destroyed = nullptr)
        : CBitmap(resourceId), log(log), destroyed(destroyed) {}
    ~RecordingBitmap() override {
        if (destroyed)
            ++*destroyed;
    }
    void draw(CDrawContext* context, const CRect& rect, const CPoint& source) override {
        note(context);
        log.add("bitmap.draw" + text(rect) + text(source));
    }
    void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& source) override {
        note(context);
        log.add("bitmap.drawTransparent" + text(rect) + text(source));
    }

    CallLog& log;
    int* destroyed;
    CRect clipDuringDraw;

private:
    void note(CDrawContext* context) {
        if (context)
            context->getClipRect(clipDuringDraw);
    }
};

// While it lives, every allocation that is allowed to fail does, as when
// memory has run out.
struct MemoryExhausted {
    MemoryExhausted() { nothrowNewFails = true; }
    ~MemoryExhausted() { nothrowNewFails = false; }
};

// A frame without a window: enough for the operations that need one above
// them (focus, wheel and drag routing, view lookup).
struct WindowlessFrame {
    WindowlessFrame() : frame(new CFrame(CRect(0, 0, 400, 300), nullptr, nullptr)) {}
    ~WindowlessFrame() { delete frame; }
    CFrame* frame;
};

// A context without a device: routing code reads and shifts its origins.
struct BareContext {
    BareContext() : context(new CDrawContext(nullptr, nullptr, nullptr)) {}
    ~BareContext() { context->dropReference(); }
    CDrawContext* operator->() const { return context; }
    operator CDrawContext*() const { return context; }
    CDrawContext* context;
};

constexpr CColor kColorOrange = {255, 128, 0, 255};

VstKeyCode tabKey() {
    VstKeyCode key;
    key.character = 0;
    key.virt = VKEY_TAB;
    key.modifier = 0;
    return key;
}

// Moves the pointer and answers where it ended up.
CPoint placeCursor(int x, int y) {
    stub::placePointer(CPoint(x, y));
    return getCursorScreenPosition();
}

// What most tests here share: one call log for all their views, and a
// context without a device for the operations that take one.
class ViewTreeTest : public ::testing::Test {
protected:
    CallLog log;
    BareContext context;
};

}  // namespace

using ViewGeometry = ViewTreeTest;
using ViewClassName = ViewTreeTest;
using ViewMessages = ViewTreeTest;
using ViewDrawing = ViewTreeTest;
using ViewBackground = ViewTreeTest;
using ViewUpdate = ViewTreeTest;
using ViewRedraw = ViewTreeTest;
using ViewWheel = ViewTreeTest;
using ViewDefaults = ViewTreeTest;
using MouseLocation = ViewTreeTest;
using ContainerChildren = ViewTreeTest;
using ContainerReferences = ViewTreeTest;
using ContainerDrawing = ViewTreeTest;
using ContainerRedraw = ViewTreeTest;
using ContainerMouse = ViewTreeTest;
using ContainerWheel = ViewTreeTest;
using ContainerDrag = ViewTreeTest;
using ContainerOffscreen = ViewTreeTest;

// ------------------------------------------------------------------ operation order

TEST(VirtualOperations, EachFamilyKeepsItsBasesOrderAndAppendsItsOwn) {
    using Container = CViewContainer;
    using quavixtest::expectConsecutive;
    // The destructor's two entries come first, then the counter's operations.
    const std::vector<std::ptrdiff_t> view =
        slotsOf(&CView::dropReference, &CView::addReference, &CView::draw, &CView::drawRect, &CView::isInUpdateRect,
                &CView::onMouseDown, &CView::setBackground, &CView::getBackground, &CView::onKeyDown, &CView::onKeyUp,
                &CView::onWheelAxis, &CView::onWheel, &CView::onDrop, &CView::onDragEnter, &CView::onDragLeave,
                &CView::onDragMove, &CView::onFocusLost, &CView::onFocusTaken, &CView::isDirty, &CView::setDirty,
                &CView::setMouseEnabled, &CView::isMouseEnabled, &CView::setMouseArea, &CView::getMouseArea,
                &CView::hitTest, &CView::setTransparent, &CView::isTransparent, &CView::setViewSize,
                &CView::getViewSize, &CView::onRemoved, &CView::onAttached, &CView::getMouseLocation,
                &CView::frameToLocal, &CView::localToFrame, &CView::getEditor, &CView::notify, &CView::redrawRect,
                &CView::wantsFocus, &CView::setWantsFocus, &CView::isTypeOf, &CView::update);
    expectConsecutive(view, kDestructorSlots, "CView");
    expectConsecutive(
        slotsOf(static_cast<void (Container::*)(CView*, const CRect&, bool)>(&Container::addView),
                static_cast<void (Container::*)(CView*)>(&Container::addView), &Container::removeView,
                &Container::removeAll, &Container::isChild, &Container::getViewCount, &Container::getView,
                &Container::setBackgroundColor, &Container::getBackgroundColor, &Container::setBackgroundOffset,
                &Container::getBackgroundOffset, &Container::drawBackgroundRect, &Container::setUpdateMode,
                &Container::getUpdateMode, &Container::setOffscreenDrawing, &Container::getViewUnderMouse,
                &Container::getViewAt, &Container::moveFocus),
        view.back() + 1, "CViewContainer");
    expectConsecutive(
        slotsOf(&CFrame::openSeparateWindow, &CFrame::closeSeparateWindow, &CFrame::getOpenFlag, &CFrame::idle,
                &CFrame::runEditorIdle, &CFrame::getTicks, &CFrame::getKnobMode, &CFrame::setPosition,
                &CFrame::getPosition, &CFrame::setSize, static_cast<bool (CFrame::*)(CRect*) const>(&CFrame::getSize),
                static_cast<bool (CFrame::*)(CRect&) const>(&CFrame::getSize), &CFrame::setModalView,
                &CFrame::getModalView, &CFrame::beginEdit, &CFrame::endEdit, &CFrame::getCursorLocation,
                &CFrame::setCursor, &CFrame::setFocusView, &CFrame::getFocusView, &CFrame::setDropActive,
                &CFrame::isDropActive, &CFrame::setOpenFlag, &CFrame::isOpen, &CFrame::invalidate,
                &CFrame::setUpdatesDisabled, &CFrame::areUpdatesDisabled, &CFrame::drawView),
        slotOf(&Container::moveFocus) + 1, "CFrame");
    // Overrides take their base's slot rather than a new one.
    EXPECT_EQ(slotOf(&Container::update), slotOf(&CView::update));
    EXPECT_EQ(slotOf(&CFrame::setViewSize), slotOf(&CView::setViewSize));
    EXPECT_EQ(slotOf(&CFrame::getViewUnderMouse), slotOf(&Container::getViewUnderMouse));
    EXPECT_EQ(slotOf(&CFrame::moveFocus), slotOf(&Container::moveFocus));
}

// ------------------------------------------------------------------ single views

TEST_F(ViewGeometry, HitTestIncludesTheRightAndBottomEdgesOfTheMouseArea) {
    RecordingView* view = new RecordingView("v", CRect(10, 20, 30, 40), log);
    EXPECT_TRUE(view->hitTest(CPoint(10, 20)));
    EXPECT_TRUE(view->hitTest(CPoint(30, 40)));
    EXPECT_FALSE(view->hitTest(CPoint(31, 40)));
    EXPECT_FALSE(view->hitTest(CPoint(30, 41)));
    EXPECT_FALSE(view->hitTest(CPoint(9, 25)));
    EXPECT_FALSE(view->hitTest(CPoint(15, 19)));
    view->dropReference();
}

TEST_F(ViewGeometry, UpdateRectanglesThatOnlyTouchTheViewCount) {
    RecordingView* view = new RecordingView("v", CRect(10, 20, 30, 40), log);
    EXPECT_TRUE(view->isInUpdateRect(CRect(0, 0, 10, 20)));    // touches the top-left corner
    EXPECT_TRUE(view->isInUpdateRect(CRect(30, 40, 50, 50)));  // touches the bottom-right corner
    EXPECT_TRUE(view->isInUpdateRect(CRect(0, 25, 10, 26)));   // right edge on the view's left
    EXPECT_FALSE(view->isInUpdateRect(CRect(0, 25, 9, 26)));
    EXPECT_FALSE(view->isInUpdateRect(CRect(31, 25, 40, 26)));
    EXPECT_FALSE(view->isInUpdateRect(CRect(15, 0, 16, 19)));
    EXPECT_FALSE(view->isInUpdateRect(CRect(15, 41, 16, 50)));
    view->dropReference();
}

TEST_F(ViewGeometry, SetViewSizeKeepsTheOldMouseAreaAndMarksDirty) {
    RecordingView* view = new RecordingView("v", CRect(0, 0, 10, 10), log);
    EXPECT_FALSE(view->isDirty());
    view->setViewSize(CRect(100, 100, 110, 110));
    CRect size;
    EXPECT_EQ(view->getViewSize(size), CRect(100, 100, 110, 110));
    CRect area;
    EXPECT_EQ(view->getMouseArea(area), CRect(0, 0, 10, 10));
    EXPECT_TRUE(view->isDirty());
    EXPECT_TRUE(view->hitTest(CPoint(5, 5)));
    EXPECT_FALSE(view->hitTest(CPoint(105, 105)));
    view->dropReference();
}

TEST_F(ViewClassName, WholeNameCaseSensitiveOwnNameThenBases) {
    RecordingView* view = new RecordingView("v", CRect(), log);
    CViewContainer* container = new CViewContainer(CRect());
    EXPECT_TRUE(view->isTypeOf("CView"));
    EXPECT_FALSE(view->isTypeOf("CViewContainer"));
    EXPECT_FALSE(view->isTypeOf("cview"));
    EXPECT_FALSE(view->isTypeOf("CVie"));
    EXPECT_FALSE(view->isTypeOf("CViews"));
    EXPECT_FALSE(view->isTypeOf(""));
    EXPECT_FALSE(view->isTypeOf(nullptr));
    EXPECT_TRUE(container->isTypeOf("CViewContainer"));
    EXPECT_TRUE(container->isTypeOf("CView"));
    EXPECT_FALSE(container->isTypeOf("CFrame"));
    EXPECT_FALSE(container->isTypeOf("CViewcontainer"));
    EXPECT_FALSE(container->isTypeOf(nullptr));
    container->dropReference();
    view->dropReference();
}

TEST_F(ViewMessages, ContainersAnswerOnlyTheSharedConstantByAddress) {
    EXPECT_STREQ(kMsgCheckIfViewContainer, "kMsgCheckIfViewContainer");
    char sameText[] = "kMsgCheckIfViewContainer";
    RecordingView* view = new RecordingView("v", CRect(), log);
    CViewContainer* container = new CViewContainer(CRect());
    EXPECT_EQ(container->notify(view, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(container->notify(nullptr, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(container->notify(view, sameText), 0);
    EXPECT_EQ(container->notify(view, "another message"), 0);
    EXPECT_EQ(container->notify(view, nullptr), 0);
    EXPECT_EQ(view->notify(container, kMsgCheckIfViewContainer), 0);
    container->dropReference();
    view->dropReference();
}

TEST_F(ViewDrawing, DrawWithoutBackgroundStillClearsDirty) {
    CView* view = new CView(CRect(0, 0, 10, 10));
    view->setDirty(true);
    view->draw(context);
    EXPECT_FALSE(view->isDirty());
    view->setDirty(true);
    view->drawRect(context, CRect(0, 0, 1, 1));
    EXPECT_FALSE(view->isDirty());
    view->dropReference();
}

TEST_F(ViewDrawing, BackgroundIsDrawnIntoTheSizeOpaqueOrTransparent) {
    RecordingBitmap* bitmap = new RecordingBitmap(31999, log);
    CView* view = new CView(CRect(5, 6, 25, 36));
    view->setBackground(bitmap);
    view->draw(context);
    view->setTransparent(true);
    view->draw(context);
    EXPECT_EQ(log.calls, (Calls{"bitmap.draw(5,6,25,36)(0,0)", "bitmap.drawTransparent(5,6,25,36)(0,0)"}));
    EXPECT_FALSE(view->isDirty());
    view->dropReference();
    bitmap->dropReference();
}

TEST_F(ViewBackground, SettingTheSameBitmapAgainKeepsItAliveAndMarksDirty) {
    int bitmapsDestroyed = 0;
    RecordingBitmap* bitmap = new RecordingBitmap(31999, log, &bitmapsDestroyed);
    CView* view = new CView(CRect(0, 0, 10, 10));
    view->setBackground(bitmap);
    EXPECT_EQ(bitmap->getNbReference(), 2);
    bitmap->dropReference();  // the view holds the only reference now
    view->setDirty(false);

    view->setBackground(bitmap);
    EXPECT_EQ(bitmapsDestroyed, 0);
    EXPECT_EQ(bitmap->getNbReference(), 1);
    EXPECT_EQ(view->getBackground(), bitmap);
    EXPECT_TRUE(view->isDirty());

    view->setBackground(nullptr);
    EXPECT_EQ(bitmapsDestroyed, 1);
    EXPECT_EQ(view->getBackground(), nullptr);
    view->dropReference();
    EXPECT_EQ(bitmapsDestroyed, 1);
}

TEST_F(ViewBackground, ReplacingAndDestroyingDropTheViewsReferences) {
    int firstDestroyed = 0;
    int secondDestroyed = 0;
    RecordingBitmap* first = new RecordingBitmap(31999, log, &firstDestroyed);
    RecordingBitmap* second = new RecordingBitmap(31999, log, &secondDestroyed);
    CView* view = new CView(CRect(0, 0, 10, 10));
    view->setBackground(first);
    view->setBackground(second);
    EXPECT_EQ(first->getNbReference(), 1);
    EXPECT_EQ(second->getNbReference(), 2);
    view->dropReference();
    EXPECT_EQ(second->getNbReference(), 1);
    first->dropReference();
    second->dropReference();
    EXPECT_EQ(firstDestroyed, 1);
    EXPECT_EQ(secondDestroyed, 1);
}

TEST_F(ViewUpdate, CleanViewDrawsNothingAndCallsNothing) {
    RecordingContainer* parent = new RecordingContainer("P", CRect(0, 0, 100, 100), log);
    parent->swallowRedraw = true;
    RecordingView* view = new RecordingView("v", CRect(10, 10, 20, 20), log);
    parent->addView(view);
    view->setDirty(false);
    log.clear();

    view->update(context);
    EXPECT_TRUE(log.calls.empty());

    view->setDirty(true);
    view->update(context);
    EXPECT_EQ(log.calls, (Calls{"P.redrawRect(10,10,20,20)"}));
    EXPECT_FALSE(view->isDirty());
    parent->dropReference();
}

TEST_F(ViewRedraw, RequestsClimbToTheParentOrStopWithoutOne) {
    RecordingContainer* parent = new RecordingContainer("P", CRect(0, 0, 100, 100), log);
    parent->swallowRedraw = true;
    RecordingView* view = new RecordingView("v", CRect(10, 10, 20, 20), log);
    parent->addView(view);
    log.clear();
    view->redrawRect(context, CRect(1, 2, 3, 4));
    EXPECT_EQ(log.calls, (Calls{"P.redrawRect(1,2,3,4)"}));
    parent->dropReference();

    RecordingView* orphan = new RecordingView("o", CRect(0, 0, 5, 5), log);
    log.clear();
    orphan->redrawRect(context, CRect(0, 0, 5, 5));
    orphan->setDirty(true);
    orphan->update(nullptr);
    EXPECT_TRUE(log.with(".draw").empty());
    orphan->dropReference();
}

TEST_F(ViewWheel, AxisReachesAViewThatOnlyHandlesTheWheel) {
    RecordingView* view = new RecordingView("v", CRect(0, 0, 10, 10), log);
    view->wheelAnswer = true;
    EXPECT_TRUE(view->onWheelAxis(context, CPoint(3, 4), 0, 2.0f));
    EXPECT_TRUE(view->onWheelAxis(context, CPoint(3, 4), 7, -1.0f));
    EXPECT_EQ(log.calls, (Calls{"v.wheel(3,4) 2", "v.wheel(3,4) -1"}));
    view->wheelAnswer = false;
    EXPECT_FALSE(view->onWheelAxis(context, CPoint(3, 4), 1, 1.0f));
    view->dropReference();
}

TEST_F(ViewDefaults, BaseViewAnswersNotHandled) {
    CView* view = new CView(CRect(0, 0, 10, 10));
    VstKeyCode key = tabKey();
    EXPECT_EQ(view->onKeyDown(key), -1);
    EXPECT_EQ(view->onKeyUp(key), -1);
    EXPECT_FALSE(view->onWheel(context, CPoint(1, 1), 1.0f));
    EXPECT_FALSE(view->onDrop(context, nullptr, CPoint(1, 1)));
    EXPECT_EQ(view->getEditor(), nullptr);
    EXPECT_TRUE(view->isMouseEnabled());
    EXPECT_FALSE(view->isTransparent());
    EXPECT_FALSE(view->wantsFocus());
    view->dropReference();
}

// ------------------------------------------------------------------ mouse location

TEST_F(MouseLocation, NestedViewGetsTheCursorInItsOwnCoordinatesAndTheContextIsRestored) {
    CViewContainer* outer = new CViewContainer(CRect(30, 40, 330, 340));
    CViewContainer* inner = new CViewContainer(CRect(5, 6, 205, 206));
    RecordingView* view = new RecordingView("v", CRect(10, 10, 20, 20), log);
    outer->addView(inner);
    inner->addView(view);

    context->screenOrigin = CPoint(100, 200);
    context->offset = CPoint(7, 9);
    const CPoint cursor = placeCursor(321, 432);
    CPoint where(-1, -1);
    view->getMouseLocation(context, where);

    EXPECT_EQ(where, CPoint(cursor.x - 100 - 30 - 5, cursor.y - 200 - 40 - 6));
    EXPECT_EQ(context->screenOrigin, CPoint(100, 200));
    EXPECT_EQ(context->offset, CPoint(7, 9));
    outer->dropReference();
}

TEST_F(MouseLocation, NullContextLeavesThePointAlone) {
    RecordingView* view = new RecordingView("v", CRect(10, 10, 20, 20), log);
    CPoint where(12, 34);
    view->getMouseLocation(nullptr, where);
    EXPECT_EQ(where, CPoint(12, 34));
    view->dropReference();
}

// ------------------------------------------------------------------ children and references

TEST_F(ContainerChildren, AddViewSetsParentsAttachesThenMarksDirtyAndTakesAReference) {
    WindowlessFrame tree;
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    tree.frame->addView(container);
    RecordingView* view = new RecordingView("v", CRect(1, 1, 5, 5), log);
    container->addView(view);

    EXPECT_EQ(view->getParentView(), container);
    EXPECT_EQ(view->getParentFrame(), tree.frame);
    EXPECT_EQ(view->attachedTo, container);
    EXPECT_FALSE(view->dirtyWhenAttached);
    EXPECT_TRUE(view->isDirty());
    EXPECT_EQ(view->getNbReference(), 2);
    EXPECT_EQ(container->getViewCount(), 1);
    EXPECT_TRUE(container->isChild(view));
    EXPECT_FALSE(tree.frame->isChild(view));
}

TEST_F(ContainerChildren, AddViewWithMouseAreaSetsBothFlagsAndNullIsIgnored) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    RecordingView* view = new RecordingView("v", CRect(0, 0, 50, 50), log);
    container->addView(view, CRect(2, 3, 4, 5), false);
    CRect area;
    EXPECT_EQ(view->getMouseArea(area), CRect(2, 3, 4, 5));
    EXPECT_FALSE(view->isMouseEnabled());
    container->addView(nullptr);
    container->addView(nullptr, CRect(0, 0, 1, 1), true);
    EXPECT_EQ(container->getViewCount(), 1);
    container->dropReference();
}

TEST_F(ContainerChildren, GetViewByInsertionIndexAndNullOutsideTheRange) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    RecordingView* a = new RecordingView("a", CRect(), log);
    RecordingView* b = new RecordingView("b", CRect(), log);
    RecordingView* c = new RecordingView("c", CRect(), log);
    container->addView(a);
    container->addView(b);
    container->addView(c);
    EXPECT_EQ(container->getViewCount(), 3);
    EXPECT_EQ(container->getView(0), a);
    EXPECT_EQ(container->getView(1), b);
    EXPECT_EQ(container->getView(2), c);
    EXPECT_EQ(container->getView(3), nullptr);
    EXPECT_EQ(container->getView(-1), nullptr);
    container->dropReference();
}

TEST_F(ContainerChildren, FailedNodeAllocationLeavesTheViewUnattachedAndTheListIntact) {
    int destroyed[2] = {0, 0};
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    RecordingView* kept = new RecordingView("a", CRect(0, 0, 10, 10), log, &destroyed[0]);
    RecordingView* view = new RecordingView("b", CRect(0, 0, 10, 10), log, &destroyed[1]);
    container->addView(kept);
    log.clear();
    {
        MemoryExhausted noMemory;
        container->addView(view);
    }
    EXPECT_EQ(view->getNbReference(), 1);
    EXPECT_EQ(view->getParentView(), nullptr);
    EXPECT_EQ(view->getParentFrame(), nullptr);
    EXPECT_FALSE(view->isDirty());
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(container->getViewCount(), 1);
    EXPECT_EQ(container->getView(0), kept);
    EXPECT_FALSE(container->isChild(view));

    // With memory back the same view attaches normally.
    container->addView(view);
    EXPECT_EQ(container->getView(1), view);
    EXPECT_EQ(view->getNbReference(), 2);
    container->dropReference();
    EXPECT_EQ(destroyed[0], 1);
    EXPECT_EQ(destroyed[1], 1);
}

TEST_F(ContainerReferences, DroppingTheTopDestroysEveryObjectExactlyOnce) {
    int destroyed[4] = {0, 0, 0, 0};
    RecordingContainer* outer = new RecordingContainer("O", CRect(0, 0, 100, 100), log, &destroyed[0]);
    RecordingContainer* inner = new RecordingContainer("I", CRect(10, 10, 60, 60), log, &destroyed[1]);
    RecordingView* a = new RecordingView("a", CRect(0, 0, 5, 5), log, &destroyed[2]);
    RecordingView* b = new RecordingView("b", CRect(0, 0, 5, 5), log, &destroyed[3]);
    outer->addView(inner);
    inner->addView(a);
    outer->addView(b);
    EXPECT_EQ(a->getNbReference(), 2);
    EXPECT_EQ(inner->getNbReference(), 2);
    outer->dropReference();
    for (int count : destroyed)
        EXPECT_EQ(count, 1);
}

TEST_F(ContainerReferences, RemoveAllWithReleaseDestroysChildrenWithoutItEachKeepsItsCreator) {
    int destroyed[2] = {0, 0};
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    RecordingView* a = new RecordingView("a", CRect(0, 0, 5, 5), log, &destroyed[0]);
    RecordingView* b = new RecordingView("b", CRect(0, 0, 5, 5), log, &destroyed[1]);
    container->addView(a);
    container->addView(b);
    log.clear();

    container->removeAll(false);
    EXPECT_EQ(log.calls, (Calls{"a.removed", "b.removed"}));
    EXPECT_EQ(a->removedFrom, container);
    EXPECT_EQ(container->getViewCount(), 0);
    EXPECT_EQ(destroyed[0] + destroyed[1], 0);
    EXPECT_EQ(a->getNbReference(), 1);
    EXPECT_EQ(b->getNbReference(), 1);
    EXPECT_EQ(a->getParentView(), container);  // back-pointers keep their values

    container->addView(a);
    container->addView(b);
    container->removeAll(true);
    EXPECT_EQ(destroyed[0], 1);
    EXPECT_EQ(destroyed[1], 1);
    EXPECT_EQ(container->getViewCount(), 0);
    EXPECT_EQ(container->getView(0), nullptr);
    container->dropReference();
}

TEST_F(ContainerReferences, RemoveViewUnlinksOneChildAndReleasesOnRequest) {
    int destroyed[5] = {0, 0, 0, 0, 0};
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    RecordingView* views[5];
    const char* names[5] = {"a", "b", "c", "d", "e"};
    for (int i = 0; i < 5; ++i)
        views[i] = new RecordingView(names[i], CRect(0, 0, 5, 5), log, &destroyed[i]);
    for (int i = 0; i < 4; ++i)
        container->addView(views[i]);
    log.clear();

    container->removeView(views[1], false);  // from the middle, kept alive
    EXPECT_EQ(log.calls, (Calls{"b.removed"}));
    EXPECT_EQ(views[1]->getNbReference(), 1);
    EXPECT_EQ(container->getView(1), views[2]);

    container->removeView(views[1], false);  // no longer a child: nothing happens
    EXPECT_EQ(log.calls.size(), 1u);
    EXPECT_EQ(container->getViewCount(), 3);

    container->removeView(views[0], true);  // the first
    EXPECT_EQ(destroyed[0], 1);
    container->removeView(views[3]);  // the last, released by default
    EXPECT_EQ(destroyed[3], 1);
    EXPECT_EQ(container->getViewCount(), 1);
    EXPECT_EQ(container->getView(0), views[2]);

    container->addView(views[4]);  // the list's ends are still right
    EXPECT_EQ(container->getView(1), views[4]);
    container->dropReference();
    views[1]->dropReference();
    for (int count : destroyed)
        EXPECT_EQ(count, 1);
}

TEST_F(ContainerReferences, RemovingTheFocusViewClearsTheFramesFocusRemoveAllDoesNot) {
    WindowlessFrame tree;
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    tree.frame->addView(container);
    RecordingView* a = new RecordingView("a", CRect(0, 0, 5, 5), log);
    RecordingView* b = new RecordingView("b", CRect(0, 0, 5, 5), log);
    RecordingView* stranger = new RecordingView("s", CRect(0, 0, 5, 5), log);
    container->addView(a);
    container->addView(b);

    tree.frame->setFocusView(a);
    container->removeView(b, false);
    EXPECT_EQ(tree.frame->getFocusView(), a);
    container->removeView(a, false);
    EXPECT_EQ(tree.frame->getFocusView(), nullptr);

    tree.frame->setFocusView(stranger);
    container->removeView(stranger, false);
    EXPECT_EQ(tree.frame->getFocusView(), nullptr);
    EXPECT_EQ(container->getViewCount(), 0);

    container->addView(a);
    tree.frame->setFocusView(a);
    container->removeAll(false);
    EXPECT_EQ(tree.frame->getFocusView(), a);
    tree.frame->setFocusView(nullptr);
    a->dropReference();
    b->dropReference();
    stranger->dropReference();
}

TEST(ContainerState, NewContainerIsDirtyAndOnlyTheColourSetterMarksIt) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 10, 10));
    EXPECT_TRUE(container->isDirty());
    EXPECT_EQ(container->getUpdateMode(), 1);
    EXPECT_EQ(container->getBackgroundColor(), kColorBlack);
    EXPECT_EQ(container->getBackgroundOffset(), CPoint(0, 0));
    container->setDirty(false);
    container->setBackgroundOffset(CPoint(3, 4));
    EXPECT_FALSE(container->isDirty());
    container->setBackgroundColor(kColorRed);
    EXPECT_TRUE(container->isDirty());
    container->dropReference();
}

// ------------------------------------------------------------------ drawing

// A red container at (10, 20) - (90, 80) holding a blue child A and, added
// after it and overlapping it, a green child B; a white canvas to draw on.
class ContainerPainting : public ViewTreeTest {
protected:
    ContainerPainting() {
        container->setBackgroundColor(kColorRed);
        a->paint(kColorBlue);
        b->paint(kColorGreen);
        container->addView(a);
        container->addView(b);
    }
    ~ContainerPainting() override { container->dropReference(); }

    CanvasContext canvas{120, 100, kWhite};
    CViewContainer* container = new CViewContainer(CRect(10, 20, 90, 80));
    RecordingView* a = new RecordingView("A", CRect(5, 5, 40, 40), log);
    RecordingView* b = new RecordingView("B", CRect(20, 20, 60, 50), log);
};

TEST_F(ContainerPainting, WholeRedrawPaintsBackgroundThenChildrenFirstAddedFirst) {
    a->setDirty(false);  // clean children are drawn as well
    log.clear();

    container->draw(canvas.context);
    EXPECT_EQ(log.calls, (Calls{"A.draw", "B.draw"}));
    EXPECT_EQ(canvas.at(20, 30), rgb(kColorBlue));   // A alone
    EXPECT_EQ(canvas.at(40, 50), rgb(kColorGreen));  // A under B: the later child is on top
    EXPECT_EQ(canvas.at(60, 65), rgb(kColorGreen));  // B alone
    EXPECT_EQ(canvas.at(80, 75), rgb(kColorRed));    // background
    EXPECT_EQ(canvas.at(5, 5), kWhite);
    EXPECT_EQ(canvas.at(90, 50), kWhite);  // right edge exclusive
    EXPECT_EQ(canvas.at(50, 80), kWhite);  // bottom edge exclusive
    EXPECT_FALSE(container->isDirty());
    EXPECT_FALSE(b->isDirty());
}

TEST_F(ContainerPainting, WholeRedrawLandsAtTheCallersOffset) {
    canvas.context->offset = CPoint(7, 3);
    container->draw(canvas.context);
    EXPECT_EQ(canvas.at(27, 33), rgb(kColorBlue));
    EXPECT_EQ(canvas.at(87, 78), rgb(kColorRed));
    EXPECT_EQ(canvas.at(12, 22), kWhite);
    EXPECT_EQ(canvas.at(97, 50), kWhite);
    EXPECT_EQ(canvas.context->offset, CPoint(7, 3));
}

TEST_F(ContainerPainting, PartialRedrawCopiesOnlyTheUpdateRectangle) {
    container->draw(canvas.context);
    b->paint(kColorYellow);
    b->setDirty(true);
    canvas.canvas.fill(kWhite);  // whatever the copy leaves out stays white
    log.clear();
    container->drawRect(canvas.context, CRect(40, 40, 60, 60));  // local (30, 20, 50, 40)

    EXPECT_EQ(log.with(".drawRect"), (Calls{"A.drawRect(30,20,50,40)", "B.drawRect(30,20,50,40)"}));
    EXPECT_EQ(canvas.at(55, 55), rgb(kColorYellow));  // B inside the update rectangle
    EXPECT_EQ(canvas.at(45, 50), rgb(kColorYellow));  // over A, inside the update rectangle
    EXPECT_EQ(canvas.at(40, 40), rgb(kColorBlue));    // the rectangle's corner: A, not yet B
    EXPECT_EQ(canvas.at(59, 59), rgb(kColorYellow));  // the rectangle's last pixel
    EXPECT_EQ(canvas.at(60, 55), kWhite);             // one beyond: not copied
    EXPECT_EQ(canvas.at(55, 60), kWhite);
    EXPECT_EQ(canvas.at(39, 45), kWhite);
    EXPECT_EQ(canvas.at(65, 65), kWhite);
    EXPECT_TRUE(b->isDirty());  // half covered: stays dirty
    EXPECT_FALSE(a->isDirty());

    container->drawRect(canvas.context, CRect(25, 35, 75, 75));  // covers B wholly
    EXPECT_FALSE(b->isDirty());
    EXPECT_EQ(canvas.at(65, 65), rgb(kColorYellow));
}

TEST_F(ContainerDrawing, MouseAreaLimitsClicksButTheWholeSizeIsDrawn) {
    CanvasContext canvas(120, 120, kWhite);
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    container->setBackgroundColor(kColorRed);
    RecordingView* view = new RecordingView("M", CRect(0, 0, 100, 100), log);
    view->paint(kColorBlue);
    container->addView(view, CRect(0, 0, 10, 10), true);

    container->draw(canvas.context);
    EXPECT_EQ(canvas.at(50, 50), rgb(kColorBlue));

    log.clear();
    CPoint outside(50, 50);
    container->onMouseDown(nullptr, outside, kButtonLeft);
    EXPECT_TRUE(log.calls.empty());
    CPoint inside(5, 5);
    container->onMouseDown(nullptr, inside, kButtonLeft);
    EXPECT_EQ(log.calls, (Calls{"M.mouse(5,5) 1"}));
    container->dropReference();
}

TEST_F(ContainerDrawing, PartialRedrawSkipsChildrenOutsideOrOnlyTouching) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    RecordingView* inside = new RecordingView("I", CRect(10, 10, 30, 30), log);
    RecordingView* half = new RecordingView("H", CRect(40, 40, 60, 60), log);
    RecordingView* outside = new RecordingView("O", CRect(80, 80, 90, 90), log);
    RecordingView* touching = new RecordingView("T", CRect(50, 0, 60, 10), log);
    for (CView* view : {static_cast<CView*>(inside), static_cast<CView*>(half), static_cast<CView*>(outside),
                        static_cast<CView*>(touching)})
        container->addView(view);
    log.clear();

    container->drawRect(context, CRect(0, 0, 50, 50));
    EXPECT_EQ(log.with(".drawRect"), (Calls{"I.drawRect(0,0,50,50)", "H.drawRect(0,0,50,50)"}));
    EXPECT_FALSE(inside->isDirty());
    EXPECT_TRUE(half->isDirty());
    EXPECT_TRUE(outside->isDirty());
    EXPECT_TRUE(touching->isDirty());
    container->dropReference();
}

TEST_F(ContainerDrawing, DirtyOnlyCountsChildrenThatShowInsideTheBounds) {
    CViewContainer* container = new CViewContainer(CRect(200, 200, 300, 300));
    container->setDirty(false);
    EXPECT_FALSE(container->isDirty());
    container->addView(new RecordingView("out", CRect(150, 150, 160, 160), log));
    container->addView(new RecordingView("edge", CRect(100, 0, 110, 10), log));
    EXPECT_FALSE(container->isDirty());
    RecordingView* partly = new RecordingView("partly", CRect(90, 90, 110, 110), log);
    container->addView(partly);
    EXPECT_TRUE(container->isDirty());
    partly->setDirty(false);
    EXPECT_FALSE(container->isDirty());
    container->setDirty(true);
    EXPECT_TRUE(container->isDirty());
    container->dropReference();
}

TEST_F(ContainerDrawing, BackgroundRectangleFillsWithTheColourUnlessTransparent) {
    CanvasContext canvas(100, 100, kWhite);
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    container->setBackgroundColor(kColorOrange);
    container->drawBackgroundRect(canvas.context, CRect(10, 10, 30, 30));
    EXPECT_EQ(canvas.at(20, 20), rgb(kColorOrange));
    EXPECT_EQ(canvas.at(40, 40), kWhite);
    EXPECT_EQ(canvas.at(5, 5), kWhite);

    container->setTransparent(true);
    container->drawBackgroundRect(canvas.context, CRect(50, 50, 70, 70));
    EXPECT_EQ(canvas.at(60, 60), kWhite);
    container->dropReference();
}

TEST_F(ContainerDrawing, BackgroundBitmapIsClippedToTheRectangleAndDrawnFromTheOrigin) {
    stub::addPicture(3, quavixtest::makePicture(16, 160, [](int, int) { return quavixtest::kBlue; }));
    RecordingBitmap* bitmap = new RecordingBitmap(3, log);  // the slider track's size, 16 x 160
    stub::removePictures();
    ASSERT_EQ(bitmap->getWidth(), 16);
    ASSERT_EQ(bitmap->getHeight(), 160);
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 200));
    container->setBackground(bitmap);
    container->setBackgroundOffset(CPoint(2, 3));

    container->drawBackgroundRect(context, CRect(4, 5, 40, 50));
    EXPECT_EQ(log.calls, (Calls{"bitmap.draw(0,0,16,160)(2,3)"}));
    EXPECT_EQ(bitmap->clipDuringDraw, CRect(4, 5, 40, 50));
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 1000, 1000));

    container->setTransparent(true);
    log.clear();
    container->drawBackgroundRect(context, CRect(4, 5, 40, 50));
    EXPECT_EQ(log.calls, (Calls{"bitmap.drawTransparent(0,0,16,160)(2,3)"}));

    log.clear();
    container->setTransparent(false);
    container->draw(context);
    EXPECT_EQ(log.calls, (Calls{"bitmap.draw(0,0,100,200)(2,3)"}));
    container->dropReference();
    bitmap->dropReference();
}

TEST_F(ContainerDrawing, WithoutOffscreenChildrenDrawStraightIntoTheShiftedCaller) {
    CanvasContext canvas(100, 100, kWhite);
    CViewContainer* container = new CViewContainer(CRect(10, 10, 60, 60));
    container->setOffscreenDrawing(false);
    container->setTransparent(true);
    RecordingView* a = new RecordingView("A", CRect(5, 5, 20, 20), log);
    a->paint(kColorBlue);
    container->addView(a);
    canvas.context->offset = CPoint(1, 2);
    canvas.context->screenOrigin = CPoint(3, 4);

    container->draw(canvas.context);
    EXPECT_EQ(canvas.at(21, 22), rgb(kColorBlue));
    EXPECT_EQ(canvas.at(41, 42), kWhite);  // transparent: no background
    EXPECT_EQ(canvas.context->offset, CPoint(1, 2));
    EXPECT_EQ(canvas.context->screenOrigin, CPoint(3, 4));

    container->setTransparent(false);
    container->setBackgroundColor(kColorRed);
    container->draw(canvas.context);
    EXPECT_EQ(canvas.at(41, 42), rgb(kColorRed));
    EXPECT_EQ(canvas.context->offset, CPoint(1, 2));

    container->drawRect(canvas.context, CRect(40, 40, 60, 60));
    EXPECT_EQ(canvas.context->offset, CPoint(1, 2));
    EXPECT_EQ(canvas.context->screenOrigin, CPoint(3, 4));
    container->dropReference();
}

TEST_F(ContainerDrawing, NullContextsAreIgnored) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 50, 50));
    container->addView(new RecordingView("A", CRect(5, 5, 20, 20), log));
    log.clear();
    container->draw(nullptr);
    container->drawRect(nullptr, CRect(0, 0, 50, 50));
    container->drawBackgroundRect(nullptr, CRect(0, 0, 50, 50));
    container->redrawRect(nullptr, CRect(0, 0, 50, 50));
    EXPECT_TRUE(log.calls.empty());
    container->dropReference();
}

TEST_F(ContainerRedraw, TransparentContainerPassesToItsParentOpaqueOneDrawsItself) {
    RecordingContainer* parent = new RecordingContainer("P", CRect(100, 200, 400, 500), log);
    parent->swallowRedraw = true;
    RecordingContainer* child = new RecordingContainer("C", CRect(10, 20, 110, 120), log);
    parent->addView(child);

    child->setTransparent(true);
    log.clear();
    child->redrawRect(context, CRect(1, 2, 3, 4));
    EXPECT_EQ(log.calls, (Calls{"C.redrawRect(1,2,3,4)", "P.redrawRect(11,22,13,24)"}));

    child->setTransparent(false);
    context->offset = CPoint(5, 6);
    context->screenOrigin = CPoint(7, 8);
    log.clear();
    child->redrawRect(context, CRect(1, 2, 3, 4));
    EXPECT_EQ(log.calls, (Calls{"C.redrawRect(1,2,3,4)", "C.drawRect(11,22,13,24)"}));
    EXPECT_EQ(child->offsetDuringDrawRect, CPoint(105, 206));
    EXPECT_EQ(context->offset, CPoint(5, 6));
    EXPECT_EQ(context->screenOrigin, CPoint(7, 8));
    parent->dropReference();
}

// ------------------------------------------------------------------ idle update

class UpdateModes : public ViewTreeTest {
protected:
    void SetUp() override {
        container = new RecordingContainer("C", CRect(0, 0, 200, 200), log);
        nearView = new RecordingView("N", CRect(10, 10, 30, 30), log);
        farView = new RecordingView("F", CRect(150, 150, 170, 170), log);
        container->addView(nearView);
        container->addView(farView);
        nearView->setDirty(false);
        farView->setDirty(false);
        container->setDirty(false);
        log.clear();
    }
    void TearDown() override { container->dropReference(); }

    RecordingContainer* container = nullptr;
    RecordingView* nearView = nullptr;
    RecordingView* farView = nullptr;
};

TEST_F(UpdateModes, ModeOneRedrawsOnlyDirtyChildrenOfACleanContainer) {
    nearView->setDirty(true);
    container->update(context);
    EXPECT_EQ(log.with(".drawRect"), (Calls{"C.drawRect(10,10,30,30)", "N.drawRect(10,10,30,30)"}));
    EXPECT_FALSE(nearView->isDirty());
    EXPECT_FALSE(container->isDirty());
}

TEST_F(UpdateModes, ModeOneRedrawsEverythingWhenTheContainerItselfIsDirty) {
    container->setDirty(true);
    container->update(context);
    EXPECT_EQ(log.with(".drawRect"),
              (Calls{"C.drawRect(0,0,200,200)", "N.drawRect(0,0,200,200)", "F.drawRect(0,0,200,200)"}));
    EXPECT_FALSE(container->isDirty());
}

TEST_F(UpdateModes, ModeOneSkipsDirtyChildrenOutsideAndUpdatesNestedContainers) {
    RecordingView* beyond = new RecordingView("B", CRect(300, 300, 310, 310), log);
    RecordingContainer* nested = new RecordingContainer("K", CRect(50, 50, 100, 100), log);
    container->addView(beyond);
    container->addView(nested);
    container->setDirty(false);
    log.clear();

    container->update(context);
    EXPECT_TRUE(log.with("B.").empty());
    EXPECT_TRUE(log.has("K.update"));
    EXPECT_TRUE(beyond->isDirty());
    EXPECT_FALSE(nested->isDirty());
    EXPECT_FALSE(container->ownDirtyFlag());
}

TEST_F(UpdateModes, ModeZeroRedrawsTheWholeContainerForOneDirtyChild) {
    container->setUpdateMode(0);
    nearView->setDirty(true);
    container->update(context);
    EXPECT_EQ(log.with(".drawRect"),
              (Calls{"C.drawRect(0,0,200,200)", "N.drawRect(0,0,200,200)", "F.drawRect(0,0,200,200)"}));
    EXPECT_FALSE(container->isDirty());
}

TEST_F(UpdateModes, ModeZeroDoesNothingWhenNothingIsDirty) {
    container->setUpdateMode(0);
    container->update(context);
    EXPECT_EQ(log.calls, (Calls{"C.update"}));
}

TEST_F(UpdateModes, OtherModesDoNothing) {
    for (int32_t mode : {2, -1}) {
        container->setUpdateMode(mode);
        container->setDirty(true);
        nearView->setDirty(true);
        log.clear();
        container->update(context);
        EXPECT_EQ(log.calls, (Calls{"C.update"})) << "mode " << mode;
        EXPECT_TRUE(container->isDirty());
        EXPECT_TRUE(nearView->isDirty());
    }
}

// ------------------------------------------------------------------ mouse, keys, wheel

TEST_F(ContainerMouse, LastAddedEnabledChildUnderThePointGetsTheClickInLocalCoordinates) {
    CViewContainer* container = new CViewContainer(CRect(100, 100, 300, 300));
    RecordingView* a = new RecordingView("A", CRect(0, 0, 50, 50), log);
    RecordingView* b = new RecordingView("B", CRect(25, 25, 75, 75), log);
    container->addView(a);
    container->addView(b);
    log.clear();

    CPoint overlap(130, 130);
    container->onMouseDown(nullptr, overlap, kButtonLeft);
    b->setMouseEnabled(false);
    container->onMouseDown(nullptr, overlap, kButtonRight);
    CPoint onlyB(160, 160);
    container->onMouseDown(nullptr, onlyB, kButtonLeft);  // B disabled, nothing beneath
    b->setMouseEnabled(true);
    CPoint edge(175, 175);
    container->onMouseDown(nullptr, edge, kButtonLeft);
    CPoint beyond(176, 176);
    container->onMouseDown(nullptr, beyond, kButtonLeft);

    EXPECT_EQ(log.calls, (Calls{"B.mouse(30,30) 1", "A.mouse(30,30) 4", "B.mouse(75,75) 1"}));
    EXPECT_EQ(overlap, CPoint(130, 130));
    container->dropReference();
}

TEST_F(ContainerMouse, ButtonsMinusOneAreReadFromTheContext) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    container->addView(new RecordingView("A", CRect(0, 0, 50, 50), log));
    log.clear();
    CPoint where(10, 10);
    stub::holdButtons(kButtonRight | kModifierAlt);
    container->onMouseDown(context, where, -1);
    container->onMouseDown(nullptr, where, -1);
    stub::resetPointer();
    EXPECT_EQ(log.calls, (Calls{"A.mouse(10,10) 36", "A.mouse(10,10) -1"}));
    container->dropReference();
}

class KeyRouting : public ViewTreeTest {
protected:
    void SetUp() override {
        container = new CViewContainer(CRect(0, 0, 100, 100));
        for (const char* name : {"A", "B", "C"}) {
            views.push_back(new RecordingView(name, CRect(), log));
            container->addView(views.back());
        }
        log.clear();
    }
    void TearDown() override { container->dropReference(); }

    CViewContainer* container = nullptr;
    std::vector<RecordingView*> views;
};

TEST_F(KeyRouting, LastAddedIsAskedFirstAndItsAnswerEndsTheSearch) {
    views[0]->keyAnswer = 5;
    views[2]->keyAnswer = 3;
    VstKeyCode key = tabKey();
    EXPECT_EQ(container->onKeyDown(key), 3);
    EXPECT_EQ(log.calls, (Calls{"C.keyDown"}));
}

TEST_F(KeyRouting, MinusOneAnswersPassTheKeyOn) {
    views[0]->keyAnswer = 5;
    views[1]->keyAnswer = 0;  // zero counts as handled
    VstKeyCode key = tabKey();
    EXPECT_EQ(container->onKeyDown(key), 0);
    EXPECT_EQ(container->onKeyUp(key), 0);
    EXPECT_EQ(log.calls, (Calls{"C.keyDown", "B.keyDown", "C.keyUp", "B.keyUp"}));
}

TEST_F(KeyRouting, UnhandledEverywhereGivesMinusOne) {
    VstKeyCode key = tabKey();
    EXPECT_EQ(container->onKeyUp(key), -1);
    EXPECT_EQ(log.calls, (Calls{"C.keyUp", "B.keyUp", "A.keyUp"}));
}

class FramedContainer : public ViewTreeTest {
protected:
    void SetUp() override {
        container = new RecordingContainer("C", CRect(50, 60, 250, 260), log);
        tree.frame->addView(container);
        context->offset = CPoint(1, 2);
        context->screenOrigin = CPoint(300, 400);
    }
    RecordingView* add(RecordingView* view) {
        container->addView(view);
        return view;
    }

    WindowlessFrame tree;
    RecordingContainer* container = nullptr;
};

TEST_F(FramedContainer, WheelGoesToTheChildUnderThePointWithAxisOneAndShiftedContext) {
    AxisView* axis = new AxisView("X", CRect(10, 10, 50, 50), log);
    add(axis);
    RecordingView* plain = add(new RecordingView("W", CRect(100, 100, 150, 150), log));
    plain->wheelAnswer = true;
    plain->setMouseEnabled(false);  // the wheel ignores the flag
    log.clear();

    EXPECT_TRUE(container->onWheel(context, CPoint(70, 80), 0.5f));
    EXPECT_EQ(axis->offsetDuringCall, CPoint(51, 62));
    EXPECT_EQ(axis->originDuringCall, CPoint(350, 460));
    EXPECT_TRUE(container->onWheelAxis(context, CPoint(160, 170), 0, -2.0f));
    EXPECT_FALSE(container->onWheel(context, CPoint(55, 65), 1.0f));  // no child there
    EXPECT_EQ(log.calls, (Calls{"X.axis1(20,20) 0.5", "W.wheel(110,110) -2"}));
    EXPECT_EQ(context->offset, CPoint(1, 2));
    EXPECT_EQ(context->screenOrigin, CPoint(300, 400));
}

TEST_F(ContainerWheel, ContainerWithoutFrameFindsNoChild) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    RecordingView* view = new RecordingView("W", CRect(0, 0, 100, 100), log);
    view->wheelAnswer = true;
    container->addView(view);
    log.clear();
    EXPECT_FALSE(container->onWheel(context, CPoint(10, 10), 1.0f));
    EXPECT_TRUE(log.calls.empty());
    container->dropReference();
}

// ------------------------------------------------------------------ lookup

TEST_F(FramedContainer, GetViewAtFindsTheLastAddedByMouseAreaAndGoesDeepOnRequest) {
    RecordingView* p = add(new RecordingView("P", CRect(0, 0, 40, 40), log));
    RecordingView* q = add(new RecordingView("Q", CRect(20, 20, 60, 60), log));
    CViewContainer* inner = new CViewContainer(CRect(100, 0, 200, 100));
    container->addView(inner);
    RecordingView* y = new RecordingView("Y", CRect(10, 10, 30, 30), log);
    inner->addView(y);

    EXPECT_EQ(container->getViewAt(CPoint(55, 65)), p);
    EXPECT_EQ(container->getViewAt(CPoint(80, 90)), q);    // both: the later one
    EXPECT_EQ(container->getViewAt(CPoint(110, 120)), q);  // Q's bottom-right edge
    EXPECT_EQ(container->getViewAt(CPoint(111, 121)), nullptr);
    EXPECT_EQ(container->getViewAt(CPoint(160, 75)), inner);
    EXPECT_EQ(container->getViewAt(CPoint(160, 75), true), y);
    EXPECT_EQ(container->getViewAt(CPoint(190, 140), true), nullptr);  // inside inner, outside Y
    EXPECT_EQ(container->getViewAt(CPoint(100, 110)), q);
    q->setMouseArea(CRect(0, 0, 1, 1));
    EXPECT_EQ(container->getViewAt(CPoint(100, 110)), nullptr);  // mouse area, not size
}

TEST_F(FramedContainer, ViewUnderMouseComesFromTheFramesCursorLocation) {
    RecordingView* p = add(new RecordingView("P", CRect(0, 0, 40, 40), log));
    RecordingView* q = add(new RecordingView("Q", CRect(20, 20, 60, 60), log));
    // A frame without a window reports the cursor in screen coordinates.
    CPoint cursor = placeCursor(50 + 10, 60 + 10);
    ASSERT_EQ(cursor, CPoint(60, 70)) << "the pointer could not be placed";
    EXPECT_EQ(container->getViewUnderMouse(), p);
    cursor = placeCursor(50 + 30, 60 + 30);
    ASSERT_EQ(cursor, CPoint(80, 90));
    EXPECT_EQ(container->getViewUnderMouse(), q);
    placeCursor(50 + 150, 60 + 150);
    EXPECT_EQ(container->getViewUnderMouse(), nullptr);

    CViewContainer* orphan = new CViewContainer(CRect(0, 0, 500, 500));
    orphan->addView(new RecordingView("O", CRect(0, 0, 500, 500), log));
    EXPECT_EQ(orphan->getViewUnderMouse(), nullptr);
    orphan->dropReference();
}

TEST_F(FramedContainer, FrameAndLocalCoordinatesConvertThroughEveryContainer) {
    CViewContainer* inner = new CViewContainer(CRect(100, 0, 200, 100));
    container->addView(inner);
    RecordingView* view = new RecordingView("v", CRect(0, 0, 5, 5), log);
    inner->addView(view);

    CPoint point(1, 2);
    EXPECT_EQ(view->localToFrame(point), CPoint(151, 62));
    EXPECT_EQ(view->frameToLocal(point), CPoint(1, 2));
    CPoint origin(0, 0);
    EXPECT_EQ(inner->localToFrame(origin), CPoint(150, 60));
    EXPECT_EQ(inner->frameToLocal(origin), CPoint(0, 0));
}

// ------------------------------------------------------------------ drag and drop

TEST_F(FramedContainer, DragEventsFollowTheChildUnderThePoint) {
    RecordingView* p = add(new RecordingView("P", CRect(0, 0, 40, 40), log));
    RecordingView* q = add(new RecordingView("Q", CRect(60, 0, 100, 40), log));
    int token = 0;
    CDragContainer* drag = reinterpret_cast<CDragContainer*>(&token);
    auto at = [](int x, int y) { return CPoint(50 + x, 60 + y); };
    log.clear();

    container->onDragEnter(context, drag, at(10, 10));
    EXPECT_EQ(container->currentDragView(), p);
    container->onDragMove(context, drag, at(20, 20));
    container->onDragMove(context, drag, at(70, 10));
    container->onDragMove(context, drag, at(150, 150));
    EXPECT_EQ(container->currentDragView(), nullptr);
    container->onDragMove(context, drag, at(150, 150));
    EXPECT_EQ(log.calls,
              (Calls{"P.enter(10,10)", "P.move(20,20)", "P.leave(70,10)", "Q.enter(70,10)", "Q.leave(150,150)"}));
    EXPECT_EQ(q->lastDrag, drag);
    EXPECT_EQ(q->offsetDuringCall, CPoint(51, 62));
    EXPECT_EQ(q->originDuringCall, CPoint(350, 460));
    EXPECT_EQ(context->offset, CPoint(1, 2));
    EXPECT_EQ(context->screenOrigin, CPoint(300, 400));
}

TEST_F(FramedContainer, DropGoesToTheChildUnderThePointThenItLeaves) {
    add(new RecordingView("P", CRect(0, 0, 40, 40), log));
    add(new RecordingView("Q", CRect(60, 0, 100, 40), log));
    auto at = [](int x, int y) { return CPoint(50 + x, 60 + y); };
    log.clear();

    container->onDragEnter(context, nullptr, at(10, 10));
    EXPECT_TRUE(container->onDrop(context, nullptr, at(70, 10)));
    EXPECT_EQ(container->currentDragView(), nullptr);
    EXPECT_FALSE(container->onDrop(context, nullptr, at(150, 150)));
    container->onDragEnter(context, nullptr, at(10, 10));
    container->onDragEnter(context, nullptr, at(70, 10));  // a second entry leaves the first view
    container->onDragLeave(context, nullptr, at(0, 0));
    EXPECT_EQ(container->currentDragView(), nullptr);
    container->onDragLeave(context, nullptr, at(0, 0));
    EXPECT_EQ(log.calls, (Calls{"P.enter(10,10)", "P.leave(70,10)", "Q.drop(70,10)", "Q.leave(70,10)", "P.enter(10,10)",
                                "P.leave(70,10)", "Q.enter(70,10)", "Q.leave(0,0)"}));
}

TEST_F(ContainerDrag, ContainerWithoutFrameIgnoresDrags) {
    CViewContainer* container = new CViewContainer(CRect(0, 0, 100, 100));
    container->addView(new RecordingView("P", CRect(0, 0, 100, 100), log));
    log.clear();
    container->onDragEnter(context, nullptr, CPoint(10, 10));
    container->onDragMove(context, nullptr, CPoint(10, 10));
    EXPECT_FALSE(container->onDrop(context, nullptr, CPoint(10, 10)));
    container->onDragLeave(context, nullptr, CPoint(10, 10));
    EXPECT_TRUE(log.calls.empty());
    container->dropReference();
}

TEST_F(FramedContainer, RemovingTheDraggedChildForgetsIt) {
    RecordingView* p = add(new RecordingView("P", CRect(0, 0, 40, 40), log));
    p->addReference();
    container->onDragEnter(context, nullptr, CPoint(60, 70));
    container->removeView(p, true);
    EXPECT_EQ(container->currentDragView(), nullptr);
    log.clear();
    container->onDragLeave(context, nullptr, CPoint(60, 70));
    EXPECT_TRUE(log.calls.empty());
    p->dropReference();
}

// ------------------------------------------------------------------ focus

class FocusTraversal : public FramedContainer {
protected:
    void SetUp() override {
        FramedContainer::SetUp();
        a = add(new RecordingView("a", CRect(), log));
        b = add(new RecordingView("b", CRect(), log));
        inner = new CViewContainer(CRect(0, 0, 10, 10));
        container->addView(inner);
        x = new RecordingView("x", CRect(), log);
        inner->addView(x);
        c = add(new RecordingView("c", CRect(), log));
        a->setWantsFocus(true);
        x->setWantsFocus(true);
        c->setWantsFocus(true);
    }
    CView* focus() const { return tree.frame->getFocusView(); }

    RecordingView* a = nullptr;
    RecordingView* b = nullptr;
    RecordingView* c = nullptr;
    RecordingView* x = nullptr;
    CViewContainer* inner = nullptr;
};

TEST_F(FocusTraversal, ForwardFromTheStartAndAfterEachView) {
    EXPECT_TRUE(container->moveFocus(nullptr, false));
    EXPECT_EQ(focus(), a);
    EXPECT_TRUE(container->moveFocus(a, false));  // b does not want it; inner's x does
    EXPECT_EQ(focus(), x);
    EXPECT_TRUE(container->moveFocus(inner, false));
    EXPECT_EQ(focus(), c);
    EXPECT_FALSE(container->moveFocus(c, false));
    EXPECT_EQ(focus(), c);
}

TEST_F(FocusTraversal, BackwardFromTheEndAndAfterEachView) {
    EXPECT_TRUE(container->moveFocus(nullptr, true));
    EXPECT_EQ(focus(), c);
    EXPECT_TRUE(container->moveFocus(c, true));
    EXPECT_EQ(focus(), x);
    EXPECT_TRUE(container->moveFocus(inner, true));
    EXPECT_EQ(focus(), a);
    EXPECT_FALSE(container->moveFocus(a, true));
}

TEST_F(FocusTraversal, TheFramesTraversalClimbsOutOfNestedContainers) {
    tree.frame->setFocusView(x);
    EXPECT_TRUE(tree.frame->moveFocus(nullptr, false));  // inner has nothing after x; its container has c
    EXPECT_EQ(focus(), c);
    EXPECT_FALSE(tree.frame->moveFocus(nullptr, false));  // nothing after c at any level
    EXPECT_EQ(focus(), nullptr);
    tree.frame->setFocusView(x);
    EXPECT_TRUE(tree.frame->moveFocus(x, true));
    EXPECT_EQ(focus(), a);
}

TEST_F(FocusTraversal, APreviousViewThatIsNoDirectChildIsNeverPassed) {
    tree.frame->setFocusView(nullptr);
    EXPECT_FALSE(container->moveFocus(x, false));
    EXPECT_EQ(focus(), nullptr);
}

TEST_F(FocusTraversal, FocusLostAndTakenReachEveryChildFirstAddedFirst) {
    log.clear();
    container->onFocusLost(nullptr);
    container->onFocusTaken(context);
    EXPECT_EQ(log.calls, (Calls{"a.focusLost", "b.focusLost", "x.focusLost", "c.focusLost", "a.focusTaken",
                                "b.focusTaken", "x.focusTaken", "c.focusTaken"}));
}

// ------------------------------------------------------------------ offscreen lifecycle

TEST_F(ContainerOffscreen, MadeOnAttachAndFirstDrawRemadeOnResizeDroppedOnRemoveAndDisable) {
    RecordingContainer* parent = new RecordingContainer("P", CRect(0, 0, 300, 300), log);
    RecordingContainer* child = new RecordingContainer("C", CRect(10, 10, 60, 40), log);
    EXPECT_EQ(child->offscreenContext(), nullptr);

    parent->addView(child);
    ASSERT_NE(child->offscreenContext(), nullptr);
    EXPECT_EQ(child->offscreenContext()->getWidth(), 50);
    EXPECT_EQ(child->offscreenContext()->getHeight(), 30);

    child->setViewSize(CRect(0, 0, 70, 90));
    ASSERT_NE(child->offscreenContext(), nullptr);
    EXPECT_EQ(child->offscreenContext()->getWidth(), 70);
    EXPECT_EQ(child->offscreenContext()->getHeight(), 90);

    parent->removeView(child, false);
    EXPECT_EQ(child->offscreenContext(), nullptr);
    child->setViewSize(CRect(0, 0, 20, 20));  // nothing to remake
    EXPECT_EQ(child->offscreenContext(), nullptr);
    child->draw(context);
    ASSERT_NE(child->offscreenContext(), nullptr);
    EXPECT_EQ(child->offscreenContext()->getWidth(), 20);

    child->setOffscreenDrawing(false);
    EXPECT_EQ(child->offscreenContext(), nullptr);
    child->draw(context);
    child->drawRect(context, CRect(0, 0, 5, 5));
    parent->addView(child);
    child->setViewSize(CRect(0, 0, 30, 30));
    EXPECT_EQ(child->offscreenContext(), nullptr);

    child->setOffscreenDrawing(true);
    EXPECT_EQ(child->offscreenContext(), nullptr);
    child->drawRect(context, CRect(0, 0, 5, 5));
    EXPECT_NE(child->offscreenContext(), nullptr);
    parent->dropReference();
}

TEST_F(ContainerOffscreen, RepeatedTreesLeaveNoDrawingObjectBehind) {
    CanvasContext canvas(200, 200, kWhite);
    auto cycle = [&]() {
        CViewContainer* outer = new CViewContainer(CRect(0, 0, 150, 150));
        CViewContainer* inner = new CViewContainer(CRect(10, 10, 90, 90));
        outer->addView(inner);
        RecordingView* view = new RecordingView("v", CRect(5, 5, 40, 40), log);
        view->paint(kColorBlue);
        inner->addView(view);
        outer->draw(canvas.context);
        outer->drawRect(canvas.context, CRect(20, 20, 60, 60));
        inner->setViewSize(CRect(10, 10, 100, 100));
        inner->setOffscreenDrawing(false);
        inner->setOffscreenDrawing(true);
        outer->draw(canvas.context);
        outer->dropReference();
        log.clear();
    };
    cycle();
    const int32_t before = stub::Canvas::liveCount();
    CViewContainer* live = new CViewContainer(CRect(0, 0, 10, 10));
    live->draw(canvas.context);
    ASSERT_GT(stub::Canvas::liveCount(), before) << "an offscreen context has a canvas";
    live->dropReference();
    ASSERT_EQ(stub::Canvas::liveCount(), before);
    for (int i = 0; i < 200; ++i)
        cycle();
    EXPECT_EQ(stub::Canvas::liveCount(), before);
}
