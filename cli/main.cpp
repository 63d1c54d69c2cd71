// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CCliApp.h"
#include "cli/COutputFileBuf.h"
#include "platform/CHidPlatform.h"
#include "settings/qt/CQSettingsStore.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <ostream>
#include <unistd.h>

namespace {
std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}
} // namespace

int main(int argc, char** argv) {
    // Without SA_RESTART, so that a read waiting for a pipe returns at once.
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    // The output goes through the stream's own buffer, not a stdio call per insertion.
    std::ios::sync_with_stdio(false);
    CQSettingsStore store;
    if (!store.Refusal().empty()) {
        std::cerr << "vantrel-cli: " << store.Refusal() << "\n";
    }
    const std::unique_ptr<CHidPlatform> platform = CreateHidPlatform();
    // Standard output through a buffer that keeps why a write failed, so that the tool can say.
    COutputFileBuf outBuffer(STDOUT_FILENO, &g_stop);
    std::ostream out(&outBuffer);
    CCliApp app(*platform, store, out, std::cerr, g_stop, isatty(STDOUT_FILENO) == 1);
    const char* noColor = std::getenv("NO_COLOR");
    const char* term = std::getenv("TERM");
    app.SetEnvironment(noColor && *noColor, term ? term : "", STDIN_FILENO);
    return app.Run(std::vector<std::string>(argv + 1, argv + argc));
}
