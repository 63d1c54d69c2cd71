// The udev helper parses descriptors from any device as root: it must never read out of bounds.
#include "udev/CReaderDescriptorMatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<CReaderDescriptorMatch::CCollection> collections;
    CReaderDescriptorMatch::ReadCollections(data, size, collections);
    CReaderDescriptorMatch::IsReaderDescriptor(data, size);
    return 0;
}
