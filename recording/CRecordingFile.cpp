// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CRecordingFile.h"

#include "platform/CUniqueFd.h"
#include "recording/CLineSource.h"
#include "recording/CRecordingStream.h"
#include "recording/Compression.h"
#include "recording/OpenRecording.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

// Takes the stream's items and problems into the file.
class CRecordingFile::CTaker : public CRecordingStream::CConsumer {
public:
    explicit CTaker(CRecordingFile& file) : m_file(file) {}

    bool Take(const CRecordingItem& item, long line) override {
        ++m_file.m_items;
        if (m_file.Take(item, line)) {
            return true;
        }
        m_file.Problem(line, "the recording holds more than the " + m_file.HeldLimitText() +
                                 " Vantrel keeps in memory; this line and the rest are not read");
        return false;
    }

    void Problem(long line, const std::string& reason, const CRecordingItem* item) override {
        m_file.Problem(line, reason);
        // A malformed "R:" is noted for a device that has no descriptor yet; one that has
        // keeps it, so that what could be read stays playable.
        if (item && item->kind == CRecordingItem::Kind::Descriptor) {
            CRecordingHeader& header = m_file.Device(item->device, line).header;
            if (!header.HasDescriptor()) {
                std::string error;
                header.TakeDescriptor({}, line, error);
            }
        }
    }

private:
    CRecordingFile& m_file;
};

bool CRecordingFile::Load(const std::string& path, const CRecordingLoadControl& control) {
    CRecordingKind kind = CRecordingKind::File;
    const CUniqueFd fd(OpenRecording(path, kind, m_error));
    switch (kind) {
    case CRecordingKind::Unreadable:
        m_failure = Failure::Unreadable;
        return false;
    case CRecordingKind::Directory:
        m_failure = Failure::Directory;
        return false;
    case CRecordingKind::Device:
        m_failure = Failure::Device;
        return false;
    case CRecordingKind::File:
    case CRecordingKind::Stream:
        break;
    }
    struct stat status {};
    const uint64_t size = kind == CRecordingKind::File && fstat(fd.Get(), &status) == 0
                              ? uint64_t(status.st_size)
                              : 0;
    return Load(fd.Get(), control, size);
}

bool CRecordingFile::Load(int fd, const CRecordingLoadControl& control, uint64_t size) {
    static const std::atomic<bool> kNeverCancelled{false};
    const std::atomic<bool>& cancel = control.cancel ? *control.cancel : kNeverCancelled;
    CLineSource lines(fd, cancel);
    if (IsCompressed(lines.Peek(8), m_format, m_tool)) {
        m_failure = Failure::Compressed;
        return false;
    }
    CRecordingStream stream(lines, {kMaxReadBytes, kMaxSkippedLines, kMaxWait});
    if (control.progress) {
        stream.SetProgress([&](uint64_t read) { control.progress(read, size); }, kProgressEvery);
    }
    CTaker taker(*this);
    switch (stream.Run(taker)) {
    case CRecordingStream::End::Stopped:
        m_failure = Failure::Cancelled;
        return false;
    case CRecordingStream::End::ReadFailed:
        m_readError = stream.Error();
        m_readErrorLine = stream.Line();
        break;
    case CRecordingStream::End::Limit:
        Problem(stream.Line(), stream.LimitText() + "; the rest is not read");
        break;
    case CRecordingStream::End::Complete:
    case CRecordingStream::End::Declined:
        break;
    }
    if (control.progress) {
        control.progress(lines.BytesRead(), size);
    }
    return true;
}

std::string CRecordingFile::HeldLimitText() const {
    constexpr size_t kMiB = size_t{1024} * 1024;
    return m_maxHeld % kMiB == 0 ? std::to_string(m_maxHeld / kMiB) + " MiB"
                                 : std::to_string(m_maxHeld) + " bytes";
}

CRecordedDevice& CRecordingFile::Device(int index, long line) {
    const auto at = std::lower_bound(
        m_devices.begin(), m_devices.end(), index,
        [](const CRecordedDevice& device, int wanted) { return device.index < wanted; });
    if (at != m_devices.end() && at->index == index) {
        return *at;
    }
    CRecordedDevice device;
    device.index = index;
    device.firstLine = line;
    return *m_devices.insert(at, std::move(device));
}

void CRecordingFile::Problem(long line, std::string reason) {
    ++m_problemCount;
    if (m_problems.size() < kMaxProblemsKept) {
        m_problems.push_back({line, std::move(reason)});
    }
}
bool CRecordingFile::Take(const CRecordingItem& item, long line) {
    CRecordedDevice& device = Device(item.device, line);
    std::string error;
    switch (item.kind) {
    case CRecordingItem::Kind::Input: {
        const size_t offset = device.bytes.size();
        device.header.AppendReportAsRead(item.bytes, device.bytes);
        const size_t length = device.bytes.size() - offset;
        m_held += length + sizeof(CRecordedReport);
        if (m_held > m_maxHeld) {
            device.bytes.resize(offset);
            return false;
        }
        device.reports.push_back({item.timed, item.microseconds, offset, length});
        return true;
    }
    case CRecordingItem::Kind::Feature:
        if (device.featureAnswers.size() >= kMaxFeatureAnswers) {
            Problem(line, "more than " + std::to_string(kMaxFeatureAnswers) +
                              " feature answers for one device; this one is dropped");
            return true;
        }
        m_held += item.bytes.size() + sizeof(std::vector<uint8_t>);
        if (m_held > m_maxHeld) {
            return false;
        }
        device.featureAnswers.push_back(item.bytes);
        return true;
    default:
        if (!device.header.Take(item, line, error)) {
            Problem(line, error);
        }
        return true;
    }
}
