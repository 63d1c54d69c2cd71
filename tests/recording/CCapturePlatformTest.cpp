// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CCapturePlatform.h"
#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"
#include "recording/CRecordingFile.h"
#include "recording/CReplayPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A Hid Pos imager's descriptor (input report id 2) and a scale's (no report ids), shortened
// to what the header reads: the collection's usage and the report lengths.
const char kNumbered[] = "R: 17 05 8c 09 02 a1 01 85 02 75 08 95 03 09 fe 81 02 c0";
const char kUnnumbered[] = "R: 15 06 45 ff 0a 00 64 a1 01 75 08 95 02 81 02 c0";

std::shared_ptr<CRecordingFile> Read(const std::string& text, size_t maxHeld = 1 << 20) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], text.data(), text.size()), ssize_t(text.size()));
    close(fds[1]);
    auto file = std::make_shared<CRecordingFile>(maxHeld);
    EXPECT_TRUE(file->Load(fds[0]));
    close(fds[0]);
    return file;
}

std::vector<uint8_t> Report(const CRecordedDevice& device, size_t index) {
    const CRecordedReport& report = device.reports.at(index);
    return {device.bytes.begin() + long(report.offset),
            device.bytes.begin() + long(report.offset + report.length)};
}

bool Readable(const CHidConnection& connection) {
    pollfd fd{connection.PollFd(), POLLIN, 0};
    return poll(&fd, 1, 0) == 1;
}

// Reads what is due now, all of it.
std::vector<std::vector<uint8_t>> ReadDue(CHidConnection& connection) {
    std::vector<std::vector<uint8_t>> reports;
    uint8_t buffer[64];
    int error = 0;
    while (Readable(connection)) {
        const long count = connection.ReadReport(buffer, sizeof buffer, error);
        if (count < 0) {
            break;
        }
        reports.emplace_back(buffer, buffer + count);
    }
    return reports;
}

TEST(CRecordingFile, KeepsEachDevicesHeaderReportsAndAnswersInFileOrder) {
    const auto file = Read(std::string("D: 1\n") + kUnnumbered +
                           "\nN: Scale\nI: 3 1209 0104\n"
                           "E: 0.5 2 10 00\nF: 00 07\nD: 0\n" +
                           kNumbered + "\nE: 0.25 3 02 41 42\n02 43 44\nD: 1\nF: 00 08\n");
    EXPECT_EQ(file->ProblemCount(), 0u);
    ASSERT_EQ(file->Devices().size(), 2u);
    const CRecordedDevice& imager = file->Devices()[0];
    const CRecordedDevice& scale = file->Devices()[1];
    EXPECT_EQ(imager.index, 0);
    EXPECT_EQ(scale.index, 1);
    EXPECT_EQ(scale.header.Name(), "Scale");
    EXPECT_EQ(scale.header.Attributes().productId, 0x0104);
    EXPECT_EQ(scale.header.Caps().usagePage, 0xff45);
    // The scale's reports carry no report id: the port reads them with 0x00 in front.
    ASSERT_EQ(scale.reports.size(), 1u);
    EXPECT_EQ(Report(scale, 0), (std::vector<uint8_t>{0x00, 0x10, 0x00}));
    EXPECT_TRUE(scale.reports[0].timed);
    EXPECT_EQ(scale.reports[0].microseconds, 500000u);
    EXPECT_EQ(scale.featureAnswers,
              (std::vector<std::vector<uint8_t>>{{0x00, 0x07}, {0x00, 0x08}}));
    ASSERT_EQ(imager.reports.size(), 2u);
    EXPECT_EQ(Report(imager, 1), (std::vector<uint8_t>{0x02, 0x43, 0x44}));
    EXPECT_FALSE(imager.reports[1].timed);
}

