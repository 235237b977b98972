// Real mouse input from a second thread, as a user would give it: the
// pointer moves, rests, and a button goes down and stays down until the
// test has seen the press (or a time limit passes), then comes up.
#pragma once

#include <windows.h>

#include <thread>

namespace quavixtest {

class MouseRobot {
public:
    MouseRobot();
    ~MouseRobot();  // releases the button if still held and joins
    MouseRobot(const MouseRobot&) = delete;
    MouseRobot& operator=(const MouseRobot&) = delete;

    // Starts the gesture at a screen point; returns at once. The calling
    // thread must keep dispatching messages for the press to arrive.
    void pressLeftAt(POINT screenPoint);
    // Lets the held button come up.
    void release();

private:
    void run(POINT screenPoint);

    HANDLE releaseEvent;
    std::thread worker;
};

}  // namespace quavixtest
