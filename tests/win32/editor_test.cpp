// The effect's editor as a host drives it: the effect created in-process
// through its entry point with a recording host callback, the editor opened
// on a host window, played with real input and parameter traffic, and what
// the window shows compared with pictures made from the bitmap resources
// and plain GDI.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/controls/CParamDisplay.h"
#include "toolkit/controls/CRockerSwitch.h"
#include "toolkit/controls/CSlider.h"
#include "quavix/QuavixEditor.h"
#include "quavix/QuavixConfig.h"
#include "toolkit/views/CFrame.h"
#include "framework/ExtendedEffectBase.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/platform/FrameWindow.h"
#include "toolkit/geometry/Scaling.h"
#include "tests/editor/EditorExpectations.h"
#include "tests/native/EventList.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/win32/support/EffectUnderTest.h"
#include "tests/win32/support/GuiObjectCounts.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/MessagePump.h"
#include "tests/win32/support/ReadoutPicture.h"
#include "tests/win32/support/RealInput.h"
#include "tests/win32/support/WindowPixels.h"

// Every allocation of this program goes through here, so that a test can
// count what is still alive. (The operators below are the pair that owns
// malloc and free here, whatever the compiler assumes.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<long> liveAllocations{0};
}

void* operator new(std::size_t size) {
    void* memory = std::malloc(size ? size : 1);
    if (!memory)
        throw std::bad_alloc();
    ++liveAllocations;
    return memory;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    void* memory = std::malloc(size ? size : 1);
    if (memory)
        ++liveAllocations;
    return memory;
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* memory) noexcept {
    if (!memory)
        return;
    --liveAllocations;
    std::free(memory);
}
void operator delete[](void* memory) noexcept { operator delete(memory); }
void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }
void operator delete[](void* memory, std::size_t) noexcept { operator delete(memory); }

using namespace VSTGUI;
using namespace quavix;
using quavixtest::EffectUnderTest;
using quavixtest::HostRequest;
using quavixtest::HostWindow;
using quavixtest::InputScript;
using quavixtest::ModifierKey;
using quavixtest::pumpPendingMessages;
using quavixtest::RecordingHost;
using quavixtest::ResourcePicture;
using quavixtest::WindowPixels;

namespace {

constexpr int kHostX = 80;
constexpr int kHostY = 60;
// The layout and the gestures' values, shared with the X11 editor's tests.
using namespace quavixtest::expected;

const quavixtest::ReadoutLook kReadoutLook = {0xCCCCCC, 0xEEEEEE, 0x333333, 11, 400};

// The whole editor as it must look, built from the resources and plain GDI:
// the background, each slider's track and handle, the rocker at rest, the
// read-outs.
class ExpectedPicture {
public:
    ExpectedPicture() : background(kBackgroundBitmap), pixels(background.pixels) {}

    void slider(int index, int handleTop) {
        const CRect& at = kSliderRects[index];
        paste(quavixtest::sliderPicture(handleTop), at.width(), at.height(), at.left, at.top);
    }
    void rockerAtRest() {
        const ResourcePicture rocker(kRockerBitmap);
        const int stateHeight = rocker.height / 3;
        paste(rocker.rows(stateHeight, stateHeight), rocker.width, stateHeight, kRockerRect.left, kRockerRect.top);
    }
    void readout(HWND window, const CRect& at, const char* text) {
        paste(quavixtest::renderReadout(window, at.width(), at.height(), kReadoutLook, text), at.width(), at.height(),
              at.left, at.top);
    }
    // The pixels of one area, top-down rows.
    std::vector<uint32_t> area(const CRect& at) const {
        std::vector<uint32_t> part;
        for (int y = at.top; y < at.bottom; ++y)
            for (int x = at.left; x < at.right; ++x)
                part.push_back(pixels[static_cast<size_t>(y) * background.width + x]);
        return part;
    }

private:
    void paste(const std::vector<uint32_t>& source, int width, int height, int left, int top) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[static_cast<size_t>(top + y) * background.width + left + x] =
                    source[static_cast<size_t>(y) * width + x];
    }

    ResourcePicture background;
    std::vector<uint32_t> pixels;
};

::testing::AssertionResult looksLike(const WindowPixels& seen, const ExpectedPicture& expected,
                                     const CRect& area = CRect(0, 0, kEditorWidth, kEditorHeight)) {
    if (seen.width() < kEditorWidth || seen.height() < kEditorHeight)
        return ::testing::AssertionFailure() << "window is " << seen.width() << " x " << seen.height();
    return quavixtest::regionMatches(seen, area.left, area.top, expected.area(area), area.width(), area.height());
}

std::string freqText(float value) {
    char text[kParamDisplayTextSize];
    QuavixEditor::freqToText(value, text, nullptr);
    return text;
}

