// The frame in a real child window of a host window: the window class and
// its use count, painting and idle redraw, mouse, wheel and key routing,
// focus, the modal view, the cursor, the host closing its window, and no
// handle growth over many editor openings.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "toolkit/editor/ViewTreeEditor.h"
#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/FrameWindow.h"
#include "toolkit/platform/MouseButtons.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/win32/support/GuiObjectCounts.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/MessagePump.h"
#include "tests/win32/support/MouseRobot.h"
#include "tests/win32/support/WindowPixels.h"

using namespace VSTGUI;
using quavixtest::HostWindow;
using quavixtest::MouseRobot;
using quavixtest::pumpPendingMessages;
using quavixtest::pumpUntil;
using quavixtest::rgb;
using quavixtest::WindowPixels;

namespace {

constexpr int kHostX = 40;
constexpr int kHostY = 40;
constexpr int kFrameWidth = 400;
constexpr int kFrameHeight = 500;
constexpr uint32_t kInputTimeoutMs = 3000;

// Draws itself as one flat colour and records everything the frame sends it.
class RecordingView : public CView {
public:
    RecordingView(const CRect& size, const CColor& color, int* destroyed = nullptr)
        : CView(size), color(color), destroyed(destroyed) {}
    ~RecordingView() override {
        if (destroyed)
            ++*destroyed;
    }

    void draw(CDrawContext* context) override {
        ++draws;
        context->setFillColor(color);
        // fillRect leaves the first row and column out; start one earlier.
        context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
        setDirty(false);
    }
    void onMouseDown(CDrawContext* /*context*/, CPoint& where, int32_t buttons) override {
        ++presses;
        pressWhere = where;
        pressButtons = buttons;
        focusAtPress = parentFrame ? parentFrame->getFocusView() : nullptr;
    }
    bool onWheel(CDrawContext* /*context*/, const CPoint& where, float distance) override {
        ++wheels;
        wheelWhere = where;
        wheelDistance = distance;
        return true;
    }
    int32_t onKeyDown(VstKeyCode& /*keyCode*/) override {
        ++keysDown;
        return keyAnswer;
    }
    int32_t onKeyUp(VstKeyCode& /*keyCode*/) override {
        ++keysUp;
        return keyAnswer;
    }
    void onFocusLost(CDrawContext* /*context*/) override { ++focusLost; }

    CColor color;
    int* destroyed;
    int draws = 0;
    int presses = 0;
    CPoint pressWhere;
    int32_t pressButtons = 0;
    CView* focusAtPress = nullptr;
    int wheels = 0;
    CPoint wheelWhere;
    float wheelDistance = 0.0f;
    int keysDown = 0;
    int keysUp = 0;
    int32_t keyAnswer = -1;
    int focusLost = 0;
};

// Records what reaches the frame from its window before handling it.
class RecordingFrame : public CFrame {
public:
    using CFrame::CFrame;

    void drawRect(CDrawContext* context, const CRect& updateRect) override {
        ++paints;
        lastPaint = updateRect;
        CFrame::drawRect(context, updateRect);
    }
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override {
        ++presses;
        pressWhere = where;
        pressButtons = buttons;
        CFrame::onMouseDown(context, where, buttons);
    }

    int paints = 0;
    CRect lastPaint;
    int presses = 0;
    CPoint pressWhere;
    int32_t pressButtons = 0;
};

class RecordingEditor : public AEffGUIEditor {
public:
    RecordingEditor() : AEffGUIEditor(nullptr) {}

    void beginEdit(VstInt32 index) override { begun.push_back(index); }
    void endEdit(VstInt32 index) override { ended.push_back(index); }
    void pumpIdle() override { ++pumps; }

    std::vector<VstInt32> begun;
    std::vector<VstInt32> ended;
    int pumps = 0;
};

std::string expectedClassName() {
    char name[32];
    std::snprintf(name, sizeof(name), "Plugin%0*llX", static_cast<int>(2 * sizeof(void*)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))));
    return name;
}

