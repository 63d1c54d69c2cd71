// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CCliFixture.h"
#include "sim/CSimReaderSet.h"

#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace {

class CliRecordings : public CCliFixture {
protected:
    void SetUp() override {
        m_store.WriteProfileInt("Settings", "ShowRaw", 1);
        m_store.WriteProfileInt("Settings", "ShowSymbology", 1);
        m_hidPos = TestDescriptor("hidpos-8c-0002.hex");
        m_sio = CSimReaderSet::SurePosSioDescriptor(0x6400);
    }

    // Hid Pos labels as the real imager sends them: 64 bytes, report id 2.
    static std::vector<uint8_t> Label(const std::string& text) {
        std::vector<uint8_t> report(64, 0);
        const std::string head = std::string("\x02") + char(text.size()) + "]E0" + text;
        std::copy(head.begin(), head.end(), report.begin());
        return report;
    }

    std::string Line(const char* item, const std::string& time, const std::vector<uint8_t>& bytes,
                     const char* end = "\n") {
        return std::string(item) + " " + time + " " + std::to_string(bytes.size()) + " " +
               Hex(bytes) + end;
    }

    std::vector<uint8_t> m_hidPos;
    std::vector<uint8_t> m_sio;
};

TEST_F(CliRecordings, CapturesOfEveryRecorderReplayLikeOurOwn) {
    const auto first = Label("4006381333931");
    const auto second = Label("96385074");
    const std::string descriptor = "R: " + std::to_string(m_hidPos.size()) + " " + Hex(m_hidPos);
    const std::string own = "# Vantrel recording\n" + descriptor + "\nN: Imager\nI: 3 1209 0101\n" +
                            Line("E:", "0.000000", first) + Line("E:", "0.501234", second);
    const std::string python =
        "# Maker HID POS Imager\n"
        "# 0x05, 0x8c,                    // Usage Page (Bar Code Scanner) 0\n"
        "#\n" +
        descriptor + "\nN: Maker HID POS Imager\nI: 3 1209 0101\n" +
        "# ReportID: 2 / Bar Code Scanner: 13\n" + Line("E:", "000000.000000", first) +
        Line("E:", "000000.501234", second);
    const std::string c = "D: 0\n" + descriptor +
                          "\nN: Maker HID POS Imager\nP: usb-0000:00:14.0-2/input1\n"
                          "I: 3 1209 0101\nD: 0\n" +
                          Line("E:", "0.000000", first) + Line("E:", "0.501234", second);
    const std::string rust =
        "# Maker HID POS Imager\n# Report descriptor length: " + std::to_string(m_hidPos.size()) +
        " bytes\n" +
        "# Recorded events below in format:\n"
        "# E: <seconds>.<microseconds> <length-in-bytes> [bytes ...]\n#\n" +
        descriptor + "\nN: Maker HID POS Imager\nI: 3 1209 101\n" + "# Current time: 10:11:12\n" +
        Line("E:", "000000.000000", first, " \n") + "B: 000000.000010 4 01 02 03 04 \n" +
        Line("E:", "000000.501234", second, " \n");
    std::string crOnly = own;
    for (char& ch : crOnly) {
        if (ch == '\n') {
            ch = '\r';
        }
    }
    std::string crLf;
    for (char ch : rust) {
        crLf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    }

    const CResult expected = Run({"replay", WriteFile(own), "--format", "json"});
    ASSERT_EQ(expected.code, CCliApp::kDone) << expected.err;
    EXPECT_NE(expected.out.find("4006381333931"), std::string::npos) << expected.out;
    EXPECT_EQ(expected.out.find("Wrong Report ID"), std::string::npos);
    const std::vector<std::pair<const char*, std::string>> captures = {
        {"python", python}, {"c", c}, {"rust", rust}, {"cr", crOnly}, {"crlf", crLf}};
    for (const auto& [style, text] : captures) {
        const CResult r = Run({"replay", WriteFile(text), "--format", "json"});
        EXPECT_EQ(r.code, CCliApp::kDone) << style << ": " << r.err;
        EXPECT_EQ(r.out, expected.out) << style;
    }
}

