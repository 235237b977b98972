// Dragging text and files over the editor: a real OLE drag from another
// thread moved by real pointer input, the drop target's own interface, the
// item counting of a drag, and the target's registration and lifetime.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "toolkit/views/CFrame.h"
#include "toolkit/views/CViewContainer.h"
#include "toolkit/platform/CDragContainer.h"
#include "platform/win32/CDropTarget.h"
#include "toolkit/platform/DropTargetRegistration.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/win32/support/DragRecordingView.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/MessagePump.h"
#include "tests/win32/support/OleDragSession.h"
#include "tests/win32/support/PointerScript.h"
#include "tests/win32/support/TestDataObject.h"

using VSTGUI::CDragContainer;
using VSTGUI::CDropTarget;
using VSTGUI::CFrame;
using VSTGUI::CPoint;
using VSTGUI::CRect;
using VSTGUI::CViewContainer;
using namespace quavixtest;

namespace {

// The host window's client area starts at its screen position.
const POINT kHostOrigin = {100, 80};
// A view directly in the frame, and one nested in a container that sits
// at kInnerOrigin inside the frame.
const CRect kLeftSize(10, 10, 150, 150);
const CPoint kInnerOrigin(170, 20);
const CRect kNestedSize(10, 30, 140, 200);

const CPoint kOverLeft(40, 50);  // frame coordinates
const CPoint kOverLeftLater(60, 70);
const CPoint kOverNested(200, 100);  // (30, 80) in the container
const CPoint kOverNestedLater(220, 150);
const CPoint kOverNoView(100, 300);
const POINT kOutside = {kHostOrigin.x + 600, kHostOrigin.y + 600};  // off the host window

const DWORD kRestMs = 300;
const DWORD kDragTimeoutMs = 20000;

std::string payloadName(DragPayload payload) {
    static const char* const names[] = {"Text", "ThreeFiles", "Neither", "FileListWithoutMemory"};
    return names[int(payload)];
}

POINT onScreen(const CPoint& framePoint) {
    POINT point = {kHostOrigin.x + framePoint.x, kHostOrigin.y + framePoint.y};
    return point;
}

// Puts the pointer somewhere before a drag starts, and waits until the
// window system agrees, so that no earlier position reaches the drag.
void parkPointer(POINT screenPoint) {
    PointerScript::movePointerTo(screenPoint);
    pumpUntil(
        [screenPoint] {
            POINT now;
            return GetCursorPos(&now) && now.x == screenPoint.x && now.y == screenPoint.y;
        },
        2000);
    pumpUntil([] { return false; }, 100);
}

std::string step(const DragRecord& entry) {
    static const char* const kinds[] = {"enter", "move", "leave", "drop"};
    return entry.view + "." + kinds[int(entry.kind)];
}

// Every record in full, for the message of a failed comparison.
std::string describe(const std::vector<DragRecord>& log) {
    std::string text;
    for (const DragRecord& entry : log) {
        text += step(entry) + " at " + std::to_string(entry.where.x) + "," + std::to_string(entry.where.y) +
                " pointer " + std::to_string(entry.pointer.x) + "," + std::to_string(entry.pointer.y) + "\n";
    }
    return text;
}

// Consecutive moves of one view count once: how many a drag produces
// depends on timing, their order does not.
std::vector<std::string> compressed(const std::vector<DragRecord>& log) {
    std::vector<std::string> steps;
    for (const DragRecord& entry : log) {
        if (entry.kind != DragEventKind::move || steps.empty() || steps.back() != step(entry))
            steps.push_back(step(entry));
    }
    return steps;
}

class DragDrop : public ::testing::Test {
protected:
    void SetUp() override {
        OleInitialize(nullptr);
        targetsBefore = CDropTarget::getLiveCount();
        frame.reset(new CFrame(CRect(0, 0, 330, 354), host.handle(), nullptr));
        left = new DragRecordingView(kLeftSize, "left", &log);
        frame->addView(left);
        inner = new CViewContainer(CRect(kInnerOrigin.x, kInnerOrigin.y, 320, 300));
        frame->addView(inner);
        nested = new DragRecordingView(kNestedSize, "nested", &log);
        inner->addView(nested);
        pumpPendingMessages();
    }
    void TearDown() override {
        frame.reset();
        // A target used across threads is let go once OLE's last remote
        // release has been dispatched.
        pumpUntil([this] { return CDropTarget::getLiveCount() == targetsBefore; }, 2000);
        EXPECT_EQ(CDropTarget::getLiveCount(), targetsBefore);
        OleUninitialize();
    }

