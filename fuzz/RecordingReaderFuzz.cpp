// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Random recordings through the terminal tool's readers: replay (with the type from the
// recording or byte 0's choice, one device or all, every output format) and describe --items.
// Byte 0 picks the command; the rest is the input, read from a memory file as from a pipe.
#include "MemoryFile.h"
#include "cli/CCliApp.h"
#include "settings/CMemorySettingsStore.h"
#include "support/CFakeHidPlatform.h"

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

const std::vector<std::vector<std::string>> kCommands = {
    {"replay", "-", "--format", "json", "--raw", "--symbology"},
    {"replay", "-", "--format", "records", "--out"},
    {"replay", "--type", "quorin", "-", "--format", "plain"},
    {"replay", "--type", "hidpos", "-", "--format", "ansi"},
    {"replay", "--type", "surepos", "-", "--set", "RawOnly=1"},
    {"replay", "--type", "sio", "-", "--set", "AutoRead=1", "--raw"},
    {"replay", "--device", "1", "-", "--format", "json"},
    {"describe", "--items", "--hex", "-"},
    {"describe", "--format", "json", "-"},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const CUniqueFd fd = MemoryFile(data, size);
    if (!fd.IsValid()) {
        return 0;
    }
    CFakeHidPlatform platform; // no readers: replay and describe read files only
    CMemorySettingsStore store;
    std::atomic<bool> stop{false};
    std::ostream discarded(nullptr);
    CCliApp app(platform, store, discarded, discarded, stop, false);
    app.SetEnvironment(false, "xterm", fd.Get());
    app.Run(kCommands[data[0] % kCommands.size()]);
    return 0;
}