bool classRegistered() {
    WNDCLASSA info;
    return GetClassInfoA(GetModuleHandleA(nullptr), expectedClassName().c_str(), &info) != 0;
}

HCURSOR systemCursor(WORD id) { return LoadCursorA(nullptr, MAKEINTRESOURCEA(id)); }

VstKeyCode key(unsigned char virt, unsigned char modifier = 0, VstInt32 character = 0) {
    VstKeyCode code;
    code.character = character;
    code.virt = virt;
    code.modifier = modifier;
    return code;
}

LPARAM clientPoint(int x, int y) { return MAKELPARAM(x, y); }

WPARAM wheelDelta(int16_t delta) { return MAKEWPARAM(0, static_cast<WORD>(delta)); }

constexpr CColor kRed = {255, 0, 0, 255};
constexpr CColor kBlue = {0, 0, 255, 255};
constexpr CColor kGreen = {0, 160, 0, 255};
constexpr CColor kYellow = {255, 255, 0, 255};
constexpr CColor kCyan = {0, 255, 255, 255};
constexpr CColor kMagenta = {255, 0, 255, 255};

class FrameWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(getFrameWindowClassUseCount(), 0);
        ASSERT_TRUE(host.handle());
        frame = new RecordingFrame(CRect(0, 0, kFrameWidth, kFrameHeight), host.handle(), nullptr);
        frame->setBackgroundColor(kColorGrey);
        ASSERT_TRUE(frameWindow());
    }
    void TearDown() override {
        delete frame;
        EXPECT_EQ(getFrameWindowClassUseCount(), 0);
        EXPECT_FALSE(classRegistered());
    }

    HWND frameWindow() const { return static_cast<HWND>(frame->getSystemWindow()); }

    // The frame takes over the creator's reference.
    RecordingView* addView(const CRect& size, const CColor& color, int* destroyed = nullptr) {
        RecordingView* view = new RecordingView(size, color, destroyed);
        frame->addView(view);
        return view;
    }

    void paintNow() { UpdateWindow(frameWindow()); }

    void invalidateAndPaint(const CRect& rect) {
        RECT area = {rect.left, rect.top, rect.right, rect.bottom};
        InvalidateRect(frameWindow(), &area, FALSE);
        paintNow();
    }

    void click(int x, int y) { SendMessageA(frameWindow(), WM_LBUTTONDOWN, MK_LBUTTON, clientPoint(x, y)); }

    void wheel(int x, int y, int16_t delta) {
        const POINT screen = host.toScreen(x, y);
        SendMessageA(frameWindow(), WM_MOUSEWHEEL, wheelDelta(delta), MAKELPARAM(screen.x, screen.y));
    }

    HostWindow host{kHostX, kHostY, kFrameWidth, kFrameHeight};
    RecordingFrame* frame = nullptr;
};

}  // namespace

TEST(FrameWindowClass, RegisteredOnceForTwoFramesAndUnregisteredAfterTheLast) {
    ASSERT_EQ(getFrameWindowClassUseCount(), 0);
    ASSERT_FALSE(classRegistered());
    HostWindow host(kHostX, kHostY, 200, 200);
    const CRect size(0, 0, 120, 90);

    CFrame* first = new CFrame(size, host.handle(), nullptr);
    ASSERT_TRUE(classRegistered());
    EXPECT_STREQ(getFrameWindowClassName(), expectedClassName().c_str());
    EXPECT_EQ(expectedClassName().size(), 6 + 2 * sizeof(void*)) << "\"Plugin\" and every digit of the handle";
    WNDCLASSA info;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), expectedClassName().c_str(), &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_GLOBALCLASS));
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_EQ(info.hIcon, nullptr);
    EXPECT_EQ(info.hCursor, systemCursor(32512));
    EXPECT_EQ(info.hbrBackground, GetSysColorBrush(COLOR_BTNFACE));

    CFrame* second = new CFrame(size, host.handle(), nullptr);
    EXPECT_EQ(getFrameWindowClassUseCount(), 2);
    char className[64] = "";
    GetClassNameA(static_cast<HWND>(second->getSystemWindow()), className, sizeof(className));
    EXPECT_EQ(expectedClassName(), className);

    delete first;
    EXPECT_TRUE(classRegistered());
    EXPECT_EQ(getFrameWindowClassUseCount(), 1);
    EXPECT_TRUE(IsWindow(static_cast<HWND>(second->getSystemWindow())));

    delete second;
    EXPECT_FALSE(classRegistered());
    EXPECT_EQ(getFrameWindowClassUseCount(), 0);

    CFrame* third = new CFrame(size, host.handle(), nullptr);
    EXPECT_TRUE(classRegistered());
    EXPECT_TRUE(IsWindow(static_cast<HWND>(third->getSystemWindow())));
    delete third;
    EXPECT_FALSE(classRegistered());
}