    HWND frameWindow() const { return static_cast<HWND>(frame->getSystemWindow()); }

    // Another application's drag of the payload, with the pointer parked
    // outside the editor first and then moved along the path by a hand of
    // its own, ended as told at the last point.
    void dragAlong(OleDragSession& drag, const std::vector<PointerScript::Step>& path, DragCommand end) {
        parkPointer(path.front().screenPoint);
        PointerScript hand;
        drag.start();
        hand.run(path.data(), static_cast<int>(path.size()), [&drag, end] { drag.finish(end); });
        ASSERT_TRUE(pumpUntil([&] { return drag.finished(); }, kDragTimeoutMs)) << "the drag never ended";
    }

    // The point a view must have been given for where the pointer was.
    static CPoint expectedPoint(const DragRecord& entry) {
        CPoint point(entry.pointer.x - kHostOrigin.x, entry.pointer.y - kHostOrigin.y);
        if (entry.view == "nested") {
            point.x -= kInnerOrigin.x;
            point.y -= kInnerOrigin.y;
        }
        return point;
    }

    // Where a view's own coordinates start on the screen.
    static CPoint originOf(const DragRecord& entry) {
        CPoint origin(kHostOrigin.x, kHostOrigin.y);
        if (entry.view == "nested") {
            origin.x += kInnerOrigin.x;
            origin.y += kInnerOrigin.y;
        }
        return origin;
    }

    // With the pointer moving on another thread, an event may be handled
    // just as the pointer jumps on; but every point must be one where the
    // pointer was put, seen from the view's own origin.
    void expectPointsAmong(const std::vector<POINT>& screenPoints) {
        for (const DragRecord& entry : log) {
            EXPECT_EQ(entry.screenOrigin, originOf(entry)) << entry.view;
            const CPoint onScreen(entry.screenOrigin.x + entry.where.x, entry.screenOrigin.y + entry.where.y);
            bool known = false;
            for (const POINT& point : screenPoints)
                known = known || (onScreen.x == point.x && onScreen.y == point.y);
            EXPECT_TRUE(known) << entry.view << " at " << entry.where.x << ", " << entry.where.y;
        }
    }

    void expectPointsInOwnCoordinates() {
        for (const DragRecord& entry : log) {
            const CPoint expected = expectedPoint(entry);
            EXPECT_EQ(entry.where.x, expected.x) << entry.view;
            EXPECT_EQ(entry.where.y, expected.y) << entry.view;
            EXPECT_EQ(entry.screenOrigin.x + entry.where.x, entry.pointer.x) << entry.view;
            EXPECT_EQ(entry.screenOrigin.y + entry.where.y, entry.pointer.y) << entry.view;
        }
    }

