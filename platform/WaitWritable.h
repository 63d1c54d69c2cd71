// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

// Waits until `fd` accepts a write, at most `timeoutMs`. Returns 0 when it does, else the error:
// ETIMEDOUT, ENODEV when the device has gone (POLLHUP/POLLERR), EBADF, or poll's own errno.
int WaitWritable(int fd, int timeoutMs);
