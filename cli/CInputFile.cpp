// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CInputFile.h"

#include "cli/CSession.h"
#include "cli/CTerminalText.h"
#include "device/ErrorText.h"
#include "recording/OpenRecording.h"
#include "recording/QuoteInput.h"

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
    CRecordingKind kind = CRecordingKind::File;
    int failure = 0;
    const int fd = OpenRecording(source, kind, failure);
    switch (kind) {
    case CRecordingKind::Unreadable:
        error = "cannot read " + name + ": " + ErrnoText(failure);
        return false;
    case CRecordingKind::Directory:
        error = name + " is a directory, not a file";
        return false;
    case CRecordingKind::Device:
        error = name + " is a device, not a file; give a recording file, or - to read standard "
                       "input";
        return false;
    case CRecordingKind::File:
    case CRecordingKind::Stream:
        break;
    }
    m_fd = fd;
    m_owned = true;
    return true;
}
