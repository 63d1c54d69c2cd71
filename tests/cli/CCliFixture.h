// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CCliApp.h"
#include "cli/COutputFileBuf.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

// Runs the terminal tool over the simulated readers and keeps what it wrote.
class CCliFixture : public ::testing::Test {
protected:
    struct CResult {
        int code;
        std::string out;
        std::string err;
    };

    CResult Run(const std::vector<std::string>& args) { return RunOn(m_platform, args); }

    CResult RunOn(CHidPlatform& platform, const std::vector<std::string>& args) {
        std::ostringstream out;
        return RunInto(platform, out, args);
    }

    // Runs with standard output on a full disk, as the tool's own main sets it up.
    CResult RunOnFullDisk(const std::vector<std::string>& args) {
        const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
        EXPECT_GE(fd, 0);
        CResult result{};
        {
            COutputFileBuf full(fd);
            std::ostream out(&full);
            result = RunInto(m_platform, out, args);
        }
        close(fd);
        return result;
    }

    CResult RunInto(CHidPlatform& platform, std::ostream& out,
                    const std::vector<std::string>& args) {
        std::ostringstream err;
        CCliApp app(platform, m_store, out, err, m_stop, m_outIsTerminal);
        app.SetEnvironment(m_noColor, m_term, m_inFd);
        const int code = app.Run(args);
        const auto* text = dynamic_cast<std::ostringstream*>(&out);
        return {code, text ? text->str() : std::string(), err.str()};
    }

    std::string WriteFile(const std::string& content) {
        char name[] = "/tmp/vantrel-cli-testXXXXXX";
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, content.data(), content.size()), ssize_t(content.size()));
        close(fd);
        m_files.push_back(name);
        return name;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The bytes of a descriptor file of the repository's test data ("# ..." lines, then hex).
    static std::vector<uint8_t> TestDescriptor(const std::string& name) {
        std::istringstream in(
            ReadFile(std::string(VANTREL_TEST_DATA_DIR) + "/descriptors/" + name));
        std::vector<uint8_t> bytes;
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') {
                continue;
            }
            std::istringstream hex(line);
            unsigned value = 0;
            while (hex >> std::hex >> value) {
                bytes.push_back(uint8_t(value));
            }
        }
        return bytes;
    }

    static std::string Hex(const std::vector<uint8_t>& bytes) {
        std::string text;
        char group[4];
        for (size_t i = 0; i < bytes.size(); ++i) {
            std::snprintf(group, sizeof group, i ? " %02x" : "%02x", bytes[i]);
            text += group;
        }
        return text;
    }

    static size_t Count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    }

    void TearDown() override {
        for (const auto& f : m_files) {
            std::remove(f.c_str());
        }
    }

    CSimPlatform m_platform;
    CMemorySettingsStore m_store;
    std::atomic<bool> m_stop{false};
    bool m_outIsTerminal = false;
    bool m_noColor = false;
    std::string m_term = "xterm";
    int m_inFd = -1;
    std::vector<std::string> m_files;
};
