// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidPort.h"

#include "device/CDeviceList.h"
#include "device/KeyboardModeReaders.h"
#include "device/ReaderTypes.h"
#include "device/SupportedReaders.h"
#include "platform/KeyReport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace {

// The largest report hidraw hands out; used when the descriptor gave no input report length.
constexpr size_t kMaxReportBytes = 16384;
// Reports read back to back before the reader looks at its stop signal again.
constexpr int kReadBurst = 32;

} // namespace

CHidPort::CHidPort(CHidPlatform& platform, CMessagePoster& poster)
    : m_platform(platform), m_poster(poster), m_stopFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!m_stopFd.IsValid()) {
        m_stopFdError = errno;
    }
}

CHidPort::~CHidPort() {
    Close();
}

bool CHidPort::IsSupported(const CHidAttributes&, const CHidCaps&) const {
    return true;
}

bool CReaderPort::IsSupported(const CHidAttributes& attributes, const CHidCaps& caps) const {
    // A keyboard is listed only by the keyboard-mode rule, also one with a reader's ids.
    if (caps.usagePage == kKeyboardUsagePage && caps.usage == kKeyboardUsage) {
        return false;
    }
    return IsSupportedReader(attributes.vendorId, attributes.productId) ||
           IsListedReaderUsage(caps.usagePage, caps.usage);
}

void CHidPort::Enumerate(CDeviceList* list, const std::string& nameToSelect, bool clearFirst) {
    int noSerialCount = 0;
    std::string lastBuiltName;
    std::string select = nameToSelect;

    if (list && clearFirst) {
        if (select.empty()) {
            select = list->GetCurrentText();
        }
        for (int i = list->GetCount() - 1; i >= 0; --i) {
            list->DeleteItem(i);
        }
    }

    std::vector<CHidInterfaceInfo> interfaces;
    int error = 0;
    if (!m_platform.EnumerateInterfaces(interfaces, error)) {
        return;
    }

    for (const CHidInterfaceInfo& info : interfaces) {
        const bool keyboardMode = IsKeyboardModeReader(info, interfaces);
        if (!info.attributesValid || !(keyboardMode || IsSupported(info.attributes, info.caps))) {
            continue;
        }
        // A name of the platform's own is listed as it is, and never chosen for want of a
        // stored one: only readers are.
        if (!info.listName.empty()) {
            m_nameTable[info.listName] = info.path;
            if (list) {
                list->AddItem(info.listName);
            }
            continue;
        }
        // The platform reads the product string from sysfs, where a second read cannot differ.
        bool listed = true;
        std::string name = info.product;
        if (name.empty()) {
            name = "Device";
            listed = false;
        }
        if (keyboardMode) {
            name += " - Keyboard mode";
        } else if (!info.interfaceNumber.empty()) {
            name += " - Interface " + info.interfaceNumber;
        }
        std::string serial = info.serial;
        if (serial == "?") {
            char numbered[32];
            std::snprintf(numbered, sizeof numbered, "NoSerNum%i", noSerialCount++);
            serial = numbered;
        }
        name += " - " + serial;
        lastBuiltName = name;
        if (listed) {
            m_nameTable[name] = info.path;
            if (list) {
                list->AddItem(name);
            }
        }
    }

    if (list) {
        if ((select.empty() || !list->SelectPrefix(select)) && !lastBuiltName.empty()) {
            list->SelectPrefix(lastBuiltName);
        }
    }
}

