// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Test device for the udev rule check: creates a uhid device with a vendor, product and report
// descriptor (a hex file, '#' lines are comments), and optionally a name, and keeps it until
// SIGTERM.
#include <linux/uhid.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s VID PID HEXFILE [NAME]\n", argv[0]);
        return 2;
    }
    uhid_event event{};
    event.type = UHID_CREATE2;
    std::snprintf(reinterpret_cast<char*>(event.u.create2.name), sizeof event.u.create2.name, "%s",
                  argc == 5 ? argv[4] : "Vantrel test device");
    event.u.create2.bus = 0x03; // BUS_USB
    event.u.create2.vendor = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 16));
    event.u.create2.product = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 16));

    std::ifstream file(argv[3]);
    if (!file) {
        std::perror(argv[3]);
        return 1;
    }
    std::string line;
    size_t size = 0;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string word;
        while (words >> word && size < sizeof event.u.create2.rd_data) {
            event.u.create2.rd_data[size++] = static_cast<uint8_t>(std::stoul(word, nullptr, 16));
        }
    }
    event.u.create2.rd_size = static_cast<uint16_t>(size);

    const int fd = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd < 0 || write(fd, &event, sizeof event) != static_cast<ssize_t>(sizeof event)) {
        std::perror("/dev/uhid");
        return 1;
    }
    // Closing the uhid file on exit removes the device.
    std::signal(SIGTERM, [](int) { _exit(0); });
    for (;;) {
        uhid_event incoming;
        if (read(fd, &incoming, sizeof incoming) <= 0) {
            pause();
        }
    }
}
