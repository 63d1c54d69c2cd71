// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CReportRecorder.h"
#include "recording/CRecording.h"
#include "recording/CRecordingFile.h"
#include "recording/CRecordingOutput.h"
#include "support/CFileSizeLimit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <thread>
#include <unistd.h>

namespace {

using Clock = CReportRecorder::Clock;
using namespace std::chrono_literals;

// A stream buffer whose text outlives the stream the recorder owns and closes. Flushing it can
// be held up, as a stalled disk would be.
class CSharedText : public std::streambuf {
public:
    std::string Text() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_text;
    }
    void Hold() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = true;
    }
    void Release() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_held = false;
        }
        m_changed.notify_all();
    }
    std::unique_ptr<std::ostream> Stream() { return std::make_unique<std::ostream>(this); }

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_text.append(s, size_t(n));
        return n;
    }
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            const char one = char(c);
            xsputn(&one, 1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_held; });
        return 0;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_text;
    bool m_held = false;
};

// Counts the calls of `ended` and lets a test wait for the first.
class CEndedSignal {
public:
    std::function<void()> Callback() {
        return [this] {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                ++m_calls;
            }
            m_changed.notify_all();
        };
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_calls > 0; });
    }
    int Calls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_calls = 0;
};

CHidInterfaceInfo NumberedReader() {
    CHidInterfaceInfo info;
    info.reportDescriptor = {0x05, 0x8C, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x02,
                             0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xC0};
    info.hidName = "Maker Scanner";
    info.busType = 3;
    info.attributes = {0x1209, 0x0101, 0};
    return info;
}

std::vector<CRecordingItem> Items(const std::string& text) {
    std::vector<CRecordingItem> items;
    CRecordingReader reader;
    std::istringstream in(text);
    std::string line;
    std::string error;
    while (std::getline(in, line)) {
        CRecordingItem item;
        const auto result = reader.ReadLine(line, item, error);
        EXPECT_NE(result, CRecordingReader::Result::Error) << line << ": " << error;
        if (result == CRecordingReader::Result::Item) {
            items.push_back(item);
        }
    }
    return items;
}

std::vector<CRecordingItem> Inputs(const std::string& text) {
    std::vector<CRecordingItem> inputs;
    for (const CRecordingItem& item : Items(text)) {
        if (item.kind == CRecordingItem::Kind::Input) {
            inputs.push_back(item);
        }
    }
    return inputs;
}

TEST(CReportRecorder, WritesTheHeaderThenEveryReportInOrderTimedAsItWasRead) {
    CSharedText text;
    CEndedSignal ended;
    const Clock::time_point first = Clock::now();
    {
        CReportRecorder recorder(text.Stream(), NumberedReader(), "Scanner - S1", ended.Callback());
        // A reader thread adds while the owner ends the recording: what came before the end is
        // all written, in order.
        std::thread reader([&] {
            for (uint32_t i = 0; i < 5000; ++i) {
                const uint8_t report[] = {0x02, uint8_t(i), uint8_t(i >> 8)};
                recorder.Add(report, sizeof report, first + std::chrono::microseconds(i * 125));
            }
        });
        reader.join();
        recorder.End();
        recorder.End(); // a second end changes nothing
        ended.Wait();
        EXPECT_TRUE(recorder.HasEnded());
        EXPECT_EQ(recorder.Error(), 0);
        EXPECT_EQ(recorder.Written(), 5000u);
        const uint8_t late[] = {0x02, 0xFF, 0xFF};
        recorder.Add(late, sizeof late, Clock::now()); // after the end: not written
    }
    EXPECT_EQ(ended.Calls(), 1);

    const std::vector<CRecordingItem> items = Items(text.Text());
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[0].kind, CRecordingItem::Kind::Descriptor);
    EXPECT_EQ(items[0].bytes, NumberedReader().reportDescriptor);
    EXPECT_EQ(items[1].text, "Maker Scanner");
    EXPECT_EQ(items[2].vendorId, 0x1209);
    const std::vector<CRecordingItem> inputs = Inputs(text.Text());
    ASSERT_EQ(inputs.size(), 5000u);
    for (uint32_t i = 0; i < inputs.size(); ++i) {
        ASSERT_EQ(inputs[i].bytes, (std::vector<uint8_t>{0x02, uint8_t(i), uint8_t(i >> 8)}));
        ASSERT_TRUE(inputs[i].timed);
        ASSERT_EQ(inputs[i].microseconds, i * 125u);
    }
    EXPECT_NE(text.Text().find("# Scanner - S1\n"), std::string::npos);
}

