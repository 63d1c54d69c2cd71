// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CInputFile.h"

#include "cli/CSession.h"
#include "cli/CTerminalText.h"
#include "device/ErrorText.h"
#include "recording/QuoteInput.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CInputFile::~CInputFile() {
    if (m_owned && m_fd >= 0) {
        close(m_fd);
    }
}

bool CInputFile::Open(const std::string& source, int standardInput, std::string& error) {
    if (source == "-") {
        m_fd = standardInput;
        return true;
    }
    const std::string name = QuoteInput(source, 200);
    const int fd = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + name + ": " + ErrnoText(errno);
        return false;
    }
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        close(fd);
        error = name + " is a directory, not a file";
        return false;
    }
    m_fd = fd;
    m_owned = true;
    return true;
}