bool CHidPort::Open(const std::string& displayName, uint32_t messageBase) {
    Close();
    m_lastError = 0;
    if (!m_stopFd.IsValid()) {
        m_lastError = m_stopFdError;
        return false;
    }
    const auto entry = m_nameTable.find(displayName);
    const std::string& path = entry != m_nameTable.end() ? entry->second : displayName;

    int error = 0;
    std::unique_ptr<CHidConnection> connection = m_platform.Open(path, error);
    if (!connection) {
        m_lastError = error != 0 ? error : ENODEV;
        return false;
    }
    m_connection = std::move(connection);
    m_caps = m_connection->Caps();
    m_reportDescriptor = m_connection->ReportDescriptor();
    m_outputBuffer.assign(size_t(m_caps.outputReportByteLength) + 1, 0);
    m_messageBase = messageBase;
    DrainStopSignal();

    CReaderContext context;
    context.generation = m_generation.fetch_add(1) + 1;
    context.connection = m_connection.get();
    context.stopFd = m_stopFd.Get();
    context.messageBase = messageBase;
    context.readCapacity =
        m_caps.inputReportByteLength ? size_t(m_caps.inputReportByteLength) + 1 : kMaxReportBytes;
    m_openGeneration = context.generation;
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_readerState = CReaderState::Starting;
        m_readerError = 0;
        m_readerWasReady = false;
    }
    try {
        m_reader = std::thread(&CHidPort::ReaderThread, this, context);
    } catch (const std::system_error& e) {
        m_readerState = CReaderState::Idle;
        Close();
        m_lastError = e.code().value();
        return false;
    }

    CReaderState state;
    int readerError;
    bool wasReady;
    {
        std::unique_lock<std::mutex> lock(m_stateMutex);
        m_stateChanged.wait_for(lock, std::chrono::milliseconds(kReadyTimeoutMs),
                                [this] { return m_readerState != CReaderState::Starting; });
        state = m_readerState;
        readerError = m_readerError;
        wasReady = m_readerWasReady;
    }
    // A reader that was ready and has failed since has posted its error: the open stands.
    if (wasReady) {
        return true;
    }
    Close();
    if (state == CReaderState::Starting) {
        m_lastError = ETIMEDOUT;
    } else {
        m_lastError = readerError != 0 ? readerError : EIO;
    }
    return false;
}

void CHidPort::Close() {
    if (!m_connection) {
        return;
    }
    if (m_reader.joinable()) {
        const uint64_t one = 1;
        if (::write(m_stopFd.Get(), &one, sizeof one) == sizeof one) {
            // A reader that has already ended answers at once; a live one wakes from poll().
            // It is joined in any case: the connection it reads must outlive it.
            std::unique_lock<std::mutex> lock(m_stateMutex);
            m_stateChanged.wait_for(lock, std::chrono::milliseconds(kStopTimeoutMs),
                                    [this] { return m_readerState == CReaderState::Ended; });
        }
        m_reader.join();
    }
    DrainStopSignal();
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_readerState = CReaderState::Idle;
    }
    m_running.store(false, std::memory_order_release);
    m_openGeneration = 0;
    m_deviceGone = false;
    m_connection.reset();
    m_reportDescriptor.clear();
    m_outputBuffer.clear();
    m_outputBuffer.shrink_to_fit();
}

bool CHidPort::IsCurrent(const CHidMessage& message) const {
    return m_openGeneration != 0 && message.generation == m_openGeneration;
}

bool CHidPort::Write(const uint8_t* data, size_t length) {
    if (!m_connection) {
        return false;
    }
    const size_t reportLength = m_caps.outputReportByteLength;
    if (length >= reportLength) {
        return WriteBytes(data, length);
    }
    std::copy(data, data + length, m_outputBuffer.begin());
    std::fill(m_outputBuffer.begin() + ptrdiff_t(length),
              m_outputBuffer.begin() + ptrdiff_t(reportLength), uint8_t(0));
    return WriteBytes(m_outputBuffer.data(), reportLength);
}

bool CHidPort::WriteWithHeader(const uint8_t* payload, size_t payloadLength, const uint8_t* header,
                               size_t headerLength) {
    if (!m_connection) {
        return false;
    }
    const size_t reportLength = m_caps.outputReportByteLength;
    if (headerLength > reportLength || payloadLength > reportLength - headerLength) {
        m_lastError = EMSGSIZE;
        return false;
    }
    auto out = std::copy(header, header + headerLength, m_outputBuffer.begin());
    out = std::copy(payload, payload + payloadLength, out);
    std::fill(out, m_outputBuffer.begin() + ptrdiff_t(reportLength), uint8_t(0));
    return WriteBytes(m_outputBuffer.data(), reportLength);
}

bool CHidPort::WriteBytes(const uint8_t* data, size_t length) {
    // A report has at least its report-id byte; there is nothing to send without one.
    if (length == 0) {
        m_lastError = EINVAL;
        return false;
    }
    int error = 0;
    if (!m_connection->WriteReport(data, length, m_writeTimeoutMs, error)) {
        m_lastError = error != 0 ? error : EIO;
        m_deviceGone = m_lastError == ENODEV;
        return false;
    }
    return true;
}