TEST(FrameWindowClass, TakesTheButtonSwapAtFirstRegistrationOnly) {
    ASSERT_EQ(getFrameWindowClassUseCount(), 0);
    HostWindow host(kHostX, kHostY, 200, 200);
    const CRect size(0, 0, 50, 50);
    struct SwapGuard {
        ~SwapGuard() { SystemParametersInfoA(SPI_SETMOUSEBUTTONSWAP, FALSE, nullptr, 0); }
    } restoreSwap;

    SystemParametersInfoA(SPI_SETMOUSEBUTTONSWAP, TRUE, nullptr, 0);
    ASSERT_GT(GetSystemMetrics(SM_SWAPBUTTON), 0);
    CFrame* swapped = new CFrame(size, host.handle(), nullptr);
    EXPECT_TRUE(areMouseButtonsSwapped());

    // Not refreshed while any frame window exists.
    SystemParametersInfoA(SPI_SETMOUSEBUTTONSWAP, FALSE, nullptr, 0);
    CFrame* stillSwapped = new CFrame(size, host.handle(), nullptr);
    EXPECT_TRUE(areMouseButtonsSwapped());
    delete swapped;
    delete stillSwapped;

    CFrame* fresh = new CFrame(size, host.handle(), nullptr);
    EXPECT_FALSE(areMouseButtonsSwapped());
    delete fresh;
}

TEST_F(FrameWindowTest, ChildWindowIsAVisibleChildOfTheHostAtItsOrigin) {
    HWND window = frameWindow();
    EXPECT_EQ(GetParent(window), host.handle());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), 0x56000000u);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(static_cast<CFrame*>(frame)));
    char title[32] = "";
    GetWindowTextA(window, title, sizeof(title));
    EXPECT_STREQ(title, "Window");
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, kFrameWidth);
    EXPECT_EQ(client.bottom, kFrameHeight);
    RECT onScreen;
    GetWindowRect(window, &onScreen);
    const POINT hostOrigin = host.toScreen(0, 0);
    EXPECT_EQ(onScreen.left, hostOrigin.x);
    EXPECT_EQ(onScreen.top, hostOrigin.y);
    EXPECT_TRUE(frame->isOpen());
    EXPECT_EQ(frame->getHostWindow(), host.handle());
}

TEST_F(FrameWindowTest, IdleDrawsNothingBeforeTheFirstPaintThenOnlyDirtyViews) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);

    frame->idle();
    EXPECT_EQ(a->draws, 0);
    EXPECT_EQ(b->draws, 0);
    EXPECT_EQ(frame->paints, 0);

    paintNow();
    EXPECT_EQ(frame->paints, 1);
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);
    EXPECT_FALSE(frame->isDirty());

    frame->idle();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);

    a->color = kYellow;
    a->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);
    EXPECT_FALSE(a->isDirty());
    WindowPixels pixels(frameWindow());
    EXPECT_EQ(pixels.at(60, 60), rgb(kYellow));
    EXPECT_EQ(pixels.at(250, 60), rgb(kBlue));
}

