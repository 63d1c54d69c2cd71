// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CUniqueFd.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

// The fuzz input after its first byte (which picks what the target does) as a file in memory,
// read from its start as a pipe or a file would be. Invalid when no memory file can be made.
inline CUniqueFd MemoryFile(const uint8_t* data, size_t size) {
    CUniqueFd fd(memfd_create("recording", MFD_CLOEXEC));
    for (size_t at = 1; fd.IsValid() && at < size;) {
        const ssize_t written = write(fd.Get(), data + at, size - at);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            fd.Reset();
        } else {
            at += size_t(written);
        }
    }
    if (fd.IsValid() && lseek(fd.Get(), 0, SEEK_SET) != 0) {
        fd.Reset();
    }
    return fd;
}
