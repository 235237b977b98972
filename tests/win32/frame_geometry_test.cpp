// The frame's size and position among real host windows: resizing through a
// host that can, growing the host's windows with their borders when it
// cannot, and the position and size reports for known window arrangements.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "toolkit/editor/ViewTreeEditor.h"
#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/COffscreenContext.h"
#include "toolkit/platform/WindowGeometry.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/support/NestedWindowBorder.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/MessagePump.h"
#include "tests/win32/support/NestedWindows.h"
#include "tests/win32/support/SizingHost.h"

using VSTGUI::CFrame;
using VSTGUI::CRect;
using namespace quavixtest;

namespace {

const int kFrameWidth = 330;
const int kFrameHeight = 354;
const int kNewWidth = 300;
const int kNewHeight = 200;

// A frame that lets the test see the size of its offscreen picture.
class ProbeFrame : public CFrame {
public:
    using CFrame::CFrame;
    CRect viewSize() const { return size; }
    SIZE offscreenSize() const {
        SIZE result = {0, 0};
        if (offscreen) {
            result.cx = offscreen->getWidth();
            result.cy = offscreen->getHeight();
        }
        return result;
    }
};

void expectSize(HWND window, int width, int height, const char* which) {
    const SIZE size = outerSize(window);
    EXPECT_EQ(size.cx, width) << which;
    EXPECT_EQ(size.cy, height) << which;
}

class FrameGeometry : public ::testing::Test {
protected:
    void TearDown() override {
        frame.reset();
        sizing.reset();
        overrideNestedWindowBorder(-1);
    }

    // A host whose answers the test chooses; the frame is closed first.
    AEffGUIEditor* editorOf(SizingAnswers answers, HWND hostsOwnWindow) {
        frame.reset();
        sizing.reset();
        sizing.reset(new SizingHost(answers, hostsOwnWindow));
        return sizing->editor();
    }
    int resizeRequests() const { return sizing->countOf(audioMasterCanDo) + sizing->countOf(audioMasterSizeWindow); }
    // Another top-level window, closed after the frame.
    HWND makeHostWindow(int x, int y, int width, int height) {
        otherHosts.emplace_back(new HostWindow(x, y, width, height));
        return otherHosts.back()->handle();
    }

    // A frame in the given parent window, drawn once (so that it has its
    // offscreen picture) and then clean.
    ProbeFrame* openFrame(HWND parent, AEffGUIEditor* editor = nullptr) {
        frame.reset(new ProbeFrame(CRect(0, 0, kFrameWidth, kFrameHeight), parent, editor));
        frame->drawRect(nullptr, CRect(0, 0, kFrameWidth, kFrameHeight));
        frame->setDirty(false);
        return frame.get();
    }
    HWND frameWindow() const { return static_cast<HWND>(frame->getSystemWindow()); }
    ::testing::AssertionResult positionIs(int32_t x, int32_t y) const {
        int32_t atX = -1;
        int32_t atY = -1;
        if (!frame->getPosition(atX, atY))
            return ::testing::AssertionFailure() << "no position";
        if (atX != x || atY != y)
            return ::testing::AssertionFailure() << "position (" << atX << ", " << atY << ")";
        return ::testing::AssertionSuccess();
    }