TEST_F(FrameWindowTest, PaintRedrawsOnlyTheUpdateRectangle) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);
    RecordingView* c = addView(CRect(10, 300, 110, 400), kGreen);
    paintNow();
    WindowPixels before(frameWindow());
    ASSERT_EQ(before.at(60, 60), rgb(kRed));
    ASSERT_EQ(before.at(250, 60), rgb(kBlue));
    ASSERT_EQ(before.at(60, 350), rgb(kGreen));
    ASSERT_EQ(before.at(150, 200), rgb(127, 127, 127));

    // New colours that only a redraw can show.
    a->color = kYellow;
    b->color = kCyan;
    c->color = kMagenta;
    invalidateAndPaint(CRect(50, 50, 70, 70));

    EXPECT_EQ(frame->lastPaint, CRect(50, 50, 70, 70));
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);
    EXPECT_EQ(c->draws, 1);
    WindowPixels after(frameWindow());
    EXPECT_EQ(after.at(50, 50), rgb(kYellow));
    EXPECT_EQ(after.at(69, 69), rgb(kYellow));
    EXPECT_EQ(after.at(49, 60), rgb(kRed));
    EXPECT_EQ(after.at(70, 60), rgb(kRed));
    EXPECT_EQ(after.at(60, 70), rgb(kRed));
    EXPECT_EQ(after.at(20, 20), rgb(kRed));
    EXPECT_EQ(after.at(250, 60), rgb(kBlue));
    EXPECT_EQ(after.at(60, 350), rgb(kGreen));
}

TEST_F(FrameWindowTest, PaintMessageWithoutUpdateRegionDrawsNothing) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    paintNow();
    ASSERT_EQ(frame->paints, 1);

    SendMessageA(frameWindow(), WM_PAINT, 0, 0);
    EXPECT_EQ(frame->paints, 1);
    EXPECT_EQ(a->draws, 1);
}

TEST_F(FrameWindowTest, RealButtonPressAt3And400ReachesTheFrameWithButtonsToBeAsked) {
    RecordingView* target = addView(CRect(0, 380, 50, 420), kRed);
    paintNow();

    MouseRobot robot;
    robot.pressLeftAt(host.toScreen(3, 400));
    const bool arrived = pumpUntil([&] { return target->presses > 0; }, kInputTimeoutMs);
    robot.release();
    ASSERT_TRUE(arrived);

    EXPECT_EQ(frame->presses, 1);
    EXPECT_EQ(frame->pressWhere, CPoint(3, 400));
    EXPECT_EQ(frame->pressButtons, -1);
    EXPECT_EQ(target->pressWhere, CPoint(3, 400));
    // The frame asked for the live state while the button was held.
    EXPECT_EQ(target->pressButtons & (kButtonLeft | kButtonRight | kButtonMiddle), kButtonLeft);
}

TEST_F(FrameWindowTest, WheelNotchBackIsMinusOneAndHalfADeltaIsOneHalf) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);

    wheel(250, 60, -120);
    EXPECT_EQ(b->wheels, 1);
    EXPECT_EQ(b->wheelDistance, -1.0f);
    EXPECT_EQ(b->wheelWhere, CPoint(250, 60));

    wheel(210, 20, 60);
    EXPECT_EQ(b->wheels, 2);
    EXPECT_EQ(b->wheelDistance, 0.5f);
    EXPECT_EQ(b->wheelWhere, CPoint(210, 20));

    wheel(60, 60, 120);
    EXPECT_EQ(a->wheels, 1);
    EXPECT_EQ(a->wheelDistance, 1.0f);

    // Nothing under the pointer: nobody turns.
    wheel(150, 200, 120);
    EXPECT_EQ(a->wheels, 1);
    EXPECT_EQ(b->wheels, 2);
}

TEST_F(FrameWindowTest, HostDestroyingItsWindowClosesTheFrame) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    paintNow();
    ASSERT_TRUE(frame->isOpen());

    host.destroy();
    EXPECT_FALSE(frame->isOpen());
    EXPECT_FALSE(frame->getOpenFlag());
    EXPECT_EQ(frame->getHostWindow(), nullptr);
    // The dead handle is forgotten, so nothing can reach a window that later
    // gets it; the class stays counted until the frame is deleted.
    EXPECT_EQ(frame->getSystemWindow(), nullptr);
    EXPECT_EQ(getFrameWindowClassUseCount(), 1);

    a->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 1);
    // Deleting the frame now releases the class (checked in TearDown).
}

