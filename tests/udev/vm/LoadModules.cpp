// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Loads kernel modules by file name, in order, for the udev rule check's virtual machine (which
// has no kmod).
#include <cstdio>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const int fd = open(argv[i], O_RDONLY | O_CLOEXEC);
        if (fd < 0 || syscall(SYS_finit_module, fd, "", 0) != 0) {
            std::perror(argv[i]);
            return 1;
        }
        close(fd);
    }
    return 0;
}