    // Every window the test makes lives inside this one.
    HostWindow host{40, 30, 900, 800};
    std::vector<std::unique_ptr<HostWindow>> otherHosts;
    std::unique_ptr<SizingHost> sizing;
    std::unique_ptr<ProbeFrame> frame;
};

// ---------------------------------------------------------------- through the host

TEST_F(FrameGeometry, HostThatResizesGetsTheRequestAndOnlyTheFrameWindowFollows) {
    // A pane with room for a border around the editor: the window route
    // would grow it, the host route must leave it to the host.
    HWND pane = makePlainWindow(host.handle(), 10, 10, kFrameWidth + 6, kFrameHeight + 6);
    openFrame(pane, editorOf({true, true}, host.handle()));

    ASSERT_TRUE(frame->setSize(kNewWidth, kNewHeight));

    ASSERT_EQ(sizing->countOf(audioMasterCanDo), 1);
    ASSERT_EQ(sizing->countOf(audioMasterSizeWindow), 1);
    const std::vector<SizingRequest>& requests = sizing->requests();
    const SizingRequest& question = requests[requests.size() - 2];
    EXPECT_EQ(question.opcode, audioMasterCanDo);
    EXPECT_EQ(question.text, "sizeWindow");
    const SizingRequest& resize = requests.back();
    EXPECT_EQ(resize.opcode, audioMasterSizeWindow);
    EXPECT_EQ(resize.index, kNewWidth);
    EXPECT_EQ(resize.value, kNewHeight);

    expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
    expectSize(pane, kFrameWidth + 6, kFrameHeight + 6, "pane between host and frame");
    expectSize(host.handle(), kNewWidth, kNewHeight, "host window, resized by the host itself");
    EXPECT_EQ(frame->viewSize(), CRect(0, 0, kNewWidth, kNewHeight));
    EXPECT_FALSE(frame->isDirty());
    EXPECT_EQ(frame->offscreenSize().cx, kFrameWidth);
    EXPECT_EQ(frame->offscreenSize().cy, kFrameHeight);
}

TEST_F(FrameGeometry, HostThatRefusesOrCannotResizeGetsTheWindowRoute) {
    const SizingAnswers refusals[] = {{true, false}, {false, true}};
    for (const SizingAnswers& answers : refusals) {
        HWND pane = makePlainWindow(host.handle(), 10, 10, kFrameWidth + 6, kFrameHeight + 30);
        overrideNestedWindowBorder(3);
        openFrame(pane, editorOf(answers, host.handle()));

        EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

        EXPECT_EQ(sizing->countOf(audioMasterCanDo), 1);
        EXPECT_EQ(sizing->countOf(audioMasterSizeWindow), answers.canSizeWindow ? 1 : 0);
        expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
        expectSize(pane, kNewWidth + 6, kNewHeight + 30, "pane keeps its border");
        expectSize(host.handle(), 900, 800, "host window");
        EXPECT_TRUE(frame->isDirty());
        EXPECT_EQ(frame->offscreenSize().cx, kNewWidth);
        EXPECT_EQ(frame->offscreenSize().cy, kNewHeight);
        frame.reset();
        DestroyWindow(pane);
    }
}

TEST_F(FrameGeometry, ResizingToTheCurrentSizeAnswersFalseAndTouchesNothing) {
    HWND pane = makePlainWindow(host.handle(), 10, 10, kFrameWidth + 6, kFrameHeight + 6);
    openFrame(pane, editorOf({true, true}, host.handle()));

    EXPECT_FALSE(frame->setSize(kFrameWidth, kFrameHeight));

    EXPECT_EQ(resizeRequests(), 0);
    expectSize(frameWindow(), kFrameWidth, kFrameHeight, "frame window");
    expectSize(pane, kFrameWidth + 6, kFrameHeight + 6, "pane");
    expectSize(host.handle(), 900, 800, "host window");
    EXPECT_FALSE(frame->isDirty());
}

TEST_F(FrameGeometry, SetViewSizeResizesLikeSetSizeAndPutsTheFrameAtTheOrigin) {
    overrideNestedWindowBorder(0);
    openFrame(host.handle());

    frame->setViewSize(CRect(10, 20, 10 + kNewWidth, 20 + kNewHeight));

    expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
    EXPECT_EQ(frame->viewSize(), CRect(0, 0, kNewWidth, kNewHeight));
}

// ---------------------------------------------------------------- through the windows

TEST_F(FrameGeometry, ParentWithTwiceTheDialogFrameOfExtraWidthFollowsAndEndsTheWalk) {
    const int border = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    ASSERT_GT(border, 0);
    // The height carries a caption's worth more: only the width ends a walk.
    HWND outer = makePlainWindow(host.handle(), 5, 5, 420, 440);
    HWND pane = makePlainWindow(outer, 0, 0, kFrameWidth + border, kFrameHeight + border + 17);
    openFrame(pane);

    EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

    expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
    expectSize(pane, kNewWidth + border, kNewHeight + border + 17, "pane with the border");
    expectSize(outer, 420, 440, "window above the border");
    EXPECT_EQ(frame->viewSize(), CRect(0, 0, kNewWidth, kNewHeight));
    EXPECT_TRUE(frame->isDirty());
    EXPECT_EQ(frame->offscreenSize().cx, kNewWidth);
    EXPECT_EQ(frame->offscreenSize().cy, kNewHeight);
}

TEST_F(FrameGeometry, ThinBordersAccumulateUntilTheyMakeUpTheWholeBorder) {
    overrideNestedWindowBorder(3);  // a border of 6 pixels
    HWND third = makePlainWindow(host.handle(), 5, 5, kFrameWidth + 6, kFrameHeight + 9);
    HWND second = makePlainWindow(third, 0, 0, kFrameWidth + 4, kFrameHeight + 6);
    HWND first = makePlainWindow(second, 0, 0, kFrameWidth + 2, kFrameHeight + 3);
    openFrame(first);

    EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

    expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
    expectSize(first, kNewWidth + 2, kNewHeight + 3, "first parent");
    expectSize(second, kNewWidth + 4, kNewHeight + 6, "second parent");
    expectSize(third, kNewWidth + 6, kNewHeight + 9, "third parent");
    expectSize(host.handle(), 900, 800, "host window");
}

TEST_F(FrameGeometry, AParentSmallerThanItsChildAddsNoNegativeBorder) {
    overrideNestedWindowBorder(3);
    HWND outer = makePlainWindow(host.handle(), 5, 5, kFrameWidth - 4, kFrameHeight - 4);
    HWND narrow = makePlainWindow(outer, 0, 0, kFrameWidth - 10, kFrameHeight - 10);
    openFrame(narrow);

    EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

    // The narrow parent's negative border counts as none; the next parent is
    // six pixels larger than the narrow one and so receives the full border.
    expectSize(narrow, kNewWidth, kNewHeight, "narrow parent");
    expectSize(outer, kNewWidth + 6, kNewHeight + 6, "outer parent");
}

TEST_F(FrameGeometry, AFrameDirectlyInsideAnMdiClientResizesOnlyItsWindow) {
    overrideNestedWindowBorder(3);
    HWND mdiClient = makeMdiClient(host.handle(), 0, 0, 600, 500);
    ASSERT_NE(mdiClient, nullptr);
    ASSERT_TRUE(VSTGUI::hasWindowClass(mdiClient, "MDIClient"));
    openFrame(mdiClient);

    EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

    expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
    expectSize(mdiClient, 600, 500, "MDI client");
    EXPECT_TRUE(frame->isDirty());
}

TEST_F(FrameGeometry, TheWalkStopsBelowAnMdiClient) {
    overrideNestedWindowBorder(3);
    // Close enough in size that it would follow as a border if it were not
    // an MDI client.
    HWND mdiClient = makeMdiClient(host.handle(), 0, 0, kFrameWidth + 6, kFrameHeight + 6);
    HWND child = makePlainWindow(mdiClient, 0, 0, kFrameWidth + 4, kFrameHeight + 4);
    openFrame(child);

    EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

    expectSize(child, kNewWidth + 4, kNewHeight + 4, "window inside the MDI client");
    expectSize(mdiClient, kFrameWidth + 6, kFrameHeight + 6, "MDI client");
}

TEST_F(FrameGeometry, AMuchLargerParentStaysAndTheViewSizeIsNotReset) {
    HWND wide = makePlainWindow(host.handle(), 5, 5, kFrameWidth + 100, kFrameHeight + 6);
    openFrame(wide);

    EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

    expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
    expectSize(wide, kFrameWidth + 100, kFrameHeight + 6, "wide parent");
    EXPECT_EQ(frame->viewSize(), CRect(0, 0, kNewWidth, kNewHeight));
    EXPECT_FALSE(frame->isDirty());
    EXPECT_EQ(frame->offscreenSize().cx, kFrameWidth);
}

TEST_F(FrameGeometry, EightyPixelsOfExtraStillFollowEightyOneDoNot) {
    overrideNestedWindowBorder(3);  // a border of 6 pixels
    struct Case {
        int extraWidth;
        int extraHeight;
        bool follows;
    };
    const Case cases[] = {{4, 80, true}, {80, 2, true}, {4, 81, false}, {81, 2, false}};
    for (const Case& c : cases) {
        // The outer window ends the walk either way: it completes the
        // border, or its extra exceeds the limit.
        HWND outer = makePlainWindow(host.handle(), 5, 5, kFrameWidth + c.extraWidth + 2, kFrameHeight + c.extraHeight);
        HWND parent = makePlainWindow(outer, 0, 0, kFrameWidth + c.extraWidth, kFrameHeight + c.extraHeight);
        openFrame(parent);

        EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

        expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
        if (c.follows) {
            expectSize(parent, kNewWidth + c.extraWidth, kNewHeight + c.extraHeight, "parent that follows");
        } else {
            expectSize(parent, kFrameWidth + c.extraWidth, kFrameHeight + c.extraHeight, "parent that stays");
            EXPECT_FALSE(frame->isDirty());
        }
        frame.reset();
        DestroyWindow(outer);
    }
}

TEST_F(FrameGeometry, ASystemWithoutDialogFramesResizesOnlyTheFrameWindow) {
    overrideNestedWindowBorder(0);
    HWND pane = makePlainWindow(host.handle(), 5, 5, kFrameWidth + 6, kFrameHeight + 6);
    openFrame(pane);

    EXPECT_TRUE(frame->setSize(kNewWidth, kNewHeight));

    expectSize(frameWindow(), kNewWidth, kNewHeight, "frame window");
    expectSize(pane, kFrameWidth + 6, kFrameHeight + 6, "pane");
    EXPECT_TRUE(frame->isDirty());
    EXPECT_EQ(frame->offscreenSize().cy, kNewHeight);
}

// ---------------------------------------------------------------- position and size

TEST_F(FrameGeometry, SetPositionAlwaysAnswersFalse) {
    openFrame(host.handle());
    const RECT before = screenRect(frameWindow());
    EXPECT_FALSE(frame->setPosition(12, 34));
    EXPECT_EQ(screenRect(frameWindow()).left, before.left);
    EXPECT_EQ(screenRect(frameWindow()).top, before.top);
}

TEST_F(FrameGeometry, PositionOfAFrameInAMuchLargerParentIsItsOwn) {
    openFrame(host.handle());
    SetWindowPos(frameWindow(), nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(positionIs(7, 9));
}

TEST_F(FrameGeometry, PositionIsThatOfTheOutermostWindowOfAboutTheFramesSize) {
    // Pane within 60 pixels of the frame's size, inside a far larger host.
    HWND pane = makePlainWindow(host.handle(), 25, 30, kFrameWidth + 60, kFrameHeight + 10);
    openFrame(pane);
    EXPECT_TRUE(positionIs(25, 30));

    // Sixty-one pixels wider or taller is no longer the editor's own window.
    SetWindowPos(frameWindow(), nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const SIZE tooLarge[] = {{kFrameWidth + 61, kFrameHeight}, {kFrameWidth, kFrameHeight + 61}};
    for (const SIZE& size : tooLarge) {
        SetWindowPos(pane, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_TRUE(positionIs(3, 4)) << size.cx << " x " << size.cy;
    }
}

TEST_F(FrameGeometry, PositionStopsAtAWindowWithACaption) {
    // Everything here is close to the frame's size; the caption decides.
    HWND smallHost = makeHostWindow(100, 90, kFrameWidth + 40, kFrameHeight + 50);
    HWND captioned = makePlainWindow(smallHost, 11, 13, kFrameWidth + 10, kFrameHeight + 30, WS_CAPTION);
    HWND pane = makePlainWindow(captioned, 0, 0, kFrameWidth, kFrameHeight);
    openFrame(pane);
    EXPECT_TRUE(positionIs(11, 13));
}

TEST_F(FrameGeometry, PositionOfATopLevelEditorWindowIsOnTheScreen) {
    HWND editorWindow = makeHostWindow(150, 120, kFrameWidth + 20, kFrameHeight + 20);
    openFrame(editorWindow);
    const RECT rect = screenRect(editorWindow);
    EXPECT_EQ(rect.left, 150);
    EXPECT_TRUE(positionIs(rect.left, rect.top));
}

TEST_F(FrameGeometry, SizeIsTheParentsRectangleInTheWindowTwoLevelsAbove) {
    HWND middle = makePlainWindow(host.handle(), 10, 12, 500, 500);
    HWND parent = makePlainWindow(middle, 3, 4, kFrameWidth + 10, kFrameHeight + 6);
    openFrame(parent);

    CRect byReference;
    ASSERT_TRUE(frame->getSize(byReference));
    EXPECT_EQ(byReference, CRect(13, 16, 13 + kFrameWidth + 10, 16 + kFrameHeight + 6));
    CRect byPointer;
    ASSERT_TRUE(frame->getSize(&byPointer));
    EXPECT_EQ(byPointer, byReference);
    EXPECT_FALSE(frame->getSize(static_cast<CRect*>(nullptr)));
}

TEST_F(FrameGeometry, SizeOfAFrameInATopLevelWindowIsInScreenCoordinates) {
    openFrame(makeHostWindow(210, 160, kFrameWidth, kFrameHeight));
    CRect rect;
    ASSERT_TRUE(frame->getSize(rect));
    EXPECT_EQ(rect, CRect(210, 160, 210 + kFrameWidth, 160 + kFrameHeight));
}

TEST_F(FrameGeometry, EveryQueryAnswersFalseOnceTheHostDestroyedItsWindow) {
    HostWindow editorWindow(210, 160, kFrameWidth + 6, kFrameHeight + 6);
    openFrame(editorWindow.handle(), editorOf({true, true}, editorWindow.handle()));
    editorWindow.destroy();
    pumpPendingMessages();
    ASSERT_FALSE(frame->isOpen());

    int32_t x = 123;
    int32_t y = 456;
    EXPECT_FALSE(frame->getPosition(x, y));
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 456);
    CRect rect(1, 2, 3, 4);
    EXPECT_FALSE(frame->getSize(rect));
    EXPECT_FALSE(frame->getSize(&rect));
    EXPECT_EQ(rect, CRect(1, 2, 3, 4));
    EXPECT_FALSE(frame->setSize(kNewWidth, kNewHeight));
    EXPECT_FALSE(frame->setPosition(0, 0));
    EXPECT_EQ(resizeRequests(), 0);
    EXPECT_EQ(frame->viewSize(), CRect(0, 0, kFrameWidth, kFrameHeight));
}

}  // namespace
