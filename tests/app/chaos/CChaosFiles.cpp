// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CChaosFiles.h"

#include "platform/CUniqueFd.h"
#include "recording/CRecording.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The growing file starts over past this size, so that it is read whole again and again.
constexpr off_t kGrowingLimit = off_t{4} << 20;
constexpr int kBatchReports = 8;

// Writes all of `data` unless the descriptor would block or fails; false then.
bool WriteAll(int fd, const char* data, size_t length) {
    while (length > 0) {
        const ssize_t written = write(fd, data, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        length -= size_t(written);
    }
    return true;
}

// A Hid Pos label report "GR<number>" as an "E:" line, timed a millisecond per report.
std::string ReportLine(uint64_t number) {
    char label[16];
    std::snprintf(label, sizeof label, "GR%07llu", static_cast<unsigned long long>(number));
    std::vector<uint8_t> report = {0x02, uint8_t(std::strlen(label)), ']', 'E', '0'};
    report.insert(report.end(), label, label + std::strlen(label));
    report.resize(64);
    char time[48];
    std::snprintf(time, sizeof time, "E: %llu.%06llu 64 ",
                  static_cast<unsigned long long>(number / 1000),
                  static_cast<unsigned long long>(number % 1000 * 1000));
    return time + FormatHexBytes(report.data(), report.size()) + "\n";
}

} // namespace

CChaosFiles::CChaosFiles(uint64_t seed) {
    if (!m_folder.isValid()) {
        m_error = "no temporary folder: " + m_folder.errorString().toStdString();
        return;
    }
    if (Make()) {
        m_writer = std::thread([this, seed] { Write(seed); });
    }
}

CChaosFiles::~CChaosFiles() {
    StopWriting();
}

void CChaosFiles::StopWriting() {
    m_stop = true;
    if (m_writer.joinable()) {
        m_writer.join();
    }
}

QString CChaosFiles::Pick(Kind kind, std::mt19937_64& random) const {
    const std::vector<QString>& files = m_files.at(kind);
    return files[std::uniform_int_distribution<size_t>(0, files.size() - 1)(random)];
}

QString CChaosFiles::NextRecordingPath() {
    return m_folder.filePath(QStringLiteral("recorded-%1.txt").arg(++m_recordings));
}

bool CChaosFiles::WriteFile(const QString& path, const std::string& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(content.data(), qint64(content.size())) != qint64(content.size())) {
        m_error = "cannot write " + path.toStdString() + ": " + file.errorString().toStdString();
        return false;
    }
    return true;
}

bool CChaosFiles::Make() {
    const QString data = QStringLiteral(VANTREL_TEST_DATA_DIR "/recordings/");
    std::ifstream labels((data + "hidpos-labels.txt").toStdString());
    for (std::string line; std::getline(labels, line);) {
        if (line.rfind("R:", 0) == 0 || line.rfind("N:", 0) == 0 || line.rfind("I:", 0) == 0) {
            m_header += line + "\n";
        } else if (line.rfind("E:", 0) == 0 && m_report.empty()) {
            m_report = line + "\n";
        }
    }
    if (m_header.empty() || m_report.empty()) {
        m_error = "no Hid Pos recording in " + data.toStdString();
        return false;
    }
    for (const char* name : {"hidpos-labels.txt", "two-devices.txt", "surepos-2d.txt"}) {
        m_files[Kind::Good].push_back(data + name);
    }

    // Malformed lines, devices past the limit (whose lines belong to none) and a torn end.
    std::string damaged = m_header + m_report +
                          "E: 0.1 3 02 41\nthe reader was unplugged here\n"
                          "E: x.1 2 01 02\n";
    for (int device = 0; device < 70; ++device) {
        damaged += "D: " + std::to_string(device) + "\nN: Device " + std::to_string(device) +
                   "\nE: 0.2 2 00 04\n";
    }
    damaged += "D: 0\n" + m_report + m_report.substr(0, m_report.size() / 2);
    const QString damagedPath = m_folder.filePath("damaged.txt");
    m_files[Kind::Broken] = {data + "broken.txt", data + "not-a-recording.txt", damagedPath};
    if (!WriteFile(damagedPath, damaged)) {
        return false;
    }

    // A header and a report, then 8 GiB of zeros without a line end.
    const QString huge = m_folder.filePath("huge.txt");
    m_files[Kind::Huge] = {huge};
    if (!WriteFile(huge, m_header + m_report) ||
        !QFile::resize(huge, qint64(m_header.size() + m_report.size()) + (qint64{8} << 30))) {
        m_error = "cannot make " + huge.toStdString();
        return false;
    }

    m_fifo = m_folder.filePath("endless-fifo.txt");
    if (mkfifo(QFile::encodeName(m_fifo).constData(), 0600) != 0) {
        m_error = "cannot make the FIFO " + m_fifo.toStdString() + ": " + std::strerror(errno);
        return false;
    }
    m_growing = m_folder.filePath("growing.txt");
    const QString zero = m_folder.filePath("zero.txt");
    if (!WriteFile(m_growing, m_header) || !QFile::link(QStringLiteral("/dev/zero"), zero)) {
        m_error = "cannot make " + m_growing.toStdString() + " or " + zero.toStdString();
        return false;
    }
    m_files[Kind::Endless] = {m_fifo, m_growing, QStringLiteral("/dev/zero"), zero};
    return true;
}

void CChaosFiles::Write(uint64_t seed) {
    std::mt19937_64 random(seed);
    // Opened for reading too, so that neither end waits for the other; nobody drains it.
    const CUniqueFd fifo(
        open(QFile::encodeName(m_fifo).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    const CUniqueFd growing(
        open(QFile::encodeName(m_growing).constData(), O_WRONLY | O_APPEND | O_CLOEXEC));
    uint64_t number = 0;
    while (!m_stop) {
        std::string batch;
        for (int i = 0; i < kBatchReports; ++i) {
            batch += ReportLine(number++);
        }
        // The FIFO takes what fits.
        WriteAll(fifo.Get(), batch.data(), batch.size());
        // In two writes, so that a reading may end in a torn line.
        const size_t split = std::uniform_int_distribution<size_t>(0, batch.size())(random);
        WriteAll(growing.Get(), batch.data(), split);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        WriteAll(growing.Get(), batch.data() + split, batch.size() - split);
        struct stat status {};
        if (fstat(growing.Get(), &status) == 0 && status.st_size > kGrowingLimit &&
            ftruncate(growing.Get(), 0) == 0) {
            WriteAll(growing.Get(), m_header.data(), m_header.size());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
