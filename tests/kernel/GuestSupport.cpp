#include "GuestSupport.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/io.h>
#include <sys/mount.h>
#include <sys/reboot.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace guest {

namespace {

int g_checks = 0;
int g_failures = 0;

} // namespace

void MountSystem() {
    mkdir("/proc", 0755);
    mkdir("/sys", 0755);
    mkdir("/dev", 0755);
    mount("proc", "/proc", "proc", 0, nullptr);
    mount("sysfs", "/sys", "sysfs", 0, nullptr);
    mount("devtmpfs", "/dev", "devtmpfs", 0, nullptr);
}

bool LoadModule(const std::string& path, const std::string& parameters) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const long result = syscall(SYS_finit_module, fd, parameters.c_str(), 0);
    close(fd);
    return result == 0 || errno == EEXIST;
}

void Check(bool ok, const char* format, ...) {
    char what[400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(what, sizeof what, format, args);
    va_end(args);
    ++g_checks;
    if (!ok)
        ++g_failures;
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what);
    std::fflush(stdout);
}

void Info(const char* format, ...) {
    char what[400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(what, sizeof what, format, args);
    va_end(args);
    std::printf("INFO %s\n", what);
    std::fflush(stdout);
}

void Finish() {
    std::printf("SUMMARY %d checks, %d failed\n", g_checks, g_failures);
    std::fflush(stdout);
    // qemu exits with (value << 1) | 1: 1 for a pass, 3 for a failure.
    if (ioperm(0xf4, 4, 1) == 0)
        outl(g_failures == 0 ? 0 : 1, 0xf4);
    sync();
    reboot(RB_POWER_OFF);
    for (;;)
        pause();
}

Bytes ReadHexFile(const std::string& path) {
    std::ifstream in(path);
    Bytes bytes;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word)
            bytes.push_back(uint8_t(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

bool WriteText(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = write(fd, text.data(), text.size()) == ssize_t(text.size());
    close(fd);
    return ok;
}

} // namespace guest