double millisecondsTaken(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One effect with its editor on a borderless host window at a known place.
// A host that scales its windows tells the editor its factor before open;
// the window is then that much larger and every point below is given in
// toolkit units and reached at its device pixel.
class EditorTest : public ::testing::Test {
protected:
    explicit EditorTest(float hostScale = 0.0f)
        : hostScale(hostScale),
          factor(hostScale > 0.0f ? hostScale : 1.0),
          host(kHostX, kHostY, scaleCoordinate(kEditorWidth, factor), scaleCoordinate(kEditorHeight, factor)) {
        RecordingHost::instance().clear();
    }
    ~EditorTest() override { RecordingHost::instance().setObserver(nullptr); }

    QuavixEditor* editor() const { return plugin.editor(); }
    AEffect* record() const { return plugin.aeffect(); }
    void openEditor() {
        ASSERT_NE(nullptr, editor());
        if (hostScale > 0.0f) {
            ASSERT_EQ(1, plugin.setHostScale(hostScale));
        }
        ASSERT_TRUE(plugin.openAndShowEditor(host.handle()));
        // Else every gesture below would play at the wrong scale unnoticed.
        RECT client = {};
        ASSERT_TRUE(GetClientRect(frameWindow(), &client));
        ASSERT_EQ(pixels(kEditorWidth), client.right);
        ASSERT_EQ(pixels(kEditorHeight), client.bottom);
    }
    HWND frameWindow() const { return plugin.frameWindow(); }
    // Lets the window paint and the editor redraw what changed.
    void idle() {
        pumpPendingMessages();
        plugin.idle();
    }
    POINT screen(int x, int y) const { return host.toScreen(pixels(x), pixels(y)); }
    int32_t pixels(int32_t units) const { return scaleCoordinate(units, factor); }
    WindowPixels seen() const { return WindowPixels(frameWindow()); }
    std::vector<HostRequest> edits() const {
        return RecordingHost::instance().requests(record(),
                                                  {audioMasterAutomate, audioMasterBeginEdit, audioMasterEndEdit});
    }
    std::vector<float> automatedValues(VstInt32 index) const {
        std::vector<float> values;
        for (const HostRequest& request : RecordingHost::instance().requests(record(), {audioMasterAutomate}))
            if (request.index == index)
                values.push_back(request.value);
        return values;
    }
    // The text a read-out shows, checked against GDI's rendering of it and
    // of a neighbouring text (so that the comparison can tell texts apart).
    // At the frame's scale: the box and its outline scaled, the text at the
    // scaled font size.
    ::testing::AssertionResult readoutShows(const CRect& at, const char* text) const {
        const CRect device = scaleRect(at, factor);
        quavixtest::ReadoutLook look = kReadoutLook;
        look.fontHeight = pixels(look.fontHeight);
        look.frameWidth = pixels(look.frameWidth);
        const auto matches = [&](const WindowPixels& now, const char* shown) {
            return quavixtest::regionMatches(
                now, device.left, device.top,
                quavixtest::renderReadout(frameWindow(), device.width(), device.height(), look, shown), device.width(),
                device.height());
        };
        const std::string wrong = std::string(text) + "0";
        const WindowPixels now = seen();
        if (matches(now, wrong.c_str()))
            return ::testing::AssertionFailure()
                   << "the read-out cannot tell \"" << text << "\" from \"" << wrong << "\"";
        return matches(now, text) << " (read-out \"" << text << "\")";
    }
    ::testing::AssertionResult sliderShows(VstInt32 index, int handleTop) const {
        const CRect device = scaleRect(kSliderRects[index], factor);
        return quavixtest::regionMatches(seen(), device.left, device.top,
                                         quavixtest::sliderPicture(handleTop, pixels(1)), device.width(),
                                         device.height());
    }

    const float hostScale;
    const double factor;
    HostWindow host;
    EffectUnderTest plugin;
};

// The gestures with real input at each scale a host may give: the same
// values and edits as at 1x from the same points in toolkit units.
class RealInputTest : public ::testing::WithParamInterface<float>, public EditorTest {
protected:
    RealInputTest() : EditorTest(GetParam()) {}
};

std::string scaleName(const ::testing::TestParamInfo<float>& info) {
    return "Scale" + std::to_string(static_cast<int>(info.param));
}

// ---------------------------------------------------------------- editor base

TEST_F(EditorTest, AttachesItselfAndReportsItsRectangleBeforeOpen) {
    EXPECT_EQ(effFlagsHasEditor, record()->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(1, plugin.dispatch(effEditGetRect, 0, 0, &rect));
    ASSERT_NE(nullptr, rect);
    EXPECT_EQ(0, rect->top);
    EXPECT_EQ(0, rect->left);
    EXPECT_EQ(kEditorHeight, rect->bottom);
    EXPECT_EQ(kEditorWidth, rect->right);
    EXPECT_FALSE(editor()->isOpened());
    EXPECT_EQ(nullptr, editor()->getFrame());
}

TEST_F(EditorTest, RequestsWhileClosedAreHarmlessAndAnswerFalse) {
    EXPECT_EQ(0, plugin.dispatch(effEditKeyDown, 0, VKEY_UP, nullptr, 0.0f));
    EXPECT_EQ(0, plugin.dispatch(effEditKeyUp, 0, VKEY_UP, nullptr, 0.0f));
    EXPECT_FALSE(editor()->onWheel(1.0f));
    plugin.idle();
    plugin.closeEditor();
    editor()->pumpIdle();
    EXPECT_EQ(1u, RecordingHost::instance().count(record(), audioMasterIdle));
}

TEST_F(EditorTest, KnobModeIsOneValueForTheProcess) {
    EXPECT_EQ(1, plugin.dispatch(effSetEditKnobMode, 0, 2));
    openEditor();
    EXPECT_EQ(2, editor()->getFrame()->getKnobMode());
    EffectUnderTest second;
    EXPECT_EQ(1, second.dispatch(effSetEditKnobMode, 0, 1));
    EXPECT_EQ(1, editor()->getFrame()->getKnobMode());
}

TEST_F(EditorTest, GestureStartAndEndReachTheHost) {
    editor()->beginEdit(2);
    editor()->endEdit(2);
    const std::vector<HostRequest> requests = edits();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(audioMasterBeginEdit, requests[0].opcode);
    EXPECT_EQ(2, requests[0].index);
    EXPECT_EQ(audioMasterEndEdit, requests[1].opcode);
    EXPECT_EQ(2, requests[1].index);
}

TEST_F(EditorTest, HostIdleSentBackFromThePumpDoesNotRedraw) {
    openEditor();
    CVerticalSlider* slider = editor()->getSlider(kFrequencyParam);
    bool dirtyAfterNestedIdle = false;
    int nestedIdles = 0;
    RecordingHost::instance().setObserver([&](const HostRequest& request) {
        if (request.opcode != audioMasterIdle)
            return;
        ++nestedIdles;
        plugin.setParameter(kFrequencyParam, 0.1f);
        plugin.idle();
        dirtyAfterNestedIdle = slider->isDirty();
    });
    editor()->pumpIdle();
    RecordingHost::instance().setObserver(nullptr);
    EXPECT_EQ(1, nestedIdles);
    EXPECT_TRUE(dirtyAfterNestedIdle);
    plugin.idle();
    EXPECT_FALSE(slider->isDirty());
}

TEST_F(EditorTest, ThePumpRunsAFullPassAtMostEveryFiftyMilliseconds) {
    openEditor();
    CVerticalSlider* slider = editor()->getSlider(kGainParam);
    editor()->pumpIdle();
    ASSERT_EQ(1u, RecordingHost::instance().count(record(), audioMasterIdle));
    plugin.setParameter(kGainParam, 0.2f);
    const double waited = millisecondsTaken([&] { editor()->pumpIdle(); });
    // No pass: it only slept its few milliseconds.
    EXPECT_EQ(1u, RecordingHost::instance().count(record(), audioMasterIdle));
    EXPECT_TRUE(slider->isDirty());
    EXPECT_GE(waited, 3.5);
    // Past the 50 ms mark even with a coarse tick count.
    Sleep(80);
    editor()->pumpIdle();
    EXPECT_EQ(2u, RecordingHost::instance().count(record(), audioMasterIdle));
    EXPECT_FALSE(slider->isDirty());
}

TEST_F(EditorTest, OleIsInitialisedOncePerEditorAndUndoneWithIt) {
    // With the effect alive, this thread's OLE is already initialised.
    EXPECT_EQ(S_FALSE, OleInitialize(nullptr));
    OleUninitialize();
    openEditor();
    plugin.closeEditor();
    plugin.close();
    EXPECT_EQ(S_OK, OleInitialize(nullptr));
    OleUninitialize();
}

// ---------------------------------------------------------------- layout and pixels

TEST_F(EditorTest, LayoutFollowsTheBitmapsAndTheTable) {
    openEditor();
    CFrame* frame = editor()->getFrame();
    ASSERT_EQ(8, frame->getViewCount());
    ASSERT_NE(nullptr, frame->getBackground());
    EXPECT_EQ(kBackgroundBitmap, frame->getBackground()->getResourceId());
    CRect size;
    for (VstInt32 index = 0; index < 3; ++index) {
        CVerticalSlider* slider = editor()->getSlider(index);
        ASSERT_NE(nullptr, slider);
        EXPECT_EQ(slider, frame->getView(index));
        EXPECT_EQ(kSliderRects[index], slider->getViewSize(size));
        EXPECT_EQ(index, slider->getTag());
        EXPECT_EQ(static_cast<CControlListener*>(editor()), slider->getListener());
        EXPECT_EQ(CPoint(1, 0), slider->getHandleOffset());
        EXPECT_EQ(147, slider->getHandleRange());
        EXPECT_EQ(0, slider->getMinPos());
        EXPECT_EQ(159, slider->getMaxPos());
        EXPECT_TRUE(slider->getFreeClick());

        CParamDisplay* display = editor()->getDisplay(index);
        ASSERT_NE(nullptr, display);
        EXPECT_EQ(display, frame->getView(3 + index));
        EXPECT_EQ(kReadoutRects[index], display->getViewSize(size));
        EXPECT_EQ(0, display->getTag());
        EXPECT_EQ(nullptr, display->getListener());
        EXPECT_EQ(kFontSmall, display->getFont());
        EXPECT_EQ(kDisplayFontColor, display->getFontColor());
        EXPECT_EQ(kDisplayBackColor, display->getBackColor());
        EXPECT_EQ(kDisplayFrameColor, display->getFrameColor());
        EXPECT_EQ(plugin.effect(), display->getUserData());
    }
    CRockerSwitch* rocker = editor()->getRocker();
    ASSERT_NE(nullptr, rocker);
    EXPECT_EQ(rocker, frame->getView(6));
    EXPECT_EQ(kRockerRect, rocker->getViewSize(size));
    EXPECT_EQ(kControllerParam, rocker->getTag());
    EXPECT_EQ(18, rocker->getImageHeight());
    EXPECT_EQ(kStyleHorizontal, rocker->getStyle());
    CParamDisplay* controller = editor()->getDisplay(kControllerParam);
    EXPECT_EQ(controller, frame->getView(7));
    EXPECT_EQ(kControllerReadoutRect, controller->getViewSize(size));
    EXPECT_EQ(plugin.effect(), controller->getUserData());
    // Bitmaps 1 and 3 are held by the three sliders alone, 5 by the rocker.
    EXPECT_EQ(3, editor()->getSlider(0)->getHandle()->getNbReference());
    EXPECT_EQ(3, editor()->getSlider(0)->getBackground()->getNbReference());
    EXPECT_EQ(1, rocker->getBackground()->getNbReference());
    // The background stays with the editor across close and open.
    CBitmap* background = frame->getBackground();
    EXPECT_EQ(2, background->getNbReference());
    plugin.closeEditor();
    EXPECT_EQ(1, background->getNbReference());
    openEditor();
    EXPECT_EQ(background, editor()->getFrame()->getBackground());
}

TEST_F(EditorTest, FirstPictureShowsEveryControlAtTheEffectsValue) {
    plugin.setParameter(kFrequencyParam, 0.5f);
    plugin.setParameter(kGainParam, 0.0f);
    plugin.setParameter(kPeakParam, 1.0f);
    openEditor();
    ExpectedPicture expected;
    expected.slider(0, 73);
    expected.slider(1, 147);
    expected.slider(2, 0);
    expected.rockerAtRest();
    expected.readout(frameWindow(), kReadoutRects[0], "2300");
    expected.readout(frameWindow(), kReadoutRects[1], "-oo");
    expected.readout(frameWindow(), kReadoutRects[2], "Hi");
    expected.readout(frameWindow(), kControllerReadoutRect, "1");
    EXPECT_TRUE(looksLike(seen(), expected));
    EXPECT_TRUE(readoutShows(kReadoutRects[0], "2300"));
    EXPECT_TRUE(readoutShows(kReadoutRects[1], "-oo"));
    EXPECT_TRUE(readoutShows(kReadoutRects[2], "Hi"));
    EXPECT_EQ(0.0f, editor()->getRocker()->getValue());
}

TEST_F(EditorTest, ReadoutTextsFollowTheParameterMappings) {
    char text[kParamDisplayTextSize];
    const std::vector<std::pair<float, const char*>> frequencies = {
        {0.0f, "800"}, {0.5f, "2300"}, {1.0f, "3800"}, {0.25f, "1550"}, {63.0f / 127.0f, "2288"}};
    for (const auto& [value, expected] : frequencies) {
        QuavixEditor::freqToText(value, text, nullptr);
        EXPECT_STREQ(expected, text) << value;
    }
    AudioEffect* effect = plugin.effect();
    const std::vector<std::pair<float, const char*>> gains = {
        {0.0f, "-oo"}, {-1.0f, "-oo"}, {1.0f, "-6.02"}, {0.5f, "-12.0"}, {0.25f, "-18.0"}};
    for (const auto& [value, expected] : gains) {
        QuavixEditor::gainToText(value, text, effect);
        EXPECT_STREQ(expected, text) << value;
    }
    const std::vector<std::pair<float, const char*>> peaks = {{1.0f, "Hi"},   {0.67f, "Hi"}, {0.5f, "Med"},
                                                              {0.34f, "Med"}, {0.0f, "Lo"},  {std::nanf(""), "Lo"}};
    for (const auto& [value, expected] : peaks) {
        QuavixEditor::peakToText(value, text, effect);
        EXPECT_STREQ(expected, text) << value;
    }
    // The controller read-out shows the effect's number whatever it holds.
    plugin.setParameter(kControllerParam, 2 / 127.0f);
    QuavixEditor::controllerToText(0.9f, text, effect);
    EXPECT_STREQ("2", text);
    QuavixEditor::controllerToText(0.0f, text, effect);
    EXPECT_STREQ("2", text);
    // A value no integer holds shows nothing rather than garbage.
    QuavixEditor::freqToText(1e30f, text, nullptr);
    EXPECT_STREQ("", text);
}

TEST_F(EditorTest, ReadoutsAlwaysUseTheirOwnEditorsEffect) {
    auto other = std::make_unique<EffectUnderTest>();
    HostWindow otherHost(kHostX + 400, kHostY, kEditorWidth, kEditorHeight);
    plugin.setParameter(kGainParam, 0.5f);
    other->setParameter(kGainParam, 0.0f);
    other->setParameter(kControllerParam, 1.0f);
    char mine[kParamDisplayTextSize], theirs[kParamDisplayTextSize];
    QuavixEditor::controllerToText(0.0f, mine, plugin.effect());
    QuavixEditor::controllerToText(0.0f, theirs, other->effect());
    EXPECT_STREQ("1", mine);
    EXPECT_STREQ("127", theirs);

    openEditor();
    ASSERT_TRUE(other->openAndShowEditor(otherHost.handle()));
    EXPECT_EQ(other->effect(), other->editor()->getDisplay(kControllerParam)->getUserData());
    EXPECT_TRUE(readoutShows(kControllerReadoutRect, "1"));
    EXPECT_TRUE(readoutShows(kReadoutRects[1], "-12.0"));
    // The other effect goes away first; this editor goes on with its own.
    other->closeEditor();
    other.reset();
    plugin.setParameter(kControllerParam, 2 / 127.0f);
    idle();
    EXPECT_TRUE(readoutShows(kControllerReadoutRect, "2"));
}

// ---------------------------------------------------------------- gestures with real input

TEST_P(RealInputTest, DraggingEachSliderTopToBottomAutomatesFallingValues) {
    openEditor();
    for (VstInt32 index = kFrequencyParam; index <= kPeakParam; ++index) {
        RecordingHost::instance().clear();
        plugin.setParameter(index, 0.5f);
        idle();
        // The read-out must already hold each value the host is told about.
        std::vector<float> readoutDuringDrag;
        RecordingHost::instance().setObserver([&](const HostRequest& request) {
            if (request.opcode == audioMasterAutomate)
                readoutDuringDrag.push_back(editor()->getDisplay(index)->getValue());
        });
        const int x = sliderCentreX(index);
        InputScript drag;
        drag.moveTo(screen(x, kSliderTopY))
            .press()
            .dragTo(screen(x, kSliderTopY), screen(x, kSliderBottomY), pixels(7), 25)
            .pause(120)
            .release();
        ASSERT_TRUE(drag.playWhilePumping());
        RecordingHost::instance().setObserver(nullptr);

        const std::vector<float> values = automatedValues(index);
        expectTopToBottomDrag(edits(), values, index);
        if (HasFatalFailure())
            return;
        // The read-out holds the effect's own value, within its round trip.
        ASSERT_EQ(values.size(), readoutDuringDrag.size());
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_NEAR(values[i], readoutDuringDrag[i], 1e-6);
        EXPECT_NEAR(0.0f, plugin.getParameter(index), 1e-6);
        idle();
        EXPECT_TRUE(readoutShows(kReadoutRects[index], kBottomTexts[index]));
    }
}

TEST_P(RealInputTest, FreeClickPutsTheHandlesMiddleUnderThePointer) {
    openEditor();
    const int x = sliderCentreX(kFrequencyParam);
    for (const auto& [y, value] : kFreeClicks) {
        RecordingHost::instance().clear();
        ASSERT_TRUE(InputScript().clickAt(screen(x, y)).playWhilePumping());
        EXPECT_EQ(value, plugin.getParameter(kFrequencyParam)) << "click at " << y;
        EXPECT_EQ(value, editor()->getSlider(kFrequencyParam)->getValue()) << "click at " << y;
        EXPECT_EQ(1u, RecordingHost::instance().count(record(), audioMasterBeginEdit));
        EXPECT_EQ(1u, RecordingHost::instance().count(record(), audioMasterEndEdit));
        idle();
    }
    EXPECT_TRUE(sliderShows(kFrequencyParam, 0));
}

TEST_P(RealInputTest, ShiftDragsTenTimesFiner) {
    plugin.setParameter(kGainParam, kFineStartValue);
    openEditor();
    const int x = sliderCentreX(kGainParam);
    InputScript drag;
    drag.holdKey(ModifierKey::shift)
        .moveTo(screen(x, kFinePressY))
        .press()
        .dragTo(screen(x, kFinePressY), screen(x, kFineReleaseY), pixels(7), 25)
        .pause(120)
        .release()
        .releaseKey(ModifierKey::shift);
    ASSERT_TRUE(drag.playWhilePumping());
    const std::vector<float> values = automatedValues(kGainParam);
    ASSERT_GE(values.size(), 2u);
    EXPECT_NEAR(kFineValueAtPress, values.front(), 1e-6);
    EXPECT_NEAR(kFineValueAtRelease, values.back(), 1e-5);
    EXPECT_NEAR(kFineValueAtRelease, plugin.getParameter(kGainParam), 1e-5);
}

TEST_P(RealInputTest, ControlClickResetsToTheMiddle) {
    plugin.setParameter(kPeakParam, kResetStartValue);
    openEditor();
    InputScript click;
    click.holdKey(ModifierKey::control)
        .clickAt(screen(sliderCentreX(kPeakParam), kResetClickY))
        .releaseKey(ModifierKey::control);
    ASSERT_TRUE(click.playWhilePumping());
    const std::vector<HostRequest> requests = edits();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ(audioMasterBeginEdit, requests[0].opcode);
    EXPECT_EQ(audioMasterAutomate, requests[1].opcode);
    EXPECT_EQ(kResetValue, requests[1].value);
    EXPECT_EQ(audioMasterEndEdit, requests[2].opcode);
    EXPECT_EQ(kResetValue, editor()->getSlider(kPeakParam)->getValue());
    idle();
    EXPECT_TRUE(readoutShows(kReadoutRects[2], "Med"));
}

TEST_P(RealInputTest, ArrowKeysFromTheHostStepTheSliderLastTouched) {
    plugin.setParameter(kFrequencyParam, 0.2f);
    openEditor();
    // A click on the slider gives it the keys.
    ASSERT_TRUE(InputScript().clickAt(screen(sliderCentreX(0), 90 + 117)).playWhilePumping());
    const float start = plugin.getParameter(kFrequencyParam);
    RecordingHost::instance().clear();
    EXPECT_EQ(1, plugin.dispatch(effEditKeyDown, 0, VKEY_UP, nullptr, 0.0f));
    EXPECT_NEAR(start + 0.1f, plugin.getParameter(kFrequencyParam), 1e-6);
    EXPECT_EQ(1, plugin.dispatch(effEditKeyDown, 0, VKEY_DOWN, nullptr, static_cast<float>(MODIFIER_SHIFT)));
    EXPECT_NEAR(start + 0.09f, plugin.getParameter(kFrequencyParam), 1e-6);
    // Keys the slider does not use are the host's.
    EXPECT_EQ(0, plugin.dispatch(effEditKeyDown, 'a', VKEY_SPACE, nullptr, 0.0f));
    EXPECT_EQ(0, plugin.dispatch(effEditKeyUp, 0, VKEY_UP, nullptr, 0.0f));
    const std::vector<HostRequest> requests = edits();
    ASSERT_EQ(6u, requests.size());
    EXPECT_EQ(audioMasterBeginEdit, requests[0].opcode);
    EXPECT_EQ(audioMasterAutomate, requests[1].opcode);
    EXPECT_EQ(audioMasterEndEdit, requests[2].opcode);
}

TEST_P(RealInputTest, WheelOverASliderStepsItByATenthOrAHundredthWithShift) {
    plugin.setParameter(kGainParam, kWheelStartValue);
    openEditor();
    SetCursorPos(screen(sliderCentreX(kGainParam), kWheelY).x, screen(sliderCentreX(kGainParam), kWheelY).y);
    Sleep(150);
    EXPECT_TRUE(editor()->onWheel(1.0f));
    EXPECT_NEAR(kWheelAfterUp, plugin.getParameter(kGainParam), 1e-6);
    quavixtest::setModifierHeld(ModifierKey::shift, true);
    const bool handled = editor()->onWheel(-1.0f);
    quavixtest::setModifierHeld(ModifierKey::shift, false);
    EXPECT_TRUE(handled);
    EXPECT_NEAR(kWheelAfterShiftDown, plugin.getParameter(kGainParam), 1e-6);
    // Over the background there is no view to take the wheel.
    SetCursorPos(screen(20, 20).x, screen(20, 20).y);
    Sleep(150);
    EXPECT_FALSE(editor()->onWheel(1.0f));
}

// ---------------------------------------------------------------- the controller rocker

class RockerTest : public RealInputTest {
protected:
    // Controller number from the effect, as the read-out shows it.
    int controllerNumber() const {
        return static_cast<int>(std::lround(plugin.getParameter(kControllerParam) * 127.0));
    }
    void startAt(const RockerGesture& gesture) {
        plugin.setParameter(kControllerParam, static_cast<float>(gesture.start / 127.0));
        idle();
        RecordingHost::instance().clear();
    }
    void clickRocker(int x) {
        ASSERT_TRUE(InputScript().clickAt(screen(x, kRockerY)).playWhilePumping());
        idle();
    }
    void expectAfter(const RockerGesture& gesture) {
        expectControllerSteps(edits(), gesture);
        EXPECT_EQ(gesture.steps.back(), controllerNumber()) << gesture.what;
        EXPECT_TRUE(readoutShows(kControllerReadoutRect, std::to_string(gesture.steps.back()).c_str()));
        EXPECT_EQ(0.0f, editor()->getRocker()->getValue());
    }
};

TEST_P(RockerTest, ClicksStepOnceAndWrap) {
    openEditor();
    const std::pair<const RockerGesture*, int> clicks[] = {
        {&kRockerRightClick, kRockerRightX},
        {&kRockerRightClickWraps, kRockerRightX},
        {&kRockerLeftClickWraps, kRockerLeftX},
    };
    for (const auto& click : clicks) {
        startAt(*click.first);
        clickRocker(click.second);
        expectAfter(*click.first);
    }
}

TEST_P(RockerTest, TheLeftHalfStepsDownAtTheReleaseNotThePress) {
    openEditor();
    startAt(kRockerLeftClickWraps);
    // The first request the host gets is the release's step beginning: the
    // press held for a while has not moved the number.
    int numberAtFirstRequest = -1;
    RecordingHost::instance().setObserver([&](const HostRequest&) {
        if (numberAtFirstRequest < 0)
            numberAtFirstRequest = controllerNumber();
    });
    ASSERT_TRUE(InputScript().moveTo(screen(kRockerLeftX, kRockerY)).press().pause(200).release().playWhilePumping());
    RecordingHost::instance().setObserver(nullptr);
    EXPECT_EQ(0, numberAtFirstRequest);
    idle();
    expectAfter(kRockerLeftClickWraps);
}

TEST_P(RockerTest, PressRightDragLeftAndReleaseStepsUpThenDown) {
    openEditor();
    startAt(kRockerRightDraggedLeft);
    InputScript gesture;
    gesture.moveTo(screen(kRockerRightX, kRockerY))
        .press()
        .pause(200)
        .moveTo(screen(kRockerLeftX, kRockerY))
        .pause(200)
        .release();
    ASSERT_TRUE(gesture.playWhilePumping());
    idle();
    expectAfter(kRockerRightDraggedLeft);
}

TEST_P(RockerTest, HoldingTheRightHalfStepsOnlyOnce) {
    openEditor();
    startAt(kRockerRightHeld);
    InputScript hold;
    hold.moveTo(screen(kRockerRightX, kRockerY)).press().pause(500).release();
    ASSERT_TRUE(hold.playWhilePumping());
    idle();
    expectAfter(kRockerRightHeld);
}

TEST_P(RockerTest, AWheelNotchStepsOnce) {
    openEditor();
    SetCursorPos(screen(kRockerRightX, kRockerY).x, screen(kRockerRightX, kRockerY).y);
    Sleep(150);
    for (const auto& notch : {std::make_pair(&kRockerWheelAway, 1.0f), std::make_pair(&kRockerWheelToward, -1.0f)}) {
        startAt(*notch.first);
        EXPECT_TRUE(editor()->onWheel(notch.second));
        idle();
        expectAfter(*notch.first);
    }
}

// A host that echoes each automated value back, as most do, leaves the
// number where the rocker put it.
TEST_P(RockerTest, AHostEchoingTheStepChangesNothing) {
    openEditor();
    startAt(kRockerRightClick);
    RecordingHost::instance().setObserver([&](const HostRequest& request) {
        if (request.opcode == audioMasterAutomate)
            plugin.setParameter(request.index, request.value);
    });
    clickRocker(kRockerRightX);
    RecordingHost::instance().setObserver(nullptr);
    expectAfter(kRockerRightClick);
}

INSTANTIATE_TEST_SUITE_P(HostScales, RealInputTest, ::testing::Values(1.0f, 2.0f), scaleName);
INSTANTIATE_TEST_SUITE_P(HostScales, RockerTest, ::testing::Values(1.0f, 2.0f), scaleName);

// ---------------------------------------------------------------- synchronisation

TEST_F(EditorTest, HostAutomationWhileOpenMovesTheControlsAtTheNextIdle) {
    openEditor();
    const WindowPixels before = seen();
    std::thread automation([&] { plugin.setParameter(kFrequencyParam, 0.25f); });
    automation.join();
    EXPECT_EQ(0.25f, editor()->getSlider(kFrequencyParam)->getValue());
    EXPECT_EQ(0.25f, editor()->getDisplay(kFrequencyParam)->getValue());
    // Nothing is drawn until the editor's idle.
    const WindowPixels unchanged = seen();
    for (int y = 85; y < 274; ++y)
        for (int x = 45; x < 76; ++x)
            ASSERT_EQ(before.at(x, y), unchanged.at(x, y)) << x << ", " << y;
    plugin.idle();
    ExpectedPicture expected;
    expected.slider(0, handleTopFor(0.25f));
    EXPECT_TRUE(looksLike(seen(), expected, kSliderRects[0]));
    EXPECT_TRUE(readoutShows(kReadoutRects[0], "1550"));
    EXPECT_TRUE(automatedValues(kFrequencyParam).empty());
}

TEST_F(EditorTest, MidiControllerMovesTheFrequencyControls) {
    openEditor();
    EventList list;
    list.controlChange(0xB3, 1, 0x40);
    std::thread processing([&] { plugin.dispatch(effProcessEvents, 0, 0, list.build()); });
    processing.join();
    const float expected = 63.0f / 127.0f;
    EXPECT_EQ(expected, editor()->getSlider(kFrequencyParam)->getValue());
    EXPECT_EQ(expected, editor()->getDisplay(kFrequencyParam)->getValue());
    plugin.idle();
    ExpectedPicture picture;
    picture.slider(0, handleTopFor(expected));
    EXPECT_TRUE(looksLike(seen(), picture, kSliderRects[0]));
    EXPECT_TRUE(readoutShows(kReadoutRects[0], freqText(expected).c_str()));
}

TEST_F(EditorTest, ChangesWhileClosedTouchNoControlAndTheNextOpenShowsThem) {
    openEditor();
    // Keep two of the old controls alive past the close to watch them.
    CVerticalSlider* oldSlider = editor()->getSlider(kFrequencyParam);
    CParamDisplay* oldController = editor()->getDisplay(kControllerParam);
    oldSlider->addReference();
    oldController->addReference();
    const float sliderBefore = oldSlider->getValue();
    const float controllerBefore = oldController->getValue();
    plugin.closeEditor();
    EXPECT_FALSE(editor()->isOpened());
    EXPECT_EQ(nullptr, editor()->getFrame());

    plugin.setParameter(kFrequencyParam, 0.9f);
    plugin.setParameter(kGainParam, 0.0f);
    plugin.setParameter(kPeakParam, 0.5f);
    plugin.setParameter(kControllerParam, 2 / 127.0f);
    EXPECT_EQ(sliderBefore, oldSlider->getValue());
    EXPECT_EQ(controllerBefore, oldController->getValue());
    oldSlider->dropReference();
    oldController->dropReference();

    openEditor();
    for (VstInt32 index = kFrequencyParam; index <= kPeakParam; ++index) {
        EXPECT_EQ(plugin.getParameter(index), editor()->getSlider(index)->getValue());
        EXPECT_EQ(plugin.getParameter(index), editor()->getDisplay(index)->getValue());
    }
    EXPECT_EQ(plugin.getParameter(kControllerParam), editor()->getDisplay(kControllerParam)->getValue());
    EXPECT_EQ(0.0f, editor()->getRocker()->getValue());
    ExpectedPicture expected;
    expected.slider(0, handleTopFor(0.9f));
    expected.slider(1, 147);
    expected.slider(2, handleTopFor(plugin.getParameter(kPeakParam)));
    expected.rockerAtRest();
    expected.readout(frameWindow(), kReadoutRects[0], freqText(0.9f).c_str());
    expected.readout(frameWindow(), kReadoutRects[1], "-oo");
    expected.readout(frameWindow(), kReadoutRects[2], "Med");
    expected.readout(frameWindow(), kControllerReadoutRect, "2");
    EXPECT_TRUE(looksLike(seen(), expected));
}

TEST_F(EditorTest, AUserChangeKeepsExactlyTheValueTheUserGave) {
    openEditor();
    // A peak value that does not survive the effect's conversion unchanged.
    float given = 0.3f;
    for (; given < 1.0f; given += 0.0001f) {
        plugin.setParameter(kPeakParam, given);
        if (plugin.getParameter(kPeakParam) != given)
            break;
    }
    ASSERT_LT(given, 1.0f);
    CVerticalSlider* slider = editor()->getSlider(kPeakParam);
    slider->setValue(given);
    editor()->valueChanged(nullptr, slider);
    EXPECT_EQ(given, slider->getValue());
    EXPECT_EQ(plugin.getParameter(kPeakParam), editor()->getDisplay(kPeakParam)->getValue());
    EXPECT_EQ((std::vector<float>{given}), automatedValues(kPeakParam));

    // Only the four parameters are sent to the effect.
    CRockerSwitch stray(CRect(0, 0, 10, 10), editor(), 4, 18, nullptr);
    stray.setValue(1.0f);
    editor()->valueChanged(nullptr, &stray);
    stray.setTag(-1);
    editor()->valueChanged(nullptr, &stray);
    EXPECT_EQ(1u, RecordingHost::instance().count(record(), audioMasterAutomate));
}

// ---------------------------------------------------------------- lifecycle

long privateBytes() {
    typedef BOOL(WINAPI * MemoryInfo)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    static const MemoryInfo query = reinterpret_cast<MemoryInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!query || !query(GetCurrentProcess(), &counters, sizeof(counters)))
        return -1;
    return static_cast<long>(counters.PagefileUsage);
}

TEST_F(EditorTest, OpenIdleCloseCyclesUnderParameterTrafficLeakNothing) {
    constexpr int kWarmUpCycles = 10;
    constexpr int kCycles = 200;
    std::atomic<bool> stop{false};
    std::atomic<long> changes{0};
    const auto cycle = [&] {
        ASSERT_TRUE(plugin.openAndShowEditor(host.handle()));
        plugin.closeEditor();
        pumpPendingMessages();
    };
    for (int i = 0; i < kWarmUpCycles; ++i)
        cycle();
    ASSERT_TRUE(quavixtest::gdiCountSeesObjects());
    const uint32_t gdiBefore = quavixtest::countGdiObjects();
    const uint32_t userBefore = quavixtest::countUserObjects();
    const long memoryBefore = privateBytes();
    const long allocationsBefore = liveAllocations.load();

    std::thread traffic([&] {
        for (long i = 0; !stop; ++i) {
            plugin.setParameter(static_cast<VstInt32>(i % 3), static_cast<float>(i % 100) / 100.0f);
            ++changes;
        }
    });
    for (int i = 0; i < kCycles; ++i)
        cycle();
    stop = true;
    traffic.join();

    const long allocationsAfter = liveAllocations.load();
    const uint32_t gdiAfter = quavixtest::countGdiObjects();
    const uint32_t userAfter = quavixtest::countUserObjects();
    const long memoryAfter = privateBytes();
    std::printf(
        "[ figures  ] %d cycles, %ld parameter changes meanwhile; GDI objects %u -> %u, USER objects "
        "%u -> %u, live allocations %ld -> %ld, private bytes %ld -> %ld\n",
        kCycles, changes.load(), gdiBefore, gdiAfter, userBefore, userAfter, allocationsBefore, allocationsAfter,
        memoryBefore, memoryAfter);
    EXPECT_GT(changes.load(), kCycles);
    EXPECT_EQ(gdiBefore, gdiAfter);
    EXPECT_EQ(userBefore, userAfter);
    EXPECT_EQ(allocationsBefore, allocationsAfter);
    // Wine's own bookkeeping moves by up to about a megabyte; one leaked
    // frame picture per cycle would be more than 90.
    EXPECT_LT(memoryAfter - memoryBefore, 4 * 1024 * 1024);
    // The window class goes with the last frame window.
    WNDCLASSA unused;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), getFrameWindowClassName(), &unused));
    EXPECT_EQ(0, getFrameWindowClassUseCount());
}