TEST_F(CliRecordings, SeveralDevicesKeepTheirOwnDescriptorsAndAreMarked) {
    const std::string file =
        WriteFile("D: 0\nR: " + std::to_string(m_hidPos.size()) + " " + Hex(m_hidPos) +
                  "\nN: Imager\nP: usb-1/input0\nI: 3 1209 0101\n"
                  "D: 1\nR: " +
                  std::to_string(m_sio.size()) + " " + Hex(m_sio) +
                  "\nN: Scale\nP: usb-2/input0\nI: 3 1209 0104\n"
                  "D: 0\n" +
                  Line("E:", "0.000000", Label("111")) + "D: 1\nE: 0.100000 2 10 00\n" + "D: 0\n" +
                  Line("E:", "0.200000", Label("222")));

    const CResult both = Run({"replay", file, "--format", "json"});
    ASSERT_EQ(both.code, CCliApp::kDone) << both.err;
    EXPECT_EQ(both.out.find("Wrong Report ID"), std::string::npos) << both.out;
    // Every object names its device; device 0's objects are what device 0 alone gives.
    std::istringstream lines(both.out);
    std::string line;
    std::string device0;
    size_t objects = 0;
    while (std::getline(lines, line)) {
        ++objects;
        const size_t at = line.find(", \"device\": 0}");
        if (at != std::string::npos) {
            device0 += line.substr(0, at) + "}\n";
        } else {
            EXPECT_NE(line.find(", \"device\": 1}"), std::string::npos) << line;
        }
    }
    EXPECT_GT(objects, 4u);
    const CResult alone = Run({"replay", "--device", "0", file, "--format", "json"});
    EXPECT_EQ(alone.code, CCliApp::kDone) << alone.err;
    EXPECT_EQ(device0, alone.out);
    EXPECT_NE(alone.out.find("222"), std::string::npos);

    const CResult text = Run({"replay", file, "--format", "plain"});
    EXPECT_EQ(text.out.rfind("[device 0] ", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("\n[device 1] [10][00]"), std::string::npos) << text.out;

    const CResult described = Run({"describe", file});
    EXPECT_EQ(described.code, CCliApp::kDone) << described.err;
    EXPECT_NE(described.out.find("device 0 (Imager):\ncollection: usage page 0x008C"),
              std::string::npos)
        << described.out;
    EXPECT_NE(described.out.find("device 1 (Scale):\ncollection: usage page 0xFF45"),
              std::string::npos);
    const CResult one = Run({"describe", "--device", "1", file, "--format", "json"});
    EXPECT_EQ(Count(one.out, "\n"), 1u) << one.out;
    EXPECT_NE(one.out.find("\"device\": 1"), std::string::npos);
    EXPECT_EQ(Run({"replay", "--device", "5", file}).code, CCliApp::kFailed);
}

TEST_F(CliRecordings, RecordsGiveEachReportWithItsInsertions) {
    const std::string file =
        WriteFile("R: " + std::to_string(m_hidPos.size()) + " " + Hex(m_hidPos) + "\nN: Imager\n" +
                  Line("E:", "1.250000", Label("123")));
    const CResult json = Run({"replay", file, "--format", "json"});
    const CResult records = Run({"replay", file, "--format", "records"});
    ASSERT_EQ(records.code, CCliApp::kDone) << records.err;
    EXPECT_EQ(Count(records.out, "\n"), 1u) << records.out;
    EXPECT_EQ(records.out.rfind("{\"time\": 1.250000, \"reader\": \"Imager\", \"report_id\": 2, "
                                "\"report\": \"02 03 5d 45 30 31 32 33 00",
                                0),
              0u)
        << records.out;
    // The insertions are the json format's objects, in order.
    std::string insertions;
    std::istringstream lines(json.out);
    for (std::string line; std::getline(lines, line);) {
        insertions += (insertions.empty() ? "" : ", ") + line;
    }
    EXPECT_NE(records.out.find("\"insertions\": [" + insertions + "]}"), std::string::npos)
        << records.out << "\n"
        << insertions;
}

TEST_F(CliRecordings, TodaysReadersReplayAsSpecifiedOrCompletelyDecoded) {
    const std::string qr = "M1DOE/JANE            EABC123 LHRJFKBA 0117 123Y014C0042";
    // `count` characters of `cycle` repeated, from `from` on: the long labels of the imager.
    const auto cycled = [](const std::string& cycle, size_t from, size_t count) {
        std::string text;
        for (size_t i = from; i < from + count; ++i) {
            text += cycle[i % cycle.size()];
        }
        return text;
    };
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::string digits = "0123456789";
    const std::string identifierLastSpecified =
        "LO FROM BYTE 2[00][00][00]\n starts this Data Matrix label[00][00][00] - C39\n"
        "ESMARAIS/LUC       EABC123 YULFRAAC 0834 326J001F0025]Q0\n0[00][00][00]\n"
        "1234123457[00][00][00]\n";
    const struct {
        const char* file;
        const char* decoding;
        std::string out;
    } cases[] = {
        {"hidpos-2d.txt", "specified",
         qr +
             " - Don't know\n 100 - Don't know\nVANTREL-DM-0042 - Don't know\n"
             "0109501101020917[1D]10ABC123 - Don't know\n"
             "0109501101020917[1D]17261231 - Don't know\n" +
             cycled(letters, 0, 56) + " - Don't know\n" + cycled(letters, 56, 56) +
             " - Don't know\n" + cycled(letters, 112, 18) + " - Don't know\n" +
             cycled(digits, 0, 56) + " - Don't know\n" + cycled(digits, 56, 56) +
             " - Don't know\n"
             "Product Name: Imager 2D; Boot Revision: 1.0; Software Pa - Not a barcode\n"
             "rt Number: 4711; Software Revision: 2.3; Serial Number:  - Not a barcode\n"
             "42 - Not a barcode\n"},
        {"hidpos-2d.txt", "complete",
         qr +
             " 100 - QR Code\nVANTREL-DM-0042 - Data Matrix\n"
             "0109501101020917[1D]10ABC123 - GS1 DataMatrix\n"
             "0109501101020917[1D]17261231 - GS1 QR Code\n" +
             cycled(letters, 0, 130) + " - QR Code\n" + cycled(digits, 0, 112) + " - QR Code\n" +
             "Product Name: Imager 2D; Boot Revision: 1.0; Software Part Number: 4711; Software "
             "Revision: 2.3; Serial Number: 42 - Not a barcode\n"},
        {"hidpos-no-identifier.txt", "specified", "1234123457[00][00][00]\n[00][00][00]\n"},
        {"hidpos-no-identifier.txt", "complete", "5901234123457\nABC\n"},
        // Its descriptor puts the identifier after the data, where only the complete decoding
        // looks.
        {"hidpos-identifier-last.txt", "specified", identifierLastSpecified},
        {"hidpos-identifier-last.txt", "complete",
         "HELLO FROM BYTE 2 - QR Code\n]A0 starts this Data Matrix label - Data Matrix\n"
         "M1DESMARAIS/LUC       EABC123 YULFRAAC 0834 326J001F0025 100 - QR Code\n"
         "5901234123457\n"},
        {"surepos-2d.txt", "specified",
         "3574661404264 - EAN13\n[03][01][07][08][05] - EAN13\nQ1 - C39\n"
         "DM-0042-VANTREL - Don't know\nPDF417 SAMPLE - Don't know\n"},
        {"surepos-2d.txt", "complete",
         "3574661404264 - EAN13\n3178530403022 - EAN13\nQ1 - C39\n"
         "DM-0042-VANTREL - Data Matrix\nPDF417 SAMPLE - PDF417\n"},
    };
    for (const auto& c : cases) {
        const CResult r =
            Run({"replay", std::string(VANTREL_TEST_DATA_DIR) + "/recordings/" + c.file,
                 "--decoding", c.decoding, "--set", "ShowRaw=0", "--format", "plain"});
        EXPECT_EQ(r.code, CCliApp::kDone) << c.file << " " << c.decoding << r.err;
        EXPECT_EQ(r.out, c.out) << c.file << " " << c.decoding;
    }
    // The joined label's record carries the identifier of its first report.
    const CResult records =
        Run({"replay", std::string(VANTREL_TEST_DATA_DIR) + "/recordings/hidpos-2d.txt",
             "--decoding", "complete", "--format", "records"});
    EXPECT_NE(records.out.find("\"aim\": \"]Q0\", \"label\": \"" + qr + " 100\""),
              std::string::npos)
        << records.out;
    // The same reports under the first layout's descriptor: the specified decoding is the same,
    // the complete one misses the identifiers and takes the data's ] for one.
    std::ifstream in(std::string(VANTREL_TEST_DATA_DIR) + "/recordings/hidpos-identifier-last.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t descriptorLine = text.find("R: ");
    ASSERT_NE(descriptorLine, std::string::npos);
    text.replace(descriptorLine, text.find('\n', descriptorLine) - descriptorLine,
                 "R: " + std::to_string(m_hidPos.size()) + " " + Hex(m_hidPos));
    const std::string firstLayout = WriteFile(text);
    const auto replay = [&](const std::string& file, const char* decoding) {
        return Run({"replay", file, "--decoding", decoding, "--set", "ShowRaw=0", "--format",
                    "plain"})
            .out;
    };
    EXPECT_EQ(replay(firstLayout, "specified"), identifierLastSpecified);
    EXPECT_EQ(replay(firstLayout, "complete"),
              "HELLO FROM BYTE 2\n starts this Data Matrix label[00][00][00] - C39\n"
              "M1DESMARAIS/LUC       EABC123 YULFRAAC 0834 326J001F0025 100\n5901234123457\n");
    const CResult wrong = Run({"replay", "--decoding", "full", "-"});
    EXPECT_EQ(wrong.code, CCliApp::kUsage);
    EXPECT_NE(wrong.err.find("--decoding must be specified or complete"), std::string::npos);
}

TEST_F(CliRecordings, ErrorsSayWhatIsWrong) {
    const CResult broken = Run({"replay", WriteFile("R: 3 05 8c\nE: 0.0 2 01 02\n")});
    EXPECT_EQ(broken.code, CCliApp::kFailed);
    EXPECT_NE(broken.err.find(":1: report descriptor: the count says 3"), std::string::npos)
        << broken.err;
    EXPECT_NE(broken.err.find("(line 1) is malformed; give --type"), std::string::npos);

    const CResult noDescriptor = Run({"describe", WriteFile("N: Reader\nE: 0.1 2 05 8c\n")});
    EXPECT_EQ(noDescriptor.code, CCliApp::kFailed);
    EXPECT_NE(noDescriptor.err.find("a recording without a report descriptor"), std::string::npos);
    EXPECT_EQ(noDescriptor.out, "");

    char dir[] = "/tmp/vantrel-cli-dirXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const CResult directory = Run({"replay", "--type", "quorin", dir});
    rmdir(dir);
    EXPECT_EQ(directory.code, CCliApp::kFailed);
    EXPECT_NE(directory.err.find("is a directory"), std::string::npos) << directory.err;

    const CResult gzip = Run({"replay", WriteFile(std::string("\x1f\x8b\x08\x00\x00\x00", 6))});
    EXPECT_EQ(gzip.code, CCliApp::kFailed);
    EXPECT_NE(gzip.err.find("is compressed (gzip)"), std::string::npos) << gzip.err;
    EXPECT_NE(Run({"describe", WriteFile("\xfd"
                                         "7zXZ" +
                                         std::string(1, '\0'))})
                  .err.find("compressed (xz)"),
              std::string::npos);

    const CResult missing = Run({"replay", "/nonexistent/recording"});
    EXPECT_EQ(missing.code, CCliApp::kFailed);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
    if (geteuid() != 0) {
        const std::string locked = WriteFile("01 02\n");
        chmod(locked.c_str(), 0);
        EXPECT_NE(Run({"replay", locked}).err.find("Permission denied"), std::string::npos);
    }
}

TEST_F(CliRecordings, HostileInputNeverReachesTheTerminalRaw) {
    std::string text = "E: 0.1 1 \x1b[2J\x1b]0;owned\x07\n";
    for (int i = 0; i < 30; ++i) {
        text += "zz\n";
    }
    const CResult r = Run({"replay", "--type", "quorin", WriteFile(text)});
    EXPECT_EQ(r.code, CCliApp::kFailed);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    EXPECT_NE(r.err.find("\"\\x1b[2J\\x1b]0;owned\\x07\""), std::string::npos) << r.err;
    EXPECT_EQ(Count(r.err, "vantrel-cli: "), size_t(CErrorReporter::kShownLimit) + 1);
    EXPECT_NE(r.err.find("11 more errors were not shown"), std::string::npos) << r.err;
}

// A stream that counts what it is given and keeps what was flushed, for output without end.
class CCountingBuffer : public std::streambuf {
public:
    size_t Written() const { return m_written.load(); }
    // Waits at most 5 s until `text` has been flushed; false when it was not.
    bool WaitFlushed(const std::string& text) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(5),
                                  [&] { return m_flushed.find(text) != std::string::npos; });
    }
    // Waits at most 5 s until more than `bytes` have been written; false when they were not.
    bool WaitWritten(size_t bytes) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(5),
                                  [&] { return m_written.load() > bytes; });
    }