TEST(CReportRecorder, AWriteErrorEndsTheRecordingWithItsReason) {
    CEndedSignal ended;
    CReportRecorder recorder(std::make_unique<std::ofstream>("/dev/full"), NumberedReader(), "x",
                             ended.Callback());
    const uint8_t report[] = {0x02, 0x41, 0x42};
    recorder.Add(report, sizeof report, Clock::now());
    ended.Wait();
    EXPECT_TRUE(recorder.HasEnded());
    EXPECT_EQ(recorder.Error(), ENOSPC);
    EXPECT_EQ(recorder.Written(), 0u);
}

// A disk that fills while the recorder writes (a file size limit stands for it): the file is cut
// back to its last whole line, so that it reads without a problem, and the error is kept.
TEST(CReportRecorder, AFullDiskLeavesNoTornLine) {
    char dir[] = "/tmp/vantrel-fullXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/full.txt";
    int error = 0;
    {
        const CFileSizeLimit full(5000);
        ASSERT_TRUE(full.IsSet());
        auto file = std::make_unique<CRecordingOutput>();
        ASSERT_TRUE(file->Open(path));
        CEndedSignal ended;
        CReportRecorder recorder(std::move(file), NumberedReader(), "x", ended.Callback());
        std::vector<uint8_t> report(64, 0x41);
        report[0] = 0x02;
        for (int i = 0; i < 200; ++i) {
            recorder.Add(report.data(), report.size(), Clock::now());
        }
        recorder.End();
        ended.Wait();
        error = recorder.Error();
    }
    EXPECT_EQ(error, EFBIG);
    CRecordingFile file;
    ASSERT_TRUE(file.Load(path));
    unlink(path.c_str());
    rmdir(dir);
    EXPECT_EQ(file.ProblemCount(), 0u) << file.Problems().front().reason;
    ASSERT_EQ(file.Devices().size(), 1u);
    EXPECT_GT(file.Devices()[0].reports.size(), 10u); // what fitted is kept
}

TEST(CReportRecorder, AWriterThatFallsTooFarBehindEndsWithWhatCameInOrder) {
    CSharedText text;
    text.Hold(); // the disk stalls at the header's flush
    CEndedSignal ended;
    CReportRecorder recorder(text.Stream(), NumberedReader(), "x", ended.Callback(), 30);
    const Clock::time_point start = Clock::now();
    // Ten reports of three bytes fill the queue; the eleventh overflows it and ends the
    // recording; later ones are not taken.
    for (uint8_t i = 0; i < 12; ++i) {
        const uint8_t report[] = {0x02, i, i};
        recorder.Add(report, sizeof report, start);
    }
    EXPECT_FALSE(recorder.HasEnded());
    text.Release();
    ended.Wait();
    EXPECT_EQ(recorder.Error(), ENOBUFS);
    EXPECT_EQ(recorder.Written(), 10u);
    const std::vector<CRecordingItem> inputs = Inputs(text.Text());
    ASSERT_EQ(inputs.size(), 10u);
    for (uint8_t i = 0; i < 10; ++i) {
        EXPECT_EQ(inputs[i].bytes, (std::vector<uint8_t>{0x02, i, i}));
    }
}

TEST(CRecordingWriter, ReportsAreTimedFromTheFirstReadTimeAndABatchGoesOutWithOneFlush) {
    std::ostringstream out;
    CRecordingWriter writer(out, false);
    CHidInterfaceInfo unnumbered;
    unnumbered.reportDescriptor = {0x06, 0x45, 0xFF, 0x09, 0x00, 0xA1, 0x01,
                                   0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xC0};
    writer.AddDevice(unnumbered, "x");
    const Clock::time_point read = Clock::now() - 10s;
    const uint8_t report[] = {0x00, 0x41};
    writer.BufferInput(0, report, sizeof report, read);
    writer.BufferInput(0, report, sizeof report, read - 5us); // read earlier: counts as 0
    writer.WriteInput(0, {0x00, 0x42}, read + 2s + 7us);
    EXPECT_TRUE(writer.Good());
    const std::string text = out.str();
    EXPECT_NE(text.find("E: 000000.000000 1 41\nE: 000000.000000 1 41\nE: 000002.000007 1 42\n"),
              std::string::npos)
        << text;
}

} // namespace
