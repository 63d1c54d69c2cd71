// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVersionInfo.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <strings.h>

namespace {

#define VANTREL_STRING_TABLE "\\StringFileInfo\\040904b0\\"

// Language 0x0409 (U.S. English), code page 1200 (Unicode); the texts are UTF-8.
const char kExecutableBlock[] =
    VANTREL_STRING_TABLE "CompanyName\0"
                         "Corvasse\0" VANTREL_STRING_TABLE "FileDescription\0"
                         "Vantrel\0" VANTREL_STRING_TABLE "FileVersion\0" VANTREL_VERSION
                         "\0" VANTREL_STRING_TABLE "InternalName\0"
                         "Vantrel\0" VANTREL_STRING_TABLE "LegalCopyright\0"
                         "\xC2\xA9 2026 Corvasse\0" VANTREL_STRING_TABLE "OriginalFilename\0"
                         "VANTREL.EXE\0" VANTREL_STRING_TABLE "ProductName\0"
                         "Vantrel\0" VANTREL_STRING_TABLE "ProductVersion\0" VANTREL_VERSION "\0";

#undef VANTREL_STRING_TABLE

CVersionResource& CurrentResource() {
    static CVersionResource resource = CVersionInfo::ExecutableResource();
    return resource;
}

// Languages tried in order, each with code page 1200.
constexpr unsigned kLanguages[] = {0x0407, 0x0409, 0x0000};
constexpr unsigned kCodePage = 1200;

} // namespace

CVersionResource CVersionInfo::ExecutableResource() {
    // The array's own terminating NUL is the empty path that ends the block.
    return CVersionResource{kExecutableBlock, sizeof kExecutableBlock};
}

CVersionResource CVersionInfo::SetResource(CVersionResource resource) {
    const CVersionResource previous = CurrentResource();
    CurrentResource() = resource;
    return previous;
}

std::string CVersionInfo::GetVersionString(const std::string& name) {
    const CVersionResource resource = CurrentResource();
    // Two zero bytes beyond the block end every path and value that the block leaves open.
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[resource.size + 2]);
    if (!buffer) {
        return kMemoryError;
    }
    if (!resource.data || resource.size == 0) {
        return kBadResourceData;
    }
    std::memcpy(buffer.get(), resource.data, resource.size);
    buffer[resource.size] = '\0';
    buffer[resource.size + 1] = '\0';

    for (const unsigned language : kLanguages) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\", language, kCodePage);
        std::string value;
        if (QueryValue(buffer.get(), resource.size + 2, prefix + name, value)) {
            return value;
        }
    }
    return std::string();
}

bool CVersionInfo::QueryValue(const char* block, size_t size, const std::string& path,
                              std::string& value) {
    size_t pos = 0;
    while (pos < size && block[pos] != '\0') {
        const size_t keyLength = strnlen(block + pos, size - pos);
        const size_t valuePos = pos + keyLength + 1;
        if (valuePos >= size) {
            return false;
        }
        const size_t valueLength = strnlen(block + valuePos, size - valuePos);
        // Names are compared without regard to case, as version lookups are.
        if (keyLength == path.size() && strncasecmp(block + pos, path.c_str(), keyLength) == 0) {
            value.assign(block + valuePos, valueLength);
            return true;
        }
        pos = valuePos + valueLength + 1;
    }
    return false;
}