TEST_F(FrameWindowTest, ClickClearsTheFocusViewBeforeItIsRouted) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);
    a->setWantsFocus(true);
    frame->setFocusView(a);
    ASSERT_EQ(frame->getFocusView(), a);

    click(250, 60);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(a->focusLost, 1);
    EXPECT_EQ(a->presses, 0);
    ASSERT_EQ(b->presses, 1);
    EXPECT_EQ(b->focusAtPress, nullptr);
    EXPECT_EQ(b->pressWhere, CPoint(250, 60));
    // No button is physically held while the message is handled.
    EXPECT_EQ(b->pressButtons & kButtonLeft, 0);

    // Both other button messages are presses as well.
    SendMessageA(frameWindow(), WM_RBUTTONDOWN, MK_RBUTTON, clientPoint(260, 70));
    SendMessageA(frameWindow(), WM_MBUTTONDOWN, MK_MBUTTON, clientPoint(270, 80));
    EXPECT_EQ(b->presses, 3);
    EXPECT_EQ(b->pressWhere, CPoint(270, 80));
}

TEST_F(FrameWindowTest, ModalViewTakesEveryClickAndWheelTurn) {
    RecordingView* below = addView(CRect(0, 0, kFrameWidth, kFrameHeight), kRed);
    int modalDestroyed = 0;
    RecordingView* modal = new RecordingView(CRect(300, 300, 350, 350), kBlue, &modalDestroyed);
    ASSERT_TRUE(frame->setModalView(modal));
    EXPECT_EQ(frame->getModalView(), modal);
    EXPECT_TRUE(frame->isChild(modal));

    click(10, 10);
    EXPECT_EQ(below->presses, 0);
    EXPECT_EQ(modal->presses, 0);

    click(320, 330);
    EXPECT_EQ(modal->presses, 1);
    EXPECT_EQ(modal->pressWhere, CPoint(320, 330));
    EXPECT_EQ(frame->getViewUnderMouse(), modal);

    wheel(10, 10, -120);
    EXPECT_EQ(below->wheels, 0);
    ASSERT_EQ(modal->wheels, 1);
    EXPECT_EQ(modal->wheelWhere, CPoint(10, 10));

    RecordingView other(CRect(0, 0, 10, 10), kGreen);
    EXPECT_FALSE(frame->setModalView(&other));
    EXPECT_EQ(frame->getModalView(), modal);
    EXPECT_FALSE(frame->moveFocus(nullptr, false));

    modal->keyAnswer = 1;
    VstKeyCode letter = key(0, 0, 'a');
    EXPECT_EQ(frame->onKeyDown(letter), 1);
    EXPECT_EQ(below->keysDown, 0);

    ASSERT_TRUE(frame->setModalView(nullptr));
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_FALSE(frame->isChild(modal));
    EXPECT_EQ(modal->getNbReference(), 1);
    click(10, 10);
    EXPECT_EQ(below->presses, 1);

    modal->dropReference();
    EXPECT_EQ(modalDestroyed, 1);
}

TEST_F(FrameWindowTest, TabMovesFocusForwardAndShiftTabBackward) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);
    RecordingView* c = addView(CRect(10, 300, 110, 400), kGreen);
    a->setWantsFocus(true);
    c->setWantsFocus(true);
    VstKeyCode tab = key(VKEY_TAB);
    VstKeyCode shiftTab = key(VKEY_TAB, MODIFIER_SHIFT);

    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), a);
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), c);
    EXPECT_EQ(a->focusLost, 1);
    EXPECT_EQ(frame->onKeyDown(tab), -1);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(c->focusLost, 1);

    EXPECT_EQ(frame->onKeyDown(shiftTab), 1);
    EXPECT_EQ(frame->getFocusView(), c);
    EXPECT_EQ(frame->onKeyDown(shiftTab), 1);
    EXPECT_EQ(frame->getFocusView(), a);
    EXPECT_EQ(frame->onKeyDown(shiftTab), -1);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(b->focusLost, 0);

    // A focus view that uses Tab itself keeps the focus.
    frame->setFocusView(a);
    a->keyAnswer = 1;
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), a);
}