// An effect whose parameter reads can be held up, so that a parameter
// change from another thread can be caught in the middle of storing into
// the editor's controls.
class StallingEffect : public AudioEffectX {
public:
    StallingEffect() : AudioEffectX(nullptr, 1, kNumParams) {}
    void processReplacing(float**, float**, VstInt32) override {}
    float getParameter(VstInt32 /*index*/) override {
        if (stallNextRead.exchange(false)) {
            SetEvent(entered);
            WaitForSingleObject(resume, 5000);
        }
        return 0.75f;
    }
    std::atomic<bool> stallNextRead{false};
    HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE resume = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~StallingEffect() override {
        CloseHandle(entered);
        CloseHandle(resume);
    }
};

TEST_F(EditorTest, CloseWaitsForAParameterChangeStillStoringIntoAControl) {
    StallingEffect stalling;
    QuavixEditor* stallingEditor = new QuavixEditor(&stalling);  // the effect owns it from here
    ASSERT_EQ(stallingEditor, stalling.getEditor());
    ASSERT_TRUE(stallingEditor->open(host.handle()));
    std::atomic<bool> stored{false};
    stalling.stallNextRead = true;
    std::thread writer([&] {
        stallingEditor->setParameter(kFrequencyParam, 0.75f);
        stored = true;
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(stalling.entered, 5000));
    // The writer is inside, about to store; let it go a little later.
    std::thread releaser([&] {
        Sleep(200);
        SetEvent(stalling.resume);
    });
    stallingEditor->close();
    const bool storedBeforeCloseReturned = stored;
    writer.join();
    releaser.join();
    EXPECT_TRUE(storedBeforeCloseReturned);
    EXPECT_FALSE(stallingEditor->isOpened());
    // Closed now: a change reads nothing and stores nothing.
    stalling.stallNextRead = true;
    stallingEditor->setParameter(kFrequencyParam, 0.75f);
    EXPECT_TRUE(stalling.stallNextRead);
}

TEST_F(EditorTest, ClosingTheEffectWithItsEditorOpenTakesTheWindowDown) {
    openEditor();
    const HWND window = frameWindow();
    ASSERT_TRUE(IsWindow(window));
    plugin.close();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(0, getFrameWindowClassUseCount());
    pumpPendingMessages();
}

TEST_F(EditorTest, OpeningTwiceWithoutCloseKeepsOneFrame) {
    openEditor();
    const HWND first = frameWindow();
    openEditor();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(1, getFrameWindowClassUseCount());
    EXPECT_TRUE(editor()->isOpened());
}

}  // namespace