    HostWindow host{kHostOrigin.x, kHostOrigin.y, 400, 420};
    std::unique_ptr<CFrame> frame;
    std::vector<DragRecord> log;
    DragRecordingView* left = nullptr;
    CViewContainer* inner = nullptr;
    DragRecordingView* nested = nullptr;
    int32_t targetsBefore = 0;
};

// ---------------------------------------------------------------- real OLE drags

struct RealDragCase {
    DragPayload payload;
    int itemCount;
};

void PrintTo(const RealDragCase& c, std::ostream* out) {
    *out << payloadName(c.payload) << " counting " << c.itemCount;
}

class RealOleDrag : public DragDrop, public ::testing::WithParamInterface<RealDragCase> {};

TEST_P(RealOleDrag, ViewsUnderThePointerReceiveEnterMoveLeaveAndDrop) {
    OleDragSession drag(GetParam().payload);
    const std::vector<PointerScript::Step> path = {
        {kOutside, 200},
        {onScreen(kOverLeft), kRestMs},
        {onScreen(kOverLeftLater), kRestMs},
        {onScreen(kOverNested), kRestMs},
        {onScreen(CPoint(360, 400)), kRestMs},  // over the host, off the editor
        {onScreen(kOverNestedLater), kRestMs},
    };
    ASSERT_NO_FATAL_FAILURE(dragAlong(drag, path, DragCommand::drop));

    const std::vector<std::string> expected = {"left.enter",  "left.move",    "left.leave",   "nested.enter",
                                               "nested.move", "nested.leave", "nested.enter", "nested.move",
                                               "nested.drop", "nested.leave"};
    EXPECT_EQ(compressed(log), expected) << describe(log);
    for (const DragRecord& entry : log)
        EXPECT_EQ(entry.itemCount, GetParam().itemCount);
    std::vector<POINT> visited;
    for (const PointerScript::Step& step : path)
        visited.push_back(step.screenPoint);
    expectPointsAmong(visited);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().where, kOverLeft);
    const std::vector<DragRecord> nestedEvents = recordsOf(log, "nested");
    ASSERT_FALSE(nestedEvents.empty());
    EXPECT_EQ(nestedEvents.front().where, CPoint(kOverNested.x - kInnerOrigin.x, kOverNested.y - kInnerOrigin.y));
    const CPoint droppedAt(kOverNestedLater.x - kInnerOrigin.x, kOverNestedLater.y - kInnerOrigin.y);
    EXPECT_EQ(nestedEvents.back().where, droppedAt);
    EXPECT_EQ(nestedEvents[nestedEvents.size() - 2].where, droppedAt);

