// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CRecordingFile.h"

#include "platform/CUniqueFd.h"
#include "recording/CLineSource.h"
#include "recording/Compression.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

bool CRecordingFile::Load(const std::string& path) {
    const CUniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsValid()) {
        m_failure = Failure::Unreadable;
        m_error = errno;
        return false;
    }
    struct stat status {};
    if (fstat(fd.Get(), &status) == 0 && S_ISDIR(status.st_mode)) {
        m_failure = Failure::Directory;
        return false;
    }
    return Load(fd.Get());
}

bool CRecordingFile::Load(int fd) {
    static const std::atomic<bool> kNeverStopped{false};
    CLineSource lines(fd, kNeverStopped);
    if (IsCompressed(lines.Peek(8), m_format, m_tool)) {
        m_failure = Failure::Compressed;
        return false;
    }
    CRecordingReader reader;
    CRecordingItem item;
    std::string line;
    std::string error;
    for (;;) {
        const CLineSource::Status status = lines.Next(line);
        if (status == CLineSource::Status::End || status == CLineSource::Status::Stopped) {
            break;
        }
        if (status == CLineSource::Status::Failed) {
            m_readError = lines.Error();
            m_readErrorLine = lines.Number();
            break;
        }
        if (status == CLineSource::Status::TooLong) {
            Problem(lines.Number(),
                    "longer than " + std::to_string(CLineSource::kLineLimit) + " bytes; skipped");
            continue;
        }
        switch (reader.ReadLine(line, item, error)) {
        case CRecordingReader::Result::Nothing:
            break;
        case CRecordingReader::Result::Error:
            Problem(lines.Number(), error);
            // A malformed "R:" is noted for a device that has no descriptor yet; one that has
            // keeps it, so that what could be read stays playable.
            if (item.kind == CRecordingItem::Kind::Descriptor) {
                CRecordingHeader& header = Device(item.device, lines.Number()).header;
                if (!header.HasDescriptor()) {
                    header.TakeDescriptor({}, lines.Number(), error);
                }
            }
            break;
        case CRecordingReader::Result::Item:
            ++m_items;
            if (!Take(item, lines.Number())) {
                Problem(lines.Number(),
                        "the recording holds more than the " + HeldLimitText() +
                            " Vantrel keeps in memory; this line and the rest are not read");
                return true;
            }
            break;
        }
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
        const std::vector<uint8_t> report = device.header.ReportAsRead(item.bytes);
        m_held += report.size() + sizeof(CRecordedReport);
        if (m_held > m_maxHeld) {
            return false;
        }
        device.reports.push_back(
            {item.timed, item.microseconds, device.bytes.size(), report.size()});
        device.bytes.insert(device.bytes.end(), report.begin(), report.end());
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
