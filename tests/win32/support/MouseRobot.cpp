#include "tests/win32/support/MouseRobot.h"

namespace quavixtest {

namespace {

// Wine reads the asynchronous button state through a per-thread cache of
// about 50 ms: a press right after a move can be read as up.
constexpr DWORD kRestAfterMoveMs = 150;
constexpr DWORD kLongestHoldMs = 5000;

void sendButton(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

MouseRobot::MouseRobot() : releaseEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

MouseRobot::~MouseRobot() {
    release();
    if (worker.joinable())
        worker.join();
    CloseHandle(releaseEvent);
}

void MouseRobot::pressLeftAt(POINT screenPoint) {
    ResetEvent(releaseEvent);
    worker = std::thread(&MouseRobot::run, this, screenPoint);
}

void MouseRobot::release() { SetEvent(releaseEvent); }

void MouseRobot::run(POINT screenPoint) {
    SetCursorPos(screenPoint.x, screenPoint.y);
    Sleep(kRestAfterMoveMs);
    sendButton(MOUSEEVENTF_LEFTDOWN);
    WaitForSingleObject(releaseEvent, kLongestHoldMs);
    sendButton(MOUSEEVENTF_LEFTUP);
}

}  // namespace quavixtest
