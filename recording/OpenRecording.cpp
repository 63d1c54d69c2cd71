// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/OpenRecording.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int OpenRecording(const std::string& path, CRecordingKind& kind, int& error) {
    error = 0;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        kind = CRecordingKind::Unreadable;
        return -1;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        error = errno;
        kind = CRecordingKind::Unreadable;
    } else if (S_ISREG(status.st_mode)) {
        kind = CRecordingKind::File;
    } else if (S_ISFIFO(status.st_mode)) {
        kind = CRecordingKind::Stream;
    } else if (S_ISDIR(status.st_mode)) {
        kind = CRecordingKind::Directory;
    } else {
        kind = CRecordingKind::Device;
    }
    if (kind == CRecordingKind::File || kind == CRecordingKind::Stream) {
        return fd;
    }
    close(fd);
    return -1;
}
