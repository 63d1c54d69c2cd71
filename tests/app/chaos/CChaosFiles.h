// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

// The files the chaos run opens as recordings and records into, in a temporary folder: good
// recordings (from the test data, and those the run wrote), broken ones (malformed lines,
// devices past the limit, a torn last line), endless ones (a FIFO and a growing file that a
// thread keeps writing reports into, /dev/zero) and a huge one (gigabytes of zeros after a
// header, taking no room on the disk).
class CChaosFiles {
public:
    enum class Kind { Good, Broken, Endless, Huge };

    // Makes the files and starts the writing thread; Error() says what failed.
    explicit CChaosFiles(uint64_t seed);
    ~CChaosFiles();
    CChaosFiles(const CChaosFiles&) = delete;
    CChaosFiles& operator=(const CChaosFiles&) = delete;

    const std::string& Error() const { return m_error; }
    QString Pick(Kind kind, std::mt19937_64& random) const;
    // A recording the run wrote, to be opened among the good ones.
    void AddGood(const QString& path) { m_files[Kind::Good].push_back(path); }
    // A new file name in the folder to record into.
    QString NextRecordingPath();
    // The FIFO, which a recording must refuse to write into.
    const QString& Fifo() const { return m_fifo; }
    // Ends the writing thread.
    void StopWriting();

private:
    bool Make();
    bool WriteFile(const QString& path, const std::string& content);
    // The writing thread: batches of reports into the FIFO and the growing file.
    void Write(uint64_t seed);

    QTemporaryDir m_folder;
    std::string m_error;
    std::string m_header; // the "R:", "N:" and "I:" lines of a Hid Pos imager
    std::string m_report; // one of its reports as an "E:" line
    std::map<Kind, std::vector<QString>> m_files;
    QString m_fifo;
    QString m_growing;
    int m_recordings = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_writer;
};
