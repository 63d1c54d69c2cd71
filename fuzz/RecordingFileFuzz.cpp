// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Random recordings through what the GUI's loader calls: a whole recording read with a cancel
// flag and progress, under a memory bound that byte 0 picks (64 bytes to 2 MiB, so that the
// bound is reached), then each device offered by the capture platform, opened, played out and
// asked for its feature answers. The rest of the input is the file.
#include "MemoryFile.h"
#include "recording/CCapturePlatform.h"
#include "recording/CRecordingFile.h"
#include "recording/CReplayPlatform.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// Reads every report a connection offers now; the capture plays all at once.
void PlayOut(CHidConnection& connection) {
    std::vector<uint8_t> buffer(4096);
    int error = 0;
    while (connection.ReadReport(buffer.data(), buffer.size(), error) >= 0) {
    }
    for (int i = 0; i < 4; ++i) {
        buffer[0] = uint8_t(i);
        connection.GetFeature(buffer.data(), 64, error);
    }
    const uint8_t out[] = {0x00, 0x01};
    connection.WriteReport(out, sizeof out, 0, error);
    CHidAttributes attributes;
    connection.GetAttributes(attributes, error);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const CUniqueFd fd = MemoryFile(data, size);
    if (!fd.IsValid()) {
        return 0;
    }
    auto file = std::make_shared<CRecordingFile>(size_t{64} << (data[0] % 16));
    std::atomic<bool> cancel{false};
    uint64_t lastProgress = 0;
    CRecordingLoadControl control;
    control.cancel = &cancel;
    control.progress = [&](uint64_t read, uint64_t) {
        if (read < lastProgress) {
            __builtin_trap(); // progress never goes back
        }
        lastProgress = read;
    };
    const bool loaded = file->Load(fd.Get(), control);
    if (!loaded) {
        return 0;
    }
    CReplayPlatform live(CHidCaps{}, CHidAttributes{});
    CCapturePlatform captures(live);
    captures.SetPaced(false);
    std::vector<std::string> paths;
    for (size_t i = 0; i < file->Devices().size(); ++i) {
        paths.push_back(captures.Add(file, i, "Recording - device " + std::to_string(i)));
    }
    std::vector<CHidInterfaceInfo> interfaces;
    int error = 0;
    captures.EnumerateInterfaces(interfaces, error);
    for (const std::string& path : paths) {
        if (auto connection = captures.Open(path, error)) {
            PlayOut(*connection);
        }
    }
    return 0;
}
