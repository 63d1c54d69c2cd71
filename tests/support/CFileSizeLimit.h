// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <csignal>
#include <sys/resource.h>

// A full disk for as long as it lives: this process may not write files past `bytes`, and a
// write past it fails with EFBIG instead of raising SIGXFSZ. Lift() ends it early, so that a
// test can check the files it wrote.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &m_previousAction);
        m_set = getrlimit(RLIMIT_FSIZE, &m_previous) == 0;
        rlimit small = m_previous;
        small.rlim_cur = bytes;
        m_set = m_set && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~CFileSizeLimit() { Lift(); }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

    // False when the limit could not be set.
    bool IsSet() const { return m_set; }
    void Lift() {
        if (m_lifted) {
            return;
        }
        m_lifted = true;
        if (m_set) {
            setrlimit(RLIMIT_FSIZE, &m_previous);
        }
        sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }

private:
    rlimit m_previous{};
    struct sigaction m_previousAction {};
    bool m_set = false;
    bool m_lifted = false;
};