TEST(CRecordingFile, KeepsWhatItCouldReadAroundMalformedLinesAndCountsThem) {
    const auto file =
        Read(std::string(kNumbered) + "\nE: 0.0 2 02 41\nE: 0.1 3 02 41\nnot hex\nR: 2 05\n"
                                      "zz\nyy\nxx\nww\nE: 0.2 2 02 42\n");
    ASSERT_EQ(file->Devices().size(), 1u);
    // The broken "R:" does not take the descriptor read before it.
    EXPECT_TRUE(file->Devices()[0].header.HasDescriptor());
    EXPECT_EQ(file->Devices()[0].reports.size(), 2u);
    EXPECT_EQ(file->ProblemCount(), 7u);
    ASSERT_EQ(file->Problems().size(), CRecordingFile::kMaxProblemsKept);
    EXPECT_EQ(file->Problems()[0].line, 3);
    EXPECT_NE(file->Problems()[0].reason.find("count says 3"), std::string::npos);
    EXPECT_EQ(file->Problems()[2].line, 5);

    // Without a descriptor before it, the broken line is what the device is left with.
    const auto broken = Read("R: 2 05\nE: 0.0 1 02\n");
    EXPECT_FALSE(broken->Devices()[0].header.HasDescriptor());
    EXPECT_EQ(broken->Devices()[0].header.BrokenDescriptorLine(), 1);
}

TEST(CRecordingFile, StopsAtItsMemoryBoundAndSaysWhere) {
    std::string text = std::string(kNumbered) + "\n";
    for (int i = 0; i < 100; ++i) {
        text += "E: 0.0 3 02 41 42\n";
    }
    const size_t perReport = 3 + sizeof(CRecordedReport);
    const auto file = Read(text, 10 * perReport);
    EXPECT_EQ(file->Devices()[0].reports.size(), 10u);
    ASSERT_EQ(file->ProblemCount(), 1u);
    EXPECT_EQ(file->Problems()[0].line, 12);
    EXPECT_NE(file->Problems()[0].reason.find("keeps in memory"), std::string::npos);
}

TEST(CRecordingFile, RefusesWhatCannotBeARecordingBeforeReadingIt) {
    CRecordingFile missing;
    EXPECT_FALSE(missing.Load("/nonexistent/recording.txt"));
    EXPECT_EQ(missing.Fail(), CRecordingFile::Failure::Unreadable);
    EXPECT_EQ(missing.Error(), ENOENT);

    CRecordingFile folder;
    EXPECT_FALSE(folder.Load(VANTREL_TEST_DATA_DIR));
    EXPECT_EQ(folder.Fail(), CRecordingFile::Failure::Directory);

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "\x1f\x8b\x08\x00", 4), 4);
    close(fds[1]);
    CRecordingFile compressed;
    EXPECT_FALSE(compressed.Load(fds[0]));
    close(fds[0]);
    EXPECT_EQ(compressed.Fail(), CRecordingFile::Failure::Compressed);
    EXPECT_EQ(compressed.Format(), "gzip");
    EXPECT_EQ(compressed.Tool(), "zcat");
}

// What the GUI's loader relies on: a device node is refused unread, a FIFO without a writer is
// waited on only until the cancel flag is set, and progress is told as the file is read.
TEST(CRecordingFile, RefusesDevicesAndCanBeCancelledWhileAFifoWaits) {
    CRecordingFile zero;
    EXPECT_FALSE(zero.Load("/dev/zero"));
    EXPECT_EQ(zero.Fail(), CRecordingFile::Failure::Device);

    char dir[] = "/tmp/vantrel-loadXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> cancel{false};
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel = true;
    });
    CRecordingFile waiting;
    CRecordingLoadControl control;
    control.cancel = &cancel;
    EXPECT_FALSE(waiting.Load(fifo, control));
    canceller.join();
    unlink(fifo.c_str());
    rmdir(dir);
    EXPECT_EQ(waiting.Fail(), CRecordingFile::Failure::Cancelled);

    std::string text = std::string(kNumbered) + "\n";
    while (text.size() < 3 * CRecordingFile::kProgressEvery) {
        text += "E: 0.0 3 02 41 42\n";
    }
    const int fd = memfd_create("progress", MFD_CLOEXEC);
    ASSERT_EQ(write(fd, text.data(), text.size()), ssize_t(text.size()));
    lseek(fd, 0, SEEK_SET);
    std::vector<uint64_t> told;
    control.cancel = nullptr;
    control.progress = [&](uint64_t read, uint64_t size) {
        told.push_back(read);
        EXPECT_EQ(size, text.size());
    };
    CRecordingFile progressing;
    EXPECT_TRUE(progressing.Load(fd, control, text.size()));
    close(fd);
    ASSERT_GE(told.size(), 3u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), text.size());
}