protected:
    int overflow(int c) override {
        if (c != EOF) {
            Keep(std::string(1, char(c)));
        }
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        Keep(std::string(s, size_t(n)));
        return n;
    }
    int sync() override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_flushed.size() < 4096) {
                m_flushed += m_pending;
            }
            m_pending.clear();
        }
        m_changed.notify_all();
        return 0;
    }

private:
    void Keep(const std::string& text) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_written += text.size();
            if (m_pending.size() < 4096) {
                m_pending += text;
            }
        }
        m_changed.notify_all();
    }
    std::atomic<size_t> m_written{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_pending;
    std::string m_flushed;
};

long MaxResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(CliRecordings, EndlessZerosStayInBoundedMemoryAndStopAtOnce) {
    const long before = MaxResidentKiB();
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        m_stop = true;
    });
    m_inFd = open("/dev/zero", O_RDONLY | O_CLOEXEC);
    const auto start = std::chrono::steady_clock::now();
    const CResult r = Run({"replay", "--type", "quorin", "-"});
    const auto stopped = std::chrono::steady_clock::now();
    stopper.join();
    close(m_inFd);
    EXPECT_EQ(r.code, CCliApp::kFailed);
    EXPECT_NE(r.err.find("-:1: longer than 262144 bytes"), std::string::npos) << r.err;
    // Reading /dev/zero runs at gigabytes a second: a reader that kept it would show here.
    EXPECT_LT(MaxResidentKiB() - before, 64 * 1024);
    EXPECT_LT(stopped - start, std::chrono::seconds(5)); // it ended because of the stop
}

