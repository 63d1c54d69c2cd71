// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "platform/WaitWritable.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

int WaitWritable(int fd, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const int ready = poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return errno;
        }
        if (ready == 0) {
            return ETIMEDOUT;
        }
        if ((p.revents & POLLNVAL) != 0) {
            return EBADF;
        }
        if ((p.revents & (POLLHUP | POLLERR)) != 0) {
            return ENODEV;
        }
        return 0;
    }
}
