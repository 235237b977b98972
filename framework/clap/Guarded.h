// Every function a CLAP host calls crosses a C boundary, which no exception
// may leave: each runs its body through guarded, which answers fallback
// instead.
#pragma once

template <typename Result, typename Body>
Result guarded(Result fallback, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}
