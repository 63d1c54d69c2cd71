// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/CRecordingLoader.h"

#include "platform/CUniqueFd.h"
#include "recording/CLineSource.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kChunk = size_t{1} << 20;

// Sends all of `data`; false once the parser has gone (it stopped at its bound).
bool SendAll(int socket, const char* data, size_t length) {
    while (length > 0) {
        const ssize_t sent = send(socket, data, length, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += sent;
        length -= size_t(sent);
    }
    return true;
}

} // namespace

CRecordingLoader::CRecordingLoader(const std::string& path, std::function<void()> done)
    : m_done(std::move(done)) {
    m_thread = std::thread([this, path] { Read(path); });
}

CRecordingLoader::~CRecordingLoader() {
    m_cancel = true;
    m_thread.join();
}

void CRecordingLoader::Read(const std::string& path) {
    Outcome outcome = Outcome::Read;
    const CUniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!fd.IsValid() || fstat(fd.Get(), &status) != 0) {
        m_error = errno;
        outcome = Outcome::Unreadable;
    } else if (S_ISDIR(status.st_mode)) {
        outcome = Outcome::Directory;
    } else if (!S_ISREG(status.st_mode)) {
        outcome = Outcome::NotRegular;
    } else {
        m_size = uint64_t(status.st_size);
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
            m_error = errno;
            outcome = Outcome::Unreadable;
        } else {
            CUniqueFd parserEnd(pair[0]);
            CUniqueFd pumpEnd(pair[1]);
            std::thread parser([this, &parserEnd] {
                m_file->Load(parserEnd.Get());
                // A parser that stopped early ends the pump's sending.
                shutdown(parserEnd.Get(), SHUT_RDWR);
            });
            Pump(fd.Get(), pumpEnd.Get());
            shutdown(pumpEnd.Get(), SHUT_WR);
            parser.join();
        }
    }
    m_outcome = outcome;
    m_done();
}

void CRecordingLoader::Pump(int fd, int socket) {
    // Only whole lines go over, so a cancelled reading ends on a line end; a line that passes
    // the parser's limit goes over anyway, where it is skipped.
    std::string pending;
    std::string chunk(kChunk, '\0');
    while (!m_cancel) {
        const ssize_t got = read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            m_error = errno;
            return;
        }
        if (got == 0) {
            SendAll(socket, pending.data(), pending.size());
            return;
        }
        m_read += uint64_t(got);
        pending.append(chunk.data(), size_t(got));
        const size_t end = pending.find_last_of('\n');
        size_t whole = end == std::string::npos ? 0 : end + 1;
        if (whole == 0 && pending.size() > CLineSource::kLineLimit) {
            whole = pending.size();
        }
        if (whole > 0) {
            if (!SendAll(socket, pending.data(), whole)) {
                return;
            }
            pending.erase(0, whole);
        }
    }
}
