// vantrel-hid-id: called by the udev rule for each hidraw node. Prints ID_VANTREL_READER=1 when
// the node's report descriptor has a top-level collection that the reader list accepts by its
// usage, nothing otherwise. udev runs it as root on a descriptor a USB device supplied; the
// parser never reads past the bytes it is given.
#include "hidraw/CHidrawSysfs.h"
#include "platform/CReportDescriptor.h"
#include "platform/ReaderUsage.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::string syspath;
    if (argc == 2) {
        syspath = argv[1];
    } else if (argc == 1 && std::getenv("DEVPATH")) {
        syspath = std::string("/sys") + std::getenv("DEVPATH");
    } else {
        std::fprintf(stderr,
                     "usage: %s [SYSPATH of a hidraw device]\n"
                     "Prints ID_VANTREL_READER=1 when its report descriptor declares a bar-code "
                     "reader collection.\n",
                     argv[0]);
        return 2;
    }

    std::vector<uint8_t> bytes;
    if (!CHidrawSysfs::ReadReportDescriptor(syspath, bytes)) {
        std::fprintf(stderr, "%s: cannot read the report descriptor of %s\n", argv[0],
                     syspath.c_str());
        return 1;
    }
    CReportDescriptor descriptor;
    if (descriptor.Parse(bytes)) {
        const CHidCaps caps = descriptor.Caps();
        if (IsReaderUsage(caps.usagePage, caps.usage)) {
            std::printf("ID_VANTREL_READER=1\n");
        }
    }
    return 0;
}
