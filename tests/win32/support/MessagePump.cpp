#include "tests/win32/support/MessagePump.h"

#include <windows.h>

namespace quavixtest {

void pumpPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool pumpUntil(const std::function<bool()>& condition, uint32_t timeoutMilliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        pumpPendingMessages();
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMilliseconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

}  // namespace quavixtest