class CCapturePlatformTest : public ::testing::Test {
protected:
    CCapturePlatformTest() : m_live(CHidCaps{1, 0x8c, 8, 0, 0}, CHidAttributes{0x1209, 1, 0}) {}

    std::unique_ptr<CHidConnection> Open(const std::string& path) {
        int error = 0;
        auto connection = m_captures.Open(path, error);
        EXPECT_NE(connection, nullptr) << error;
        return connection;
    }

    CReplayPlatform m_live;
    CCapturePlatform m_captures{m_live};
};

TEST_F(CCapturePlatformTest, ListsRecordingsAfterTheLiveInterfacesAndOpensEitherKind) {
    const auto file = Read(std::string(kNumbered) + "\nN: Imager\nI: 3 1209 0101\n");
    const std::string path = m_captures.Add(file, 0, "Recording: a.txt");
    EXPECT_TRUE(m_captures.IsCapture(path));
    EXPECT_FALSE(m_captures.IsCapture(CReplayPlatform::kPath));
    EXPECT_TRUE(m_captures.HasEntry("Recording: a.txt"));

    std::vector<CHidInterfaceInfo> interfaces;
    int error = 0;
    ASSERT_TRUE(m_captures.EnumerateInterfaces(interfaces, error));
    ASSERT_EQ(interfaces.size(), 2u);
    EXPECT_EQ(interfaces[0].path, CReplayPlatform::kPath);
    EXPECT_TRUE(interfaces[0].listName.empty());
    EXPECT_EQ(interfaces[1].path, path);
    EXPECT_EQ(interfaces[1].listName, "Recording: a.txt");
    EXPECT_EQ(interfaces[1].caps.usagePage, 0x8c);
    EXPECT_EQ(interfaces[1].caps.inputReportByteLength, 4);
    EXPECT_EQ(interfaces[1].attributes.productId, 0x0101);
    EXPECT_EQ(interfaces[1].hidName, "Imager");
    EXPECT_EQ(interfaces[1].reportDescriptor.size(), 17u);
    EXPECT_EQ(interfaces[1].busType, 3);

    // A live path goes to the live platform.
    EXPECT_EQ(Open(CReplayPlatform::kPath)->Caps().inputReportByteLength, 8);
    EXPECT_EQ(Open(path)->Caps().usage, 2);
}

TEST_F(CCapturePlatformTest, PlaysAllAtOnceInOrderAndAgainFromTheStartWhenReopened) {
    const auto file =
        Read(std::string(kUnnumbered) + "\nE: 0.0 2 10 00\nE: 100.0 2 20 00\nE: 7200.0 2 30 00\n");
    const std::string path = m_captures.Add(file, 0, "Recording: b.txt");
    for (int round = 0; round < 2; ++round) {
        auto connection = Open(path);
        EXPECT_EQ(ReadDue(*connection),
                  (std::vector<std::vector<uint8_t>>{
                      {0x00, 0x10, 0x00}, {0x00, 0x20, 0x00}, {0x00, 0x30, 0x00}}));
        // Played out: nothing wakes the reader, and a read finds nothing.
        EXPECT_FALSE(Readable(*connection));
        uint8_t buffer[8];
        int error = 0;
        EXPECT_EQ(connection->ReadReport(buffer, sizeof buffer, error), -1);
        EXPECT_EQ(error, EAGAIN);
    }
}