// A name that is not a file is refused at once; a FIFO is read as its writer sends, and one
// without a writer is waited on without blocking, until Ctrl-C.
TEST_F(CliRecordings, DevicesAreRefusedAndAFifoWithoutAWriterNeverHangsTheOpen) {
    for (const char* command : {"replay", "describe"}) {
        const CResult zero = Run({command, "/dev/zero"});
        EXPECT_EQ(zero.code, CCliApp::kFailed);
        EXPECT_NE(zero.err.find("\"/dev/zero\" is a device, not a file"), std::string::npos)
            << zero.err;
    }
    char dir[] = "/tmp/vantrel-cli-fifoXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        m_stop = true;
    });
    const CResult waiting = Run({"replay", "--type", "quorin", fifo});
    stopper.join();
    unlink(fifo.c_str());
    rmdir(dir);
    EXPECT_EQ(waiting.code, CCliApp::kDone) << waiting.err;
}

// Lines after a rejected "D:" belong to no device and are told once; a last line cut short
// (a recording stopped by a full disk) is a cut-off end, not a malformed line.
TEST_F(CliRecordings, LinesOfARejectedDeviceAndACutOffEndAreToldOnceWithTheFile) {
    std::string text =
        "D: 0\nR: " + std::to_string(m_hidPos.size()) + " " + Hex(m_hidPos) + "\nN: Reader\n";
    for (int d = 64; d < 70; ++d) {
        text += "D: " + std::to_string(d) + "\nR: 1 05\nN: Extra\nE: 0.1 3 02 41 42\n";
    }
    text += "D: 0\nE: 0.2 64 02 03 5d 45 30 31 31";
    const std::string file = WriteFile(text);
    const CResult r = Run({"replay", file, "--format", "plain"});
    EXPECT_EQ(r.code, CCliApp::kFailed);
    EXPECT_NE(r.err.find(file + ":4: device index 64 is above the limit of 63"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(file + ":5: 23 lines to line 27 belong to no device"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("index 65"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(file + ":29: the recording is cut off: its last line has no line end"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Extra"), std::string::npos);
    EXPECT_EQ(r.out, "");
}

TEST_F(CliRecordings, APipeIsDecodedAsItArrivesUntilStopped) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // The writer learns of the closed read end from EPIPE, not from a signal.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    CCountingBuffer buffer;
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        const std::string first = "01 00 03 41 42 43\n";
        EXPECT_EQ(write(fds[1], first.data(), first.size()), ssize_t(first.size()));
        // The first report must show while the pipe has nothing more.
        EXPECT_TRUE(buffer.WaitFlushed("ABC\n"));
        const std::string endless = "01 00 01 5a\n";
        while (writing && write(fds[1], endless.data(), endless.size()) > 0) {
        }
    });
    std::ostream out(&buffer);
    std::ostringstream err;
    CCliApp app(m_platform, m_store, out, err, m_stop, false);
    app.SetEnvironment(false, "", fds[0]);
    int code = -1;
    std::thread replay([&] { code = app.Run({"replay", "--type", "quorin", "-"}); });
    // Then the endless rest streams through until the stop.
    EXPECT_TRUE(buffer.WaitWritten(1000));
    m_stop = true;
    replay.join();
    writing = false;
    close(fds[0]);
    writer.join();
    close(fds[1]);
    sigaction(SIGPIPE, &previous, nullptr);
    EXPECT_EQ(code, CCliApp::kDone) << err.str();
    EXPECT_GT(buffer.Written(), 1000u);
}

TEST_F(CliRecordings, DescribeListsTheItemsOfTheRealDescriptors) {
    struct CCase {
        const char* file;
        std::vector<std::string> lines; // whole item lines after the offset and bytes
    };
    const std::vector<CCase> cases = {
        {"hidpos-8c-0002.hex",
         {"Usage Page (Bar Code Scanner)", "Usage (Bar Code Scanner)", "Collection (Application)",
          "  Usage (Scanned Data Report)", "    Report ID (2)", "    Usage (Byte Count)",
          "    Usage (Symbology Identifier 1)", "    Input (Data,Var,Abs,Buf)",
          "    Usage Page (Vendor Defined 0xFF66)", "    Logical Maximum (255)",
          "    Usage (Sound Good Read Beep)", "    Output (Data,Var,Rel,Vol)",
          "    Feature (Data,Var,Abs,Vol,Buf)", "End Collection"}},
        {"keyboard-0001-0006.hex",
         {"Usage Page (Generic Desktop)", "Usage (Keyboard)", "  Usage Page (Keyboard)",
          "  Usage Minimum (Left Control)", "  Usage Maximum (Right GUI)", "  Input (Cnst,Var,Abs)",
          "  Usage Page (LED)", "  Usage Minimum (Num Lock)", "  Usage Maximum (Kana)",
          "  Usage Minimum (No Event)"}},
        {"ff45-4b00-handheld.hex", {"Usage Page (Vendor Defined 0xFF45)", "Usage (0x4B00)"}},
        {"ff45-a000-flash.hex", {"Usage (0xA000)", "  Report Count (263)"}},
    };
    for (const CCase& c : cases) {
        const std::string path = std::string(VANTREL_TEST_DATA_DIR) + "/descriptors/" + c.file;
        const CResult r = Run({"describe", "--items", path});
        ASSERT_EQ(r.code, CCliApp::kDone) << c.file << ": " << r.err;
        for (const std::string& expected : c.lines) {
            EXPECT_NE(r.out.find(" " + expected + "\n"), std::string::npos)
                << c.file << ": " << expected << "\n"
                << r.out;
        }
        // One line per item, each starting with its offset; the last item ends the collection.
        const std::string last = "c0" + std::string(14, ' ') + "End Collection\n";
        EXPECT_EQ(r.out.rfind(last), r.out.size() - last.size()) << r.out;
    }
}

TEST_F(CliRecordings, DescribeReadsBinaryDescriptorsAndPrintsTheRecordingLine) {
    const CResult hex = Run({"describe", "--hex", WriteFile(Hex(m_hidPos) + "\n")});
    const CResult binary =
        Run({"describe", "--hex", WriteFile(std::string(m_hidPos.begin(), m_hidPos.end()))});
    ASSERT_EQ(binary.code, CCliApp::kDone) << binary.err;
    EXPECT_EQ(binary.out, hex.out);
    EXPECT_NE(hex.out.find("\nR: " + std::to_string(m_hidPos.size()) + " " + Hex(m_hidPos) + "\n"),
              std::string::npos);
    const CResult tooLong = Run({"describe", WriteFile(std::string(5000, '\x01'))});
    EXPECT_EQ(tooLong.code, CCliApp::kFailed);
    EXPECT_NE(tooLong.err.find("not a report descriptor"), std::string::npos);
}

// A recorder's colour escape in a comment leaves a capture text; one without an "R:" line says so
// even after malformed lines, and never takes its reports for a descriptor.
TEST_F(CliRecordings, DescribeTellsCapturesFromBinaryDescriptorsByWhatIsNotComment) {
    const std::string descriptor =
        "R: " + std::to_string(m_hidPos.size()) + " " + Hex(m_hidPos) + "\n";
    const CResult coloured =
        Run({"describe", WriteFile("# \x1b[1;32mrecorded\x1b[0m\n" + descriptor + "N: \x01x\n")});
    EXPECT_EQ(coloured.code, CCliApp::kDone) << coloured.err;
    EXPECT_NE(coloured.out.find("collection: usage page 0x008C"), std::string::npos)
        << coloured.out;

    const CResult noDescriptor =
        Run({"describe", WriteFile("# \x1b[0m\nE: 0.1 2 05 8c\nE: 0.2 3 01\n02 41 42\n")});
    EXPECT_EQ(noDescriptor.code, CCliApp::kFailed);
    EXPECT_NE(noDescriptor.err.find("a recording without a report descriptor"), std::string::npos)
        << noDescriptor.err;
    EXPECT_EQ(noDescriptor.out, "");
}

TEST_F(CliRecordings, ColourFollowsTheTerminalAndTheWishesOfTheEnvironment) {
    const std::string file = WriteFile("01 00 03 41 42 43\n");
    const std::vector<std::string> replay = {"replay", "--type", "quorin", file};
    auto coloured = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = replay;
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args).out.find("\x1b[") != std::string::npos;
    };
    m_outIsTerminal = true;
    EXPECT_TRUE(coloured({}));
    EXPECT_FALSE(coloured({"--color", "never"}));
    m_noColor = true;
    EXPECT_FALSE(coloured({}));
    EXPECT_TRUE(coloured({"--color", "always"}));
    m_noColor = false;
    m_term = "dumb";
    EXPECT_FALSE(coloured({}));
    m_outIsTerminal = false;
    m_term = "xterm";
    EXPECT_FALSE(coloured({}));
    EXPECT_TRUE(coloured({"--format", "ansi"}));
    const CResult settings = Run({"replay", "--type", "quorin", file, "--color", "always",
                                  "--palette", "settings", "--set", "ColorLabel=0x123456"});
    EXPECT_NE(settings.out.find("38;2;86;52;18m"), std::string::npos) << settings.out;
    EXPECT_EQ(Run({"replay", "--type", "quorin", file, "--color", "sometimes"}).code,
              CCliApp::kUsage);
}

} // namespace
