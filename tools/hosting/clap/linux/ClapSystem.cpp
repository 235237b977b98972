#include "tools/hosting/clap/ClapSystem.h"

#include <poll.h>

#include "framework/clap/ClapInterface.h"

const char* clapWindowApi() { return CLAP_WINDOW_API_X11; }

uint32_t clapReadyFlags(int fd, uint32_t wanted) {
    pollfd watched = {fd, 0, 0};
    if (wanted & CLAP_POSIX_FD_READ)
        watched.events |= POLLIN;
    if (wanted & CLAP_POSIX_FD_WRITE)
        watched.events |= POLLOUT;
    if (poll(&watched, 1, 0) <= 0)
        return 0;
    uint32_t ready = 0;
    if (watched.revents & POLLIN)
        ready |= CLAP_POSIX_FD_READ;
    if (watched.revents & POLLOUT)
        ready |= CLAP_POSIX_FD_WRITE;
    if ((watched.revents & (POLLERR | POLLHUP | POLLNVAL)) && (wanted & CLAP_POSIX_FD_ERROR))
        ready |= CLAP_POSIX_FD_ERROR;
    return ready;
}