TEST_F(FrameWindowTest, FocusChangesMarkViewsThatWantFocusDirty) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);
    paintNow();
    a->setWantsFocus(true);

    frame->setFocusView(a);
    EXPECT_TRUE(a->isDirty());
    a->setDirty(false);
    frame->setFocusView(b);
    EXPECT_TRUE(a->isDirty());
    EXPECT_EQ(a->focusLost, 1);
    EXPECT_FALSE(b->isDirty());
    frame->setFocusView(nullptr);
    EXPECT_EQ(b->focusLost, 1);
    EXPECT_FALSE(b->isDirty());
}

TEST_F(FrameWindowTest, KeysOtherThanTabReachOnlyTheFocusAndModalViews) {
    RecordingView* focus = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* bystander = addView(CRect(200, 10, 300, 110), kBlue);
    bystander->keyAnswer = 1;
    VstKeyCode letter = key(0, 0, 'q');

    EXPECT_EQ(frame->onKeyDown(letter), -1);
    EXPECT_EQ(frame->onKeyUp(letter), -1);
    EXPECT_EQ(bystander->keysDown, 0);
    EXPECT_EQ(bystander->keysUp, 0);

    frame->setFocusView(focus);
    focus->keyAnswer = 5;
    EXPECT_EQ(frame->onKeyDown(letter), 5);
    EXPECT_EQ(frame->onKeyUp(letter), 5);

    // A focus view that passes lets the modal view answer.
    focus->keyAnswer = -1;
    RecordingView* modal = new RecordingView(CRect(300, 300, 350, 350), kGreen);
    ASSERT_TRUE(frame->setModalView(modal));
    modal->keyAnswer = 3;
    EXPECT_EQ(frame->onKeyDown(letter), 3);
    EXPECT_EQ(frame->onKeyUp(letter), 3);
    EXPECT_EQ(focus->keysDown, 2);
    EXPECT_EQ(modal->keysDown, 1);
    EXPECT_EQ(modal->keysUp, 1);
    EXPECT_EQ(bystander->keysDown, 0);
    frame->setModalView(nullptr);
    modal->dropReference();
}

TEST_F(FrameWindowTest, CursorTypeSevenAndUnknownTypesRestoreTheDefault) {
    HCURSOR arrow = systemCursor(32512);
    SetCursor(arrow);

    frame->setCursor(1);
    EXPECT_EQ(GetCursor(), systemCursor(32514));
    frame->setCursor(6);
    EXPECT_EQ(GetCursor(), systemCursor(32642));
    frame->setCursor(7);
    EXPECT_EQ(GetCursor(), arrow);
    frame->setCursor(9);
    EXPECT_EQ(GetCursor(), systemCursor(32649));
    frame->setCursor(0);
    EXPECT_EQ(GetCursor(), arrow);
    frame->setCursor(8);
    EXPECT_EQ(GetCursor(), systemCursor(32648));
    frame->setCursor(42);
    EXPECT_EQ(GetCursor(), arrow);

    // Deleting the frame puts the default back as well.
    frame->setCursor(3);
    EXPECT_EQ(GetCursor(), systemCursor(32645));
    delete frame;
    frame = nullptr;
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(FrameWindowTest, InvalidateMarksChildrenThatOnlyTouchAndDrawsNothing) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);
    paintNow();

    frame->invalidate(CRect(110, 110, 150, 150));
    EXPECT_TRUE(a->isDirty());
    EXPECT_FALSE(b->isDirty());
    a->setDirty(false);

    frame->invalidate(CRect(111, 111, 150, 150));
    EXPECT_FALSE(a->isDirty());
    frame->invalidate(CRect(0, 0, 10, 10));
    EXPECT_TRUE(a->isDirty());
    frame->invalidate(CRect(300, 50, 320, 60));
    EXPECT_TRUE(b->isDirty());

    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);
}

