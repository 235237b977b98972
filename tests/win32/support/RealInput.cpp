#include "tests/win32/support/RealInput.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tests/win32/support/MessagePump.h"

namespace quavixtest {

namespace {

// Wine caches the asynchronous key state per thread for about 50 ms; a press
// sooner than this after a move or key change can be read as up.
constexpr DWORD kRestBeforePressMs = 150;
constexpr DWORD kRestAfterKeyMs = 150;
constexpr DWORD kRestAfterReleaseMs = 60;
constexpr uint32_t kClickHoldMs = 120;
constexpr DWORD kHelperTimeoutMs = 10000;

void sendMouse(DWORD flags, DWORD data = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendInput(1, &input, sizeof(input));
}

void sendKey(WORD virtualKey, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

// Runs xdotool on the X server through Wine's launcher for Unix programs.
void runXdotool(const char* arguments) {
    char commandLine[256];
    std::snprintf(commandLine, sizeof(commandLine), "start.exe /wait /unix /usr/bin/xdotool %s", arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, kHelperTimeoutMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

void setModifierHeld(ModifierKey key, bool held) {
    const char* name = key == ModifierKey::shift ? "shift" : "ctrl";
    char arguments[64];
    std::snprintf(arguments, sizeof(arguments), "%s %s", held ? "keydown" : "keyup", name);
    runXdotool(arguments);
    sendKey(key == ModifierKey::shift ? VK_SHIFT : VK_CONTROL, held);
    Sleep(kRestAfterKeyMs);
}

InputScript& InputScript::add(Kind kind, POINT point, int32_t amount, ModifierKey key) {
    steps.push_back(Step{kind, point, amount, key});
    return *this;
}

InputScript& InputScript::moveTo(POINT screenPoint) { return add(Kind::move, screenPoint); }
InputScript& InputScript::press() { return add(Kind::press); }
InputScript& InputScript::release() { return add(Kind::release); }
InputScript& InputScript::holdKey(ModifierKey key) { return add(Kind::keyDown, POINT{0, 0}, 0, key); }
InputScript& InputScript::releaseKey(ModifierKey key) { return add(Kind::keyUp, POINT{0, 0}, 0, key); }
InputScript& InputScript::wheel(int32_t delta) { return add(Kind::wheel, POINT{0, 0}, delta); }
InputScript& InputScript::pause(uint32_t milliseconds) {
    return add(Kind::pause, POINT{0, 0}, static_cast<int32_t>(milliseconds));
}

InputScript& InputScript::dragTo(POINT from, POINT to, int32_t stride, uint32_t restMs) {
    const int32_t dx = to.x - from.x, dy = to.y - from.y;
    const int32_t length = std::abs(dx) > std::abs(dy) ? std::abs(dx) : std::abs(dy);
    const int32_t count = stride > 0 ? (length + stride - 1) / stride : 1;
    for (int32_t i = 1; i <= count; ++i) {
        const int32_t travelled = i * stride < length ? i * stride : length;
        POINT step = {from.x + (length ? dx * travelled / length : 0), from.y + (length ? dy * travelled / length : 0)};
        moveTo(step);
        pause(restMs);
    }
    return *this;
}

// The button stays down a moment, as a finger holds it: the window reads the
// live button state when the press is dispatched, and a release that came
// first would turn the press into no click at all.
InputScript& InputScript::clickAt(POINT screenPoint) {
    return moveTo(screenPoint).press().pause(kClickHoldMs).release();
}

void InputScript::play() const {
    for (const Step& step : steps) {
        switch (step.kind) {
        case Kind::move:
            SetCursorPos(step.point.x, step.point.y);
            break;
        case Kind::press:
            Sleep(kRestBeforePressMs);
            sendMouse(MOUSEEVENTF_LEFTDOWN);
            break;
        case Kind::release:
            sendMouse(MOUSEEVENTF_LEFTUP);
            Sleep(kRestAfterReleaseMs);
            break;
        case Kind::keyDown:
            setModifierHeld(step.key, true);
            break;
        case Kind::keyUp:
            setModifierHeld(step.key, false);
            break;
        case Kind::wheel:
            sendMouse(MOUSEEVENTF_WHEEL, static_cast<DWORD>(step.amount));
            break;
        case Kind::pause:
            Sleep(static_cast<DWORD>(step.amount));
            break;
        }
    }
}

bool InputScript::playWhilePumping(uint32_t timeoutMs) const {
    std::atomic<bool> done{false};
    std::thread player([this, &done] {
        play();
        done = true;
    });
    const auto finished = [&done] { return done.load(); };
    const bool inTime = pumpUntil(finished, timeoutMs);
    // Out of time the player still holds the input: let it finish all the same.
    if (!inTime)
        pumpUntil(finished, UINT32_MAX);
    player.join();
    // The release's own message may still be queued.
    pumpPendingMessages();
    return inTime;
}

}  // namespace quavixtest
