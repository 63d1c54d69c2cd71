// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

// The input of replay and describe: a file by name, or standard input for "-". Opens without
// waiting (a FIFO is read as its writer sends) and refuses what cannot be a recording before
// reading it: a directory, a device node, an unreadable file.
class CInputFile {
public:
    CInputFile() = default;
    ~CInputFile();
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    // False with the reason, the name quoted for the user.
    bool Open(const std::string& source, int standardInput, std::string& error);
    int Fd() const { return m_fd; }

private:
    int m_fd = -1;
    bool m_owned = false;
};