    // While over the editor the source was shown a move; at the drop it
    // learns that nothing was taken, so it keeps its data.
    EXPECT_EQ(drag.result(), DRAGDROP_S_DROP);
    EXPECT_EQ(drag.effect(), DWORD(DROPEFFECT_NONE));
    EXPECT_NE(drag.feedbackEffects() & DROPEFFECT_MOVE, 0u);
    EXPECT_EQ(CDropTarget::getCurrentDragContainer(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Payloads, RealOleDrag,
                         ::testing::Values(RealDragCase{DragPayload::text, 1}, RealDragCase{DragPayload::threeFiles, 3},
                                           RealDragCase{DragPayload::neither, 0}),
                         [](const ::testing::TestParamInfo<RealDragCase>& info) {
                             return payloadName(info.param.payload);
                         });

TEST_F(DragDrop, ACancelledRealDragLeavesTheViewAndDropsNothing) {
    OleDragSession drag(DragPayload::text);
    ASSERT_NO_FATAL_FAILURE(dragAlong(drag, {{kOutside, 200}, {onScreen(kOverLeft), kRestMs}}, DragCommand::cancel));

    const std::vector<std::string> expected = {"left.enter", "left.move", "left.leave"};
    EXPECT_EQ(compressed(log), expected);
    EXPECT_EQ(drag.result(), DRAGDROP_S_CANCEL);
    EXPECT_EQ(CDropTarget::getCurrentDragContainer(), nullptr);
}

// ---------------------------------------------------------------- the target's interface

// A target of our own on the frame, held by the test instead of OLE.
class TargetHeld {
public:
    explicit TargetHeld(CFrame* frame) : target(new CDropTarget(frame)) { target->AddRef(); }
    ~TargetHeld() { target->Release(); }
    CDropTarget* operator->() const { return target; }
    CDropTarget* get() const { return target; }

private:
    CDropTarget* target;
};

TEST_F(DragDrop, QueryInterfaceAnswersForTheDropTargetAndIUnknownOnly) {
    const int32_t live = CDropTarget::getLiveCount();
    CDropTarget* target = new CDropTarget(frame.get());
    EXPECT_EQ(CDropTarget::getLiveCount(), live + 1);
    EXPECT_EQ(target->AddRef(), 1u);

    void* unknown = nullptr;
    ASSERT_EQ(target->QueryInterface(IID_IUnknown, &unknown), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(target));
    void* dropTarget = nullptr;
    ASSERT_EQ(target->QueryInterface(IID_IDropTarget, &dropTarget), S_OK);
    EXPECT_EQ(dropTarget, static_cast<IDropTarget*>(target));
    EXPECT_EQ(target->AddRef(), 4u);  // one each for the two answers

    const IID refused[] = {IID_IDataObject, IID_IDropSource, IID_IMarshal, IID_IClassFactory};
    for (const IID& iid : refused) {
        void* other = target;
        EXPECT_EQ(target->QueryInterface(iid, &other), E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

    EXPECT_EQ(target->Release(), 3u);
    EXPECT_EQ(target->Release(), 2u);
    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(CDropTarget::getLiveCount(), live + 1);
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(CDropTarget::getLiveCount(), live);
}

TEST_F(DragDrop, DragOverDropAndLeaveWithoutEnterDoNothing) {
    TargetHeld target(frame.get());
    SetCursorPos(onScreen(kOverLeft).x, onScreen(kOverLeft).y);
    TestDataObject* data = new TestDataObject(DragPayload::text, true);
    const POINTL point = {onScreen(kOverLeft).x, onScreen(kOverLeft).y};

    DWORD effect = 0x1234;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, 0x1234u);
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_EQ(target->Drop(data, MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(target->DragOver(MK_LBUTTON, point, nullptr), S_OK);

    EXPECT_TRUE(log.empty());
    EXPECT_EQ(data->dataRequests(), 0);
    EXPECT_EQ(CDropTarget::getCurrentDragContainer(), nullptr);
    data->Release();
}

struct CountCase {
    DragPayload payload;
    int itemCount;
    int requests;  // text is asked for first, files only after
    int media;     // media handed out, each to be given back
};

void PrintTo(const CountCase& c, std::ostream* out) { *out << payloadName(c.payload) << " counting " << c.itemCount; }

class DirectDrag : public DragDrop, public ::testing::WithParamInterface<CountCase> {};

TEST_P(DirectDrag, EnterOverAndDropReachTheViewWithTheItemCount) {
    const CountCase& expected = GetParam();
    TargetHeld target(frame.get());
    TestDataObject* data = new TestDataObject(expected.payload, true);
    SetCursorPos(onScreen(kOverNested).x, onScreen(kOverNested).y);
    const POINTL point = {0, 0};  // what OLE passes is not used

    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(data, MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));
    ASSERT_NE(CDropTarget::getCurrentDragContainer(), nullptr);
    EXPECT_EQ(CDropTarget::getCurrentDragContainer()->getItemCount(), expected.itemCount);
    EXPECT_EQ(CDropTarget::getCurrentDragContainer()->getDataObject(), static_cast<IDataObject*>(data));
    EXPECT_EQ(data->dataRequests(), expected.requests);
    EXPECT_EQ(data->mediaHandedOut(), expected.media);
    EXPECT_EQ(data->mediaReleased(), expected.media);

    SetCursorPos(onScreen(kOverNestedLater).x, onScreen(kOverNestedLater).y);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(data, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(CDropTarget::getCurrentDragContainer(), nullptr);

    const std::vector<DragEventKind> kinds = {DragEventKind::enter, DragEventKind::move, DragEventKind::drop,
                                              DragEventKind::leave};
    EXPECT_EQ(kindsOf(log), kinds);
    for (const DragRecord& entry : log) {
        EXPECT_EQ(entry.view, "nested");
        EXPECT_EQ(entry.itemCount, expected.itemCount);
    }
    expectPointsInOwnCoordinates();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].where, CPoint(kOverNested.x - kInnerOrigin.x, kOverNested.y - kInnerOrigin.y));
    EXPECT_EQ(log[1].where, CPoint(kOverNestedLater.x - kInnerOrigin.x, kOverNestedLater.y - kInnerOrigin.y));
    data->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, DirectDrag,
    ::testing::Values(CountCase{DragPayload::text, 1, 1, 1}, CountCase{DragPayload::threeFiles, 3, 2, 1},
                      CountCase{DragPayload::neither, 0, 2, 0}, CountCase{DragPayload::fileListWithoutMemory, 0, 2, 1}),
    [](const ::testing::TestParamInfo<CountCase>& info) { return payloadName(info.param.payload); });

TEST_F(DragDrop, LeavingTheWindowReleasesTheDragAndTellsTheView) {
    TargetHeld target(frame.get());
    TestDataObject* data = new TestDataObject(DragPayload::threeFiles, true);
    SetCursorPos(onScreen(kOverLeft).x, onScreen(kOverLeft).y);
    DWORD effect = 0;
    target->DragEnter(data, 0, POINTL(), &effect);
    SetCursorPos(onScreen(kOverNoView).x, onScreen(kOverNoView).y);
    target->DragOver(0, POINTL(), &effect);  // off every view: the view is left
    EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(target->DragLeave(), S_OK);

    const std::vector<DragEventKind> kinds = {DragEventKind::enter, DragEventKind::leave};
    EXPECT_EQ(kindsOf(log), kinds);
    EXPECT_EQ(CDropTarget::getCurrentDragContainer(), nullptr);
    // The next drag starts afresh.
    target->DragOver(0, POINTL(), &effect);
    EXPECT_EQ(log.size(), 2u);
    data->Release();
}

TEST_F(DragDrop, ASecondEnterReplacesTheDragInProgress) {
    TargetHeld target(frame.get());
    TestDataObject* text = new TestDataObject(DragPayload::text, true);
    TestDataObject* files = new TestDataObject(DragPayload::threeFiles, true);
    SetCursorPos(onScreen(kOverLeft).x, onScreen(kOverLeft).y);
    DWORD effect = 0;
    target->DragEnter(text, 0, POINTL(), &effect);
    target->DragEnter(files, 0, POINTL(), &effect);

    ASSERT_NE(CDropTarget::getCurrentDragContainer(), nullptr);
    EXPECT_EQ(CDropTarget::getCurrentDragContainer()->getDataObject(), static_cast<IDataObject*>(files));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].kind, DragEventKind::enter);
    EXPECT_EQ(log[0].itemCount, 1);
    EXPECT_EQ(log[1].kind, DragEventKind::leave);
    EXPECT_EQ(log[2].kind, DragEventKind::enter);
    EXPECT_EQ(log[2].itemCount, 3);
    target->DragLeave();
    EXPECT_EQ(CDropTarget::getCurrentDragContainer(), nullptr);
    text->Release();
    files->Release();
}

TEST_F(DragDrop, EnterWithoutDataOrWithoutEffectIsSafe) {
    TargetHeld target(frame.get());
    SetCursorPos(onScreen(kOverLeft).x, onScreen(kOverLeft).y);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(nullptr, 0, POINTL(), &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(CDropTarget::getCurrentDragContainer(), nullptr);
    EXPECT_TRUE(log.empty());

    TestDataObject* data = new TestDataObject(DragPayload::text, true);
    EXPECT_EQ(target->DragEnter(data, 0, POINTL(), nullptr), S_OK);
    EXPECT_EQ(target->Drop(data, 0, POINTL(), nullptr), S_OK);
    EXPECT_EQ(compressed(log), (std::vector<std::string>{"left.enter", "left.drop", "left.leave"}));
    data->Release();
}

// ---------------------------------------------------------------- counting

TEST(DragContainerCounting, CountsTextAsOneAndFilesOneByOne) {
    struct Case {
        DragPayload payload;
        int itemCount;
    };
    const Case cases[] = {{DragPayload::text, 1},
                          {DragPayload::threeFiles, 3},
                          {DragPayload::neither, 0},
                          {DragPayload::fileListWithoutMemory, 0}};
    for (const Case& c : cases) {
        TestDataObject* data = new TestDataObject(c.payload, true);
        CDragContainer* container = new CDragContainer(data);
        EXPECT_EQ(container->getItemCount(), c.itemCount);
        EXPECT_EQ(container->getDataObject(), static_cast<IDataObject*>(data));
        EXPECT_EQ(data->mediaReleased(), data->mediaHandedOut());
        container->dropReference();
        data->Release();
    }
    CDragContainer* empty = new CDragContainer(nullptr);
    EXPECT_EQ(empty->getItemCount(), 0);
    empty->dropReference();
}

// ---------------------------------------------------------------- registration and lifetime

TEST_F(DragDrop, TheFrameRegistersItsWindowAndRevokingDestroysTheTarget) {
    EXPECT_TRUE(frame->isDropActive());
    EXPECT_EQ(CDropTarget::getLiveCount(), targetsBefore + 1);
    TargetHeld other(nullptr);
    EXPECT_EQ(RegisterDragDrop(frameWindow(), other.get()), DRAGDROP_E_ALREADYREGISTERED);

    EXPECT_TRUE(frame->setDropActive(false));
    EXPECT_FALSE(frame->isDropActive());
    EXPECT_EQ(CDropTarget::getLiveCount(), targetsBefore + 1);  // only the test's own is left
    ASSERT_EQ(RegisterDragDrop(frameWindow(), other.get()), S_OK);
    EXPECT_EQ(RevokeDragDrop(frameWindow()), S_OK);

    EXPECT_TRUE(frame->setDropActive(false));  // already inactive: nothing to do
    EXPECT_TRUE(frame->setDropActive(true));
    EXPECT_TRUE(frame->setDropActive(true));  // registers afresh, the old one goes
    EXPECT_EQ(CDropTarget::getLiveCount(), targetsBefore + 2);
    frame.reset();
    EXPECT_EQ(CDropTarget::getLiveCount(), targetsBefore + 1);
}

TEST_F(DragDrop, AHostDestroyingItsWindowReleasesTheTarget) {
    ASSERT_EQ(CDropTarget::getLiveCount(), targetsBefore + 1);
    host.destroy();
    pumpPendingMessages();
    EXPECT_FALSE(frame->isOpen());
    EXPECT_FALSE(frame->isDropActive());
    EXPECT_EQ(CDropTarget::getLiveCount(), targetsBefore);
}

TEST_F(DragDrop, AFrameWithoutWindowCannotBecomeADropTarget) {
    CFrame windowless(CRect(0, 0, 100, 100), nullptr, nullptr);
    EXPECT_FALSE(windowless.isDropActive());
    EXPECT_FALSE(windowless.setDropActive(true));
    EXPECT_TRUE(windowless.setDropActive(false));
    EXPECT_EQ(CDropTarget::getLiveCount(), targetsBefore + 1);  // the fixture's frame only
}

TEST_F(DragDrop, RegistrationFailsCleanlyOnARegisteredWindowOrNone) {
    const int32_t live = CDropTarget::getLiveCount();
    EXPECT_EQ(VSTGUI::registerDropTarget(frameWindow(), frame.get()), nullptr);
    EXPECT_EQ(VSTGUI::registerDropTarget(nullptr, frame.get()), nullptr);
    EXPECT_EQ(CDropTarget::getLiveCount(), live);
}

TEST_F(DragDrop, ATargetStillHeldAfterRevokingReachesNoFrame) {
    ASSERT_TRUE(frame->setDropActive(false));
    CDropTarget* target = VSTGUI::registerDropTarget(frameWindow(), frame.get());
    ASSERT_NE(target, nullptr);
    target->AddRef();  // as a drag in progress would hold it
    VSTGUI::revokeDropTarget(frameWindow(), target);
    EXPECT_EQ(RevokeDragDrop(frameWindow()), DRAGDROP_E_NOTREGISTERED);

    TestDataObject* data = new TestDataObject(DragPayload::text, true);
    SetCursorPos(onScreen(kOverLeft).x, onScreen(kOverLeft).y);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(data, 0, POINTL(), &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(target->Drop(data, 0, POINTL(), &effect), S_OK);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(data->dataRequests(), 0);

    const int32_t live = CDropTarget::getLiveCount();
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(CDropTarget::getLiveCount(), live - 1);
    data->Release();
}

}  // namespace