// A recording may hold empty reports ("E: 0.0 0"), also as all its device holds: each plays as a
// read of no bytes, never a copy from no storage.
TEST_F(CCapturePlatformTest, PlaysAnEmptyReportAsAReadOfNoBytes) {
    const auto file = Read(std::string(kNumbered) + "\nE: 0.0 0\nE: 0.1 0\n");
    ASSERT_EQ(file->Devices().at(0).reports.size(), 2u);
    auto connection = Open(m_captures.Add(file, 0, "Recording: empty.txt"));
    EXPECT_EQ(ReadDue(*connection), (std::vector<std::vector<uint8_t>>{{}, {}}));
}

TEST_F(CCapturePlatformTest, PlaysAtTheRecordedPaceWhenAsked) {
    // Untimed lines play with the report before them; the hour's gap holds the rest back.
    const auto file =
        Read(std::string(kUnnumbered) + "\nE: 10.0 2 10 00\n00 11 00\nE: 3610.0 2 20 00\n");
    const std::string path = m_captures.Add(file, 0, "Recording: c.txt");
    m_captures.SetPaced(true);
    auto paced = Open(path);
    EXPECT_EQ(ReadDue(*paced),
              (std::vector<std::vector<uint8_t>>{{0x00, 0x10, 0x00}, {0x00, 0x00, 0x11, 0x00}}));
    uint8_t buffer[8];
    int error = 0;
    EXPECT_EQ(paced->ReadReport(buffer, sizeof buffer, error), -1);
    EXPECT_EQ(error, EAGAIN);

    // The choice holds for what is opened after it.
    m_captures.SetPaced(false);
    EXPECT_EQ(ReadDue(*Open(path)).size(), 3u);
}

TEST_F(CCapturePlatformTest, WritesGoNowhereAndFeatureReadsTakeTheAnswersInOrder) {
    const auto file = Read(std::string(kNumbered) + "\nF: fe 01\nF: fe 00\n");
    const std::string path = m_captures.Add(file, 0, "Recording: d.txt");
    for (int round = 0; round < 2; ++round) {
        auto connection = Open(path);
        int error = 0;
        const uint8_t out[] = {0x04, 0x01};
        EXPECT_TRUE(connection->WriteReport(out, sizeof out, 100, error));
        EXPECT_TRUE(connection->SetFeature(out, sizeof out, error));
        uint8_t answer[2] = {};
        ASSERT_TRUE(connection->GetFeature(answer, sizeof answer, error));
        EXPECT_EQ(answer[1], 0x01);
        ASSERT_TRUE(connection->GetFeature(answer, sizeof answer, error));
        EXPECT_EQ(answer[1], 0x00);
        EXPECT_FALSE(connection->GetFeature(answer, sizeof answer, error));
        EXPECT_EQ(error, EIO);
    }
}

TEST_F(CCapturePlatformTest, ThePortsReaderThreadReadsARecordingAsItReadsALiveReader) {
    std::string text = std::string(kNumbered) + "\nF: fe 01\n";
    for (int i = 0; i < 200; ++i) {
        text +=
            "E: 0." + std::to_string(100000 + i) + " 3 02 " + std::to_string(10 + i % 80) + " 00\n";
    }
    const auto file = Read(text);
    m_captures.Add(file, 0, "Recording: e.txt");
    CQueuedPoster poster;
    CReaderPort port(m_captures, poster);
    port.Enumerate(nullptr, "", false);
    ASSERT_TRUE(port.Open("Recording: e.txt", 0x0400)) << port.LastError();
    // The feature answer is taken on this thread while the reader thread reads.
    uint8_t answer[2] = {0xfe, 0x00};
    EXPECT_TRUE(port.GetFeature(answer, sizeof answer));
    EXPECT_EQ(answer[1], 0x01);
    const std::vector<CRecordedReport>& reports = file->Devices()[0].reports;
    for (size_t i = 0; i < reports.size(); ++i) {
        CHidMessage message;
        ASSERT_TRUE(poster.WaitForMessage(message, 5000)) << i;
        ASSERT_TRUE(port.IsCurrent(message));
        EXPECT_EQ(message.report, Report(file->Devices()[0], i)) << i;
    }
    CHidMessage extra;
    EXPECT_FALSE(poster.WaitForMessage(extra, 20));
    port.Close();
}

} // namespace