TEST_F(FrameWindowTest, UpdatesDisabledSuppressIdleDrawingButNotPainting) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);
    paintNow();

    EXPECT_FALSE(frame->setUpdatesDisabled(true));
    EXPECT_TRUE(frame->areUpdatesDisabled());
    a->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 1);

    invalidateAndPaint(CRect(200, 10, 300, 110));
    EXPECT_EQ(b->draws, 2);
    EXPECT_EQ(a->draws, 1);

    EXPECT_TRUE(frame->setUpdatesDisabled(false));
    frame->idle();
    EXPECT_EQ(a->draws, 2);
}

TEST_F(FrameWindowTest, DrawViewDrawsADirectChildAtOnceOtherwiseTheWholeFrame) {
    RecordingView* a = addView(CRect(10, 10, 110, 110), kRed);
    RecordingView* b = addView(CRect(200, 10, 300, 110), kBlue);
    paintNow();

    a->color = kYellow;
    frame->drawView(a);
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);
    EXPECT_EQ(WindowPixels(frameWindow()).at(60, 60), rgb(kYellow));

    RecordingView stranger(CRect(0, 0, 20, 20), kGreen);
    frame->drawView(&stranger);
    EXPECT_EQ(stranger.draws, 0);
    EXPECT_EQ(a->draws, 3);
    EXPECT_EQ(b->draws, 2);

    frame->drawView(nullptr);
    EXPECT_EQ(a->draws, 4);
    EXPECT_EQ(b->draws, 3);
}

TEST_F(FrameWindowTest, CursorLocationIsRelativeToTheFrameWindow) {
    const POINT screen = host.toScreen(30, 45);
    SetCursorPos(screen.x, screen.y);
    CPoint where;
    ASSERT_TRUE(pumpUntil(
        [&] {
            frame->getCursorLocation(where);
            return where == CPoint(30, 45);
        },
        kInputTimeoutMs));

    CFrame windowless(CRect(0, 0, 10, 10), nullptr, nullptr);
    CPoint onScreen;
    EXPECT_TRUE(windowless.getCursorLocation(onScreen));
    EXPECT_EQ(onScreen, CPoint(screen.x, screen.y));
}

TEST_F(FrameWindowTest, DeletingTheFrameReleasesChildrenButNotTheModalView) {
    int childrenDestroyed = 0;
    int modalDestroyed = 0;
    addView(CRect(10, 10, 110, 110), kRed, &childrenDestroyed);
    addView(CRect(200, 10, 300, 110), kBlue, &childrenDestroyed);
    RecordingView* modal = new RecordingView(CRect(300, 300, 350, 350), kGreen, &modalDestroyed);
    ASSERT_TRUE(frame->setModalView(modal));
    HWND window = frameWindow();

    delete frame;
    frame = nullptr;
    EXPECT_EQ(childrenDestroyed, 2);
    EXPECT_EQ(modalDestroyed, 0);
    EXPECT_EQ(modal->getNbReference(), 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindow(host.handle()));
    modal->dropReference();
    EXPECT_EQ(modalDestroyed, 1);
}

TEST(FrameWithoutWindow, NeverPaintsAndCountsNoWindow) {
    ASSERT_EQ(getFrameWindowClassUseCount(), 0);
    CFrame frame(CRect(0, 0, 100, 100), nullptr, nullptr);
    EXPECT_EQ(frame.getSystemWindow(), nullptr);
    EXPECT_EQ(getFrameWindowClassUseCount(), 0);
    EXPECT_FALSE(frame.isDropActive());
    EXPECT_TRUE(frame.isOpen());
    RecordingView* view = new RecordingView(CRect(0, 0, 10, 10), kRed);
    frame.addView(view);
    frame.idle();
    EXPECT_EQ(view->draws, 0);
    EXPECT_EQ(frame.getTicks(), 0u);
    EXPECT_EQ(frame.getEditor(), nullptr);
    int32_t x = 0;
    int32_t y = 0;
    CRect rect;
    EXPECT_FALSE(frame.getPosition(x, y));
    EXPECT_FALSE(frame.getSize(rect));
}

