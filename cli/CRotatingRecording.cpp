// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CRotatingRecording.h"

#include "device/ErrorText.h"
#include "recording/QuoteInput.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>

namespace {

struct CSizeUnit {
    char suffix;
    int shift;
};
constexpr CSizeUnit kSizeUnits[] = {{'K', 10}, {'M', 20}, {'G', 30}};

} // namespace

CRotatingRecording::CRotatingRecording(COptions options, std::ostream& standardOutput)
    : m_options(std::move(options)), m_standardOutput(standardOutput) {}

bool CRotatingRecording::ParseSize(const std::string& text, long long& bytes) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    if (digits == 0 || digits > 12 || text.size() > digits + 1) {
        return false;
    }
    int shift = 0;
    if (text.size() == digits + 1) {
        const char suffix = char(std::toupper(static_cast<unsigned char>(text.back())));
        const CSizeUnit* unit = nullptr;
        for (const CSizeUnit& candidate : kSizeUnits) {
            if (candidate.suffix == suffix) {
                unit = &candidate;
            }
        }
        if (!unit) {
            return false;
        }
        shift = unit->shift;
    }
    const long long count = std::stoll(text.substr(0, digits));
    if (count <= 0 || count > (LLONG_MAX >> shift)) {
        return false;
    }
    bytes = count << shift;
    return true;
}

std::string CRotatingRecording::Rotated(int generation) const {
    return generation == 0 ? m_options.path : m_options.path + "." + std::to_string(generation);
}

bool CRotatingRecording::Open() {
    if (m_options.path == "-") {
        m_writer = std::make_unique<CRecordingWriter>(m_standardOutput, m_options.severalDevices);
        return Check();
    }
    m_file = std::make_unique<CRecordingOutput>();
    if (!m_file->Open(m_options.path, m_options.append)) {
        m_failure = "cannot write the recording " + QuoteInput(m_options.path, 200) + ": " +
                    ErrnoText(m_file->Error());
        return false;
    }
    m_writer = std::make_unique<CRecordingWriter>(*m_file, m_options.severalDevices);
    return Check();
}

int CRotatingRecording::AddDevice(const CHidInterfaceInfo& info, const std::string& name) {
    if (!m_writer && !Open()) {
        return -1;
    }
    m_devices.push_back({info, name});
    const int device = m_writer->AddDevice(info, name);
    Check();
    return device;
}

bool CRotatingRecording::WriteInput(int device, const std::vector<uint8_t>& report,
                                    CRecordingWriter::Clock::time_point readTime) {
    if (!Good()) {
        return false;
    }
    m_writer->WriteInput(device, report, readTime);
    if (!Check()) {
        return false;
    }
    // The writer flushed its line, so the position is the file's size, also when appending.
    if (m_options.maxBytes > 0 && m_file && m_file->Size() >= uint64_t(m_options.maxBytes)) {
        return Rotate();
    }
    return true;
}

bool CRotatingRecording::Rotate() {
    m_writer.reset();
    m_file->flush();
    if (m_file->Error() != 0) {
        m_failure = "cannot close the recording " + QuoteInput(m_options.path, 200) + ": " +
                    ErrnoText(m_file->Error());
        return false;
    }
    m_file.reset();
    // FILE.<keep - 1> replaces FILE.<keep>, which removes the oldest.
    for (int generation = m_options.keep; generation >= 1; --generation) {
        const std::string from = Rotated(generation - 1);
        const std::string to = Rotated(generation);
        if (std::rename(from.c_str(), to.c_str()) != 0 && errno != ENOENT) {
            m_failure = "cannot rename the recording " + QuoteInput(from, 200) + " to " +
                        QuoteInput(to, 200) + ": " + ErrnoText(errno);
            return false;
        }
    }
    m_options.append = false;
    if (!Open()) {
        return false;
    }
    for (const CDevice& device : m_devices) {
        m_writer->AddDevice(device.info, device.name);
    }
    return Check();
}

bool CRotatingRecording::Check() {
    if (m_writer && !m_writer->Good() && m_failure.empty()) {
        const int error = m_file && m_file->Error() != 0 ? m_file->Error() : m_writer->Error();
        m_failure = "cannot write the recording " + QuoteInput(m_options.path, 200) + ": " +
                    ErrnoText(error) + "; it holds the reports before, each on a whole line";
    }
    return Good();
}
