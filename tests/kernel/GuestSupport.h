#pragma once

// What every real-kernel guest program needs: it runs as /init of a small Linux guest under
// qemu, prints one PASS/FAIL line per check and a summary, and powers the guest off.

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace guest {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// Mounts /proc, /sys and /dev (devtmpfs makes the device nodes by itself).
void MountSystem();
// Loads a kernel module file with its parameters ("num=2 is_high_speed=0").
bool LoadModule(const std::string& path, const std::string& parameters = std::string());

// One check: "PASS what" or "FAIL what", counted for the summary.
void Check(bool ok, const char* format, ...) __attribute__((format(printf, 2, 3)));
// A measured figure or a fact about the kernel: "INFO what", not a check.
void Info(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Prints "SUMMARY N checks, M failed", tells qemu the verdict and powers off.
[[noreturn]] void Finish();

// A descriptor file: '#' lines are comments, the rest hex bytes.
Bytes ReadHexFile(const std::string& path);
std::string ReadText(const std::string& path);
bool WriteText(const std::string& path, const std::string& text);

template <class Predicate> bool WaitFor(Predicate done, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace guest