TEST(FrameEditor, ForwardsEditsIdleTicksAndKnobModeToTheEditor) {
    RecordingEditor editor;
    CFrame frame(CRect(0, 0, 100, 100), nullptr, &editor);
    EXPECT_EQ(frame.getEditor(), &editor);

    frame.beginEdit(2);
    frame.endEdit(3);
    EXPECT_EQ(editor.begun, std::vector<VstInt32>{2});
    EXPECT_EQ(editor.ended, std::vector<VstInt32>{3});
    frame.runEditorIdle();
    frame.runEditorIdle();
    EXPECT_EQ(editor.pumps, 2);

    // The system's millisecond clock: not before the call, and soon after it.
    const uint32_t before = GetTickCount();
    const uint32_t ticks = frame.getTicks();
    EXPECT_LE(ticks - before, 1000u);

    editor.setKnobMode(2);
    EXPECT_EQ(frame.getKnobMode(), 2);
    editor.setKnobMode(0);
    EXPECT_EQ(frame.getKnobMode(), 0);
}

TEST(FrameClassNames, AcceptsItsOwnAndItsBasesNames) {
    CFrame frame(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_TRUE(frame.isTypeOf("CFrame"));
    EXPECT_TRUE(frame.isTypeOf("CViewContainer"));
    EXPECT_TRUE(frame.isTypeOf("CView"));
    EXPECT_FALSE(frame.isTypeOf("cframe"));
    EXPECT_FALSE(frame.isTypeOf("CControl"));
    EXPECT_EQ(frame.getParentFrame(), &frame);
    EXPECT_EQ(frame.getParentView(), nullptr);
}

TEST(FrameLeaks, HandleCountersSeeWhatIsMade) {
    EXPECT_TRUE(quavixtest::gdiCountSeesObjects());
    const uint32_t userBefore = quavixtest::countUserObjects();
    {
        HostWindow host(kHostX, kHostY, 50, 50);
        const uint32_t withHost = quavixtest::countUserObjects();
        EXPECT_GT(withHost, userBefore);
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, host.handle(), nullptr, GetModuleHandleA(nullptr),
                        nullptr);
        EXPECT_EQ(quavixtest::countUserObjects(), withHost + 1);
    }
    EXPECT_EQ(quavixtest::countUserObjects(), userBefore);
}

TEST(FrameLeaks, TwoHundredOpenPaintCloseCyclesGrowNoHandles) {
    HostWindow host(kHostX, kHostY, kFrameWidth, kFrameHeight);
    auto cycle = [&] {
        CFrame* frame = new CFrame(CRect(0, 0, kFrameWidth, kFrameHeight), host.handle(), nullptr);
        HWND window = static_cast<HWND>(frame->getSystemWindow());
        RecordingView* a = new RecordingView(CRect(10, 10, 110, 110), kRed);
        frame->addView(a);
        frame->addView(new RecordingView(CRect(200, 10, 300, 110), kBlue));
        UpdateWindow(window);
        a->setDirty(true);
        frame->idle();
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, clientPoint(60, 60));
        const POINT screen = host.toScreen(60, 60);
        SendMessageA(window, WM_MOUSEWHEEL, wheelDelta(120), MAKELPARAM(screen.x, screen.y));
        frame->setCursor(2);
        frame->drawView(a);
        delete frame;
        pumpPendingMessages();
    };
    // The first opening fills system caches (screen device, stock objects).
    for (int i = 0; i < 3; ++i)
        cycle();
    const uint32_t gdiBefore = quavixtest::countGdiObjects();
    const uint32_t userBefore = quavixtest::countUserObjects();

    for (int i = 0; i < 200; ++i)
        cycle();

    EXPECT_EQ(quavixtest::countGdiObjects(), gdiBefore);
    EXPECT_EQ(quavixtest::countUserObjects(), userBefore);
    EXPECT_EQ(getFrameWindowClassUseCount(), 0);
    EXPECT_FALSE(classRegistered());
}
