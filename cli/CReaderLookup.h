// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CErrorReporter.h"
#include "platform/CHidPlatform.h"

#include <map>
#include <string>
#include <vector>

// The readers and interfaces present when it was made, and the one rule by which every
// subcommand turns what the user typed into a reader.
class CReaderLookup {
public:
    explicit CReaderLookup(CHidPlatform& platform);

    // False when the interfaces cannot be listed at all; `Error()` tells why.
    bool IsValid() const { return m_valid; }
    int Error() const { return m_error; }

    // What a name resolved to: the display name (the path itself when it is not listed) and
    // the device path.
    struct CChoice {
        std::string name;
        std::string path;
    };
    enum class Result { Found, Ambiguous, NotFound };
    // A listed display name, a device path, "VID:PID" in hex (as lsusb -d takes it), the start
    // of one listed name (in any case), or else a device path to try. An empty `name` takes
    // `fallback` (the stored reader), else the reader the enumeration selects. With a reason
    // (listing the candidates) when there is none or more than one.
    Result Resolve(const std::string& name, const std::string& fallback, CChoice& choice,
                   std::string& error) const;

    // Resolve, with the failure reported: a name that matches several readers is bad usage.
    // False with the exit status when no single reader was found.
    bool Find(const std::string& name, const std::string& fallback, CChoice& choice,
              CErrorReporter& errors, int& exitCode) const;

    // A partial "VID:" or ":PID" (as lsusb -d takes it) selects every listed reader with that
    // id: true with them in list order (none when no reader has it). False for any other name.
    bool ExpandPartialIds(const std::string& name, std::vector<CChoice>& choices) const;

    // The interface at `path`, or null.
    const CHidInterfaceInfo* Interface(const std::string& path) const;
    const std::vector<CHidInterfaceInfo>& Interfaces() const { return m_interfaces; }
    // Display names of the listed readers, in list order.
    const std::vector<std::string>& Listed() const { return m_listed; }
    // The display name of a listed path, or empty.
    std::string NameOf(const std::string& path) const;
    // Whether the listing rule accepts these ids and usages.
    bool IsSupported(const CHidAttributes& attributes, const CHidCaps& caps) const;

private:
    // The interfaces with these ids, listed readers only when there are any.
    std::vector<const CHidInterfaceInfo*> WithIds(uint16_t vendorId, uint16_t productId) const;
    Result Choose(const std::string& name, const std::vector<std::string>& candidates,
                  const std::string& what, CChoice& choice, std::string& error) const;

    CHidPlatform& m_platform;
    bool m_valid = false;
    int m_error = 0;
    std::vector<CHidInterfaceInfo> m_interfaces;
    std::vector<std::string> m_listed;
    std::map<std::string, std::string> m_pathByName;
};

// "VID:PID" as four hex digits or fewer on each side (as lsusb -d takes it).
bool ParseIds(const std::string& text, uint16_t& vendorId, uint16_t& productId);
