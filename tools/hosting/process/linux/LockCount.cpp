// The host tool's own pthread lock functions: each counts the call when the
// calling thread is inside a LockCount::Counting scope, then forwards to the
// C library's function found behind it (dlsym with RTLD_NEXT). Being
// defined in the executable and exported from it, these come first in the
// global symbol lookup, so a plug-in loaded with dlopen, and the C++
// runtime it links (std::mutex ends in pthread_mutex_lock), locks through
// them. Unlocking is left alone: taking the lock is what may wait.
#include "tools/hosting/process/LockCount.h"

#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>

#include <cerrno>

namespace {

__attribute__((tls_model("initial-exec"))) thread_local bool counting = false;
__attribute__((tls_model("initial-exec"))) thread_local unsigned long locks = 0;

inline void seen() {
    if (counting)
        ++locks;
}

// The C library's function of that name, looked up once. Two threads that
// both look it up first store the same address.
template <typename Function>
Function next(Function& slot, const char* name) {
    Function found = __atomic_load_n(&slot, __ATOMIC_ACQUIRE);
    if (!found) {
        found = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
        __atomic_store_n(&slot, found, __ATOMIC_RELEASE);
    }
    return found;
}

template <typename Result, typename... Arguments>
using Call = Result (*)(Arguments...);

// Forwards a call to the C library's function of that name, counting it.
#define QUAVIX_COUNTED_LOCK(name, Handle)                  \
    int name(Handle handle) noexcept {                     \
        static Call<int, Handle> original = nullptr;       \
        seen();                                            \
        Call<int, Handle> forward = next(original, #name); \
        return forward ? forward(handle) : ENOSYS;         \
    }
#define QUAVIX_COUNTED_TIMED_LOCK(name, Handle, Extra)            \
    int name(Handle handle, Extra extra) noexcept {               \
        static Call<int, Handle, Extra> original = nullptr;       \
        seen();                                                   \
        Call<int, Handle, Extra> forward = next(original, #name); \
        return forward ? forward(handle, extra) : ENOSYS;         \
    }

}  // namespace

extern "C" {

QUAVIX_COUNTED_LOCK(pthread_mutex_lock, pthread_mutex_t*)
QUAVIX_COUNTED_LOCK(pthread_mutex_trylock, pthread_mutex_t*)
QUAVIX_COUNTED_TIMED_LOCK(pthread_mutex_timedlock, pthread_mutex_t*, const struct timespec*)
QUAVIX_COUNTED_LOCK(pthread_rwlock_rdlock, pthread_rwlock_t*)
QUAVIX_COUNTED_LOCK(pthread_rwlock_wrlock, pthread_rwlock_t*)
QUAVIX_COUNTED_LOCK(pthread_rwlock_tryrdlock, pthread_rwlock_t*)
QUAVIX_COUNTED_LOCK(pthread_rwlock_trywrlock, pthread_rwlock_t*)
QUAVIX_COUNTED_LOCK(pthread_spin_lock, pthread_spinlock_t*)
QUAVIX_COUNTED_LOCK(pthread_spin_trylock, pthread_spinlock_t*)
QUAVIX_COUNTED_LOCK(sem_wait, sem_t*)
QUAVIX_COUNTED_LOCK(sem_trywait, sem_t*)
QUAVIX_COUNTED_TIMED_LOCK(sem_timedwait, sem_t*, const struct timespec*)
QUAVIX_COUNTED_TIMED_LOCK(pthread_cond_wait, pthread_cond_t*, pthread_mutex_t*)

}  // extern "C"

namespace LockCount {

bool available() {
    // Through a volatile pointer, so that the call goes where a plug-in's would.
    int (*volatile lock)(pthread_mutex_t*) = pthread_mutex_lock;
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    unsigned long before = locks;
    {
        Counting scope;
        lock(&mutex);
    }
    pthread_mutex_unlock(&mutex);
    return locks > before;
}

bool& countingFlag() { return counting; }

unsigned long counted() { return locks; }

}  // namespace LockCount