bool CHidPort::GetFeature(uint8_t* buffer, size_t length) {
    if (!m_connection) {
        return false;
    }
    int error = 0;
    if (!m_connection->GetFeature(buffer, length, error)) {
        m_lastError = error;
        m_deviceGone = error == ENODEV;
        return false;
    }
    return true;
}

bool CHidPort::SetFeature(const uint8_t* data, size_t length) {
    if (!m_connection) {
        return false;
    }
    int error = 0;
    if (!m_connection->SetFeature(data, length, error)) {
        m_lastError = error;
        m_deviceGone = error == ENODEV;
        return false;
    }
    return true;
}

bool CHidPort::GetAttributes(CHidAttributes& attributes) const {
    if (!m_connection) {
        return false;
    }
    int error = 0;
    return m_connection->GetAttributes(attributes, error);
}

bool CHidPort::SetGrab(bool grab) {
    if (!m_connection) {
        m_lastError = ENODEV;
        return false;
    }
    int error = 0;
    if (!m_connection->SetGrab(grab, error)) {
        m_lastError = error != 0 ? error : EIO;
        return false;
    }
    return true;
}

void CHidPort::SetReaderState(CReaderState state, int error) {
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_readerState = state;
        m_readerError = error;
        if (state == CReaderState::Ready) {
            m_readerWasReady = true;
        }
    }
    m_stateChanged.notify_all();
}

void CHidPort::DrainStopSignal() {
    uint64_t count;
    while (m_stopFd.IsValid() && ::read(m_stopFd.Get(), &count, sizeof count) == sizeof count) {
    }
}

// Reads one report at a time and posts a copy of it; never calls into dialogs or devices.
// Ready is signalled once nothing waits to be read (the first pending read) or the first report
// has been read; a read that fails before that ends the reader and makes Open fail.
void CHidPort::ReaderThread(CReaderContext context) {
    if (context.messageBase == 0 || !context.connection) {
        SetReaderState(CReaderState::Ended, EINVAL);
        return;
    }
    std::vector<uint8_t> buffer(context.readCapacity);
    pollfd fds[2] = {{context.stopFd, POLLIN, 0}, {context.connection->PollFd(), POLLIN, 0}};
    bool ready = false;
    int failure = 0;
    m_running.store(true, std::memory_order_release);

    for (;;) {
        const int polled = ::poll(fds, 2, ready ? -1 : 0);
        if (polled < 0) {
            if (errno == EINTR) {
                continue;
            }
            failure = errno;
            break;
        }
        // The stop request wins over a waiting report.
        if (fds[0].revents != 0) {
            break;
        }
        if (polled == 0) {
            ready = true;
            SetReaderState(CReaderState::Ready, 0);
            continue;
        }
        // Reads what waits, a bounded burst at a time so that a stop request is seen soon.
        for (int burst = 0; burst < kReadBurst; ++burst) {
            int error = 0;
            const long count = context.connection->ReadReport(buffer.data(), buffer.size(), error);
            if (count >= 0) {
                CHidMessage message;
                message.messageId = HidMessageId(context.messageBase, CHidMessageKind::Report);
                message.generation = context.generation;
                message.report.assign(buffer.begin(), buffer.begin() + count);
                message.readTime = std::chrono::steady_clock::now();
                m_poster.PostHidMessage(std::move(message));
                if (!ready) {
                    ready = true;
                    SetReaderState(CReaderState::Ready, 0);
                }
                continue;
            }
            if (error == EAGAIN || error == EWOULDBLOCK) {
                // A hang-up with nothing left to read is a device that has gone.
                if (burst > 0 || (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) == 0) {
                    break;
                }
                error = ENODEV;
            }
            failure = error != 0 ? error : EIO;
            break;
        }
        if (failure != 0) {
            break;
        }
    }

    m_running.store(false, std::memory_order_release);
    if (failure != 0 && ready) {
        CHidMessage message;
        message.messageId = HidMessageId(context.messageBase, CHidMessageKind::Error);
        message.generation = context.generation;
        message.errorCode = failure;
        m_poster.PostHidMessage(std::move(message));
    }
    SetReaderState(CReaderState::Ended, failure);
}
