// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/Compression.h"

#include <cstddef>

namespace {

struct CSignature {
    const char* magic;
    size_t length;
    const char* format;
    const char* tool;
};

constexpr CSignature kSignatures[] = {
    {"\x1f\x8b", 2, "gzip", "zcat"},
    {"\xfd"
     "7zXZ\x00",
     6, "xz", "xzcat"},
    {"BZh", 3, "bzip2", "bzcat"},
    {"\x28\xb5\x2f\xfd", 4, "zstd", "zstdcat"},
    {"\x04\x22\x4d\x18", 4, "lz4", "lz4cat"},
};

} // namespace

bool IsCompressed(const std::string& head, std::string& format, std::string& tool) {
    for (const CSignature& signature : kSignatures) {
        if (head.compare(0, signature.length, signature.magic, signature.length) == 0) {
            format = signature.format;
            tool = signature.tool;
            return true;
        }
    }
    return false;
}
