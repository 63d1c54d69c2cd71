#pragma once

#include <unistd.h>

#include <utility>

// Owns one file descriptor and closes it once: no hand-written close ladders on error paths.
class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    ~CUniqueFd() { Reset(); }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;
    CUniqueFd(CUniqueFd&& other) noexcept : m_fd(other.Release()) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    int Get() const { return m_fd; }
    bool IsValid() const { return m_fd >= 0; }
    // Gives up ownership without closing.
    int Release() { return std::exchange(m_fd, -1); }
    // Closes the held descriptor (if any) and takes `fd`.
    void Reset(int fd = -1) {
        const int old = std::exchange(m_fd, fd);
        if (old >= 0) {
            ::close(old);
        }
    }

private:
    int m_fd = -1;
};
