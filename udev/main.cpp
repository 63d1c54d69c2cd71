// vantrel-hid-id: called by the udev rule for each hidraw node. Prints ID_VANTREL_READER=1 when
// the node's report descriptor declares a bar-code reader collection, nothing otherwise.
#include "udev/CReaderDescriptorMatch.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The kernel refuses report descriptors larger than this (HID_MAX_DESCRIPTOR_SIZE).
constexpr size_t kMaxDescriptorSize = 4096;

bool ReadDescriptor(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.resize(kMaxDescriptorSize);
    const size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    bytes.resize(count);
    return !failed;
}

} // namespace

int main(int argc, char** argv) {
    std::string syspath;
    if (argc == 2) {
        syspath = argv[1];
    } else if (argc == 1 && std::getenv("DEVPATH")) {
        syspath = std::string("/sys") + std::getenv("DEVPATH");
    } else {
        std::fprintf(stderr,
                     "usage: %s [SYSPATH of a hidraw device]\n"
                     "Prints ID_VANTREL_READER=1 when its report descriptor declares a "
                     "bar-code reader collection.\n",
                     argv[0]);
        return 2;
    }

    const std::string path = syspath + "/device/report_descriptor";
    std::vector<uint8_t> descriptor;
    if (!ReadDescriptor(path, descriptor)) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", argv[0], path.c_str(),
                     std::strerror(errno));
        return 1;
    }
    if (CReaderDescriptorMatch::IsReaderDescriptor(descriptor.data(), descriptor.size()))
        std::printf("ID_VANTREL_READER=1\n");
    return 0;
}
