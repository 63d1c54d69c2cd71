#include "settings/qt/CQSettingsStore.h"
#include "cli/CCliApp.h"
#include "platform/CHidPlatform.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {
std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}
} // namespace

int main(int argc, char** argv) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    CQSettingsStore store;
    const std::unique_ptr<CHidPlatform> platform = CreateHidPlatform();
    CCliApp app(*platform, store, std::cout, std::cerr, g_stop, isatty(STDOUT_FILENO) == 1);
    return app.Run(std::vector<std::string>(argv + 1, argv + argc));
}
