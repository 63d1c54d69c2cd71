// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <string>

// The version information an executable carries: a block of query paths and values, each
// NUL-terminated, ended by an empty path.
struct CVersionResource {
    const char* data = nullptr;
    size_t size = 0;
};

// Reads the version strings of the running executable.
class CVersionInfo {
public:
    static constexpr const char* kMemoryError = "Memory error";
    static constexpr const char* kBadResourceData = "Bad resource data";

    // The value of the named version string, empty when no language block holds it, or one
    // of the two error texts when the version information cannot be had.
    static std::string GetVersionString(const std::string& name);

    // The block compiled into this executable from the build's project version.
    static CVersionResource ExecutableResource();
    // Makes the lookups read `resource` (data null: an executable without version
    // information); returns the one read before.
    static CVersionResource SetResource(CVersionResource resource);

private:
    static bool QueryValue(const char* block, size_t size, const std::string& path,
                           std::string& value);
};
