// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CRecordingStream.h"

namespace {

std::string ByteText(uint64_t bytes) {
    constexpr uint64_t kMiB = uint64_t{1024} * 1024;
    return bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB"
                             : std::to_string(bytes) + " bytes";
}

} // namespace

CRecordingStream::CRecordingStream(CLineSource& lines, const CLimits& limits)
    : m_lines(lines), m_limits(limits) {
    m_lines.SetLimits(limits.bytes, limits.wait);
}

void CRecordingStream::TellNoDevice(CConsumer& consumer) {
    if (m_noDeviceCount == 0) {
        return;
    }
    const std::string count = std::to_string(m_noDeviceCount);
    consumer.Problem(m_noDeviceFirst,
                     (m_noDeviceCount == 1 ? "this line belongs"
                                           : count + " lines to line " +
                                                 std::to_string(m_noDeviceLast) + " belong") +
                         " to no device, as the \"D:\" line before was rejected; skipped",
                     nullptr);
    m_noDeviceCount = 0;
}

void CRecordingStream::Skipped(long line, bool noDevice) {
    ++m_skipped;
    if (noDevice) {
        if (m_noDeviceCount++ == 0) {
            m_noDeviceFirst = line;
        }
        m_noDeviceLast = line;
    }
}

CRecordingStream::End CRecordingStream::Run(CConsumer& consumer) {
    CRecordingReader reader;
    CRecordingItem item;
    std::string_view line;
    std::string error;
    End end = End::Complete;
    for (;;) {
        if (m_limits.skippedLines > 0 && m_skipped > m_limits.skippedLines) {
            m_limitText = "more than " + std::to_string(m_limits.skippedLines) +
                          " lines are malformed or skipped";
            end = End::Limit;
            break;
        }
        if (m_progress && m_lines.BytesRead() >= m_nextProgress) {
            m_progress(m_lines.BytesRead());
            m_nextProgress = m_lines.BytesRead() + m_progressEvery;
        }
        const CLineSource::Status status = m_lines.Next(line);
        if (status == CLineSource::Status::TooLong) {
            consumer.Problem(m_lines.Number(),
                             "longer than " + std::to_string(CLineSource::kLineLimit) +
                                 " bytes; skipped",
                             nullptr);
            Skipped(m_lines.Number(), false);
            continue;
        }
        if (status != CLineSource::Status::Line) {
            end = status == CLineSource::Status::End       ? End::Complete
                  : status == CLineSource::Status::Stopped ? End::Stopped
                  : status == CLineSource::Status::Failed  ? End::ReadFailed
                                                           : End::Limit;
            if (status == CLineSource::Status::TooMuch) {
                m_limitText = "it is larger than the " + ByteText(m_limits.bytes) + " read at most";
            } else if (status == CLineSource::Status::Waited) {
                m_limitText = "no complete line came for " +
                              std::to_string(m_limits.wait.count() / 1000) + " s";
            }
            break;
        }
        const bool noDevice = reader.CurrentDevice() == CRecordingReader::kNoDevice;
        const long number = m_lines.Number();
        switch (reader.ReadLine(line, item, error)) {
        case CRecordingReader::Result::Nothing:
            break;
        case CRecordingReader::Result::Skipped:
            Skipped(number, true);
            break;
        case CRecordingReader::Result::Error:
            if (noDevice) {
                // Another rejected "D:": one more line of no device.
                Skipped(number, true);
            } else if (m_lines.Unterminated()) {
                consumer.Problem(number,
                                 "the recording is cut off: its last line has no line end and "
                                 "is incomplete (" +
                                     error + "); it is not read",
                                 nullptr);
            } else {
                consumer.Problem(number, error, &item);
                Skipped(number, false);
            }
            break;
        case CRecordingReader::Result::Item:
            if (item.kind == CRecordingItem::Kind::Device) {
                TellNoDevice(consumer);
            }
            if (!consumer.Take(item, number)) {
                TellNoDevice(consumer);
                return End::Declined;
            }
            break;
        }
    }
    TellNoDevice(consumer);
    return end;
}
