// An XDND drag from another X client over a frame of the toolkit made in
// this process, with views that record what reaches them: the view under
// the pointer gets enter, moves and the drop, in its own coordinates, and
// the drag counts one item for a text and one per file for a file list.
#include <gtest/gtest.h>
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/views/CFrame.h"
#include "toolkit/views/CView.h"
#include "toolkit/platform/CDragContainer.h"
#include "tests/x11/support/XdndSource.h"

using namespace VSTGUI;
using quavixtest::XdndSource;

namespace {

constexpr int kHostX = 100;
constexpr int kHostY = 80;
const CRect kLeftSize(10, 10, 150, 150);
const CRect kRightSize(170, 20, 320, 300);
constexpr unsigned kIdleMs = 20;

struct DragRecord {
    std::string view;
    std::string kind;
    CPoint where;
    int32_t itemCount;
};

class RecordingView : public CView {
public:
    RecordingView(const CRect& size, const char* name, std::vector<DragRecord>* log)
        : CView(size), name(name), log(log) {}
    void onDragEnter(CDrawContext*, CDragContainer* drag, const CPoint& where) override { note("enter", drag, where); }
    void onDragMove(CDrawContext*, CDragContainer* drag, const CPoint& where) override { note("move", drag, where); }
    void onDragLeave(CDrawContext*, CDragContainer* drag, const CPoint& where) override { note("leave", drag, where); }
    bool onDrop(CDrawContext*, CDragContainer* drag, const CPoint& where) override {
        note("drop", drag, where);
        return true;
    }

private:
    void note(const char* kind, CDragContainer* drag, const CPoint& where) {
        log->push_back(DragRecord{name, kind, where, drag ? drag->getItemCount() : -1});
    }
    std::string name;
    std::vector<DragRecord>* log;
};

struct DropCase {
    const char* name;
    const char* type;
    const char* data;
    int32_t itemCount;
};
void PrintTo(const DropCase& c, std::ostream* out) { *out << c.name; }

class DropViewsTest : public ::testing::TestWithParam<DropCase> {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP()
                << "DISPLAY is unset: the X11 drop tests need an X server (xvfb-run scripts/run/linux-tests.sh)";
        display = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, display);
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = True;
        host = XCreateWindow(display, DefaultRootWindow(display), kHostX, kHostY, 330, 354, 0, CopyFromParent,
                             InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(display, host);
        XSync(display, False);
        frame.reset(new CFrame(CRect(0, 0, 330, 354), reinterpret_cast<WindowHandle>(host), nullptr));
        frame->addView(new RecordingView(kLeftSize, "left", &log));
        frame->addView(new RecordingView(kRightSize, "right", &log));
    }
    void TearDown() override {
        frame.reset();
        if (display) {
            XDestroyWindow(display, host);
            XCloseDisplay(display);
        }
    }

    Display* display = nullptr;
    Window host = 0;
    std::unique_ptr<CFrame> frame;
    std::vector<DragRecord> log;
};

TEST_P(DropViewsTest, TheViewUnderThePointerGetsTheDragWithItsItems) {
    const XdndSource source(GetParam().type, GetParam().data);
    const std::vector<std::pair<int, int>> points = {
        {kHostX + 40, kHostY + 50}, {kHostX + 60, kHostY + 70}, {kHostX + 200, kHostY + 100}};
    std::atomic<bool> done{false};
    XdndSource::Result result;
    std::thread drag([&] {
        result = source.dragAndDrop(points, 10000);
        done = true;
    });
    while (!done) {
        frame->idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(kIdleMs));
    }
    drag.join();
    frame->idle();
    ASSERT_TRUE(result.finished) << "no XdndFinished after the drop";
    ASSERT_FALSE(log.empty()) << "no view saw the drag";
    EXPECT_EQ("left", log.front().view);
    EXPECT_EQ("enter", log.front().kind);
    // Views directly in the frame get frame coordinates.
    EXPECT_EQ(CPoint(40, 50), log.front().where);
    int drops = 0;
    for (const DragRecord& entry : log) {
        EXPECT_EQ(GetParam().itemCount, entry.itemCount) << entry.view << "." << entry.kind;
        if (entry.kind == "drop") {
            ++drops;
            EXPECT_EQ("right", entry.view);
            EXPECT_EQ(CPoint(200, 100), entry.where);
        }
    }
    EXPECT_EQ(1, drops);
    EXPECT_NE("XdndActionMove", result.finish.action);
}

INSTANTIATE_TEST_SUITE_P(Payloads, DropViewsTest,
                         ::testing::Values(DropCase{"Text", "text/plain", "a wah for the bridge", 1},
                                           DropCase{"ThreeFiles", "text/uri-list",
                                                    "file:///tmp/one.wav\r\nfile:///tmp/two%20words.wav\r\n"
                                                    "file:///tmp/three.fxp\r\n",
                                                    3}),
                         [](const ::testing::TestParamInfo<DropCase>& info) { return info.param.name; });

}  // namespace
