// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CReaderLookup.h"

#include "device/CHidPort.h"
#include "device/CPlainDeviceList.h"
#include "device/CQueuedPoster.h"

#include "cli/CTerminalText.h"
#include "recording/QuoteInput.h"

#include <cctype>
#include <strings.h>

namespace {
bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           strncasecmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

bool ParseHexId(const std::string& text, uint16_t& value) {
    if (text.empty() || text.size() > 4) {
        return false;
    }
    unsigned v = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        v = v * 16 + unsigned(std::isdigit(static_cast<unsigned char>(c))
                                  ? c - '0'
                                  : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    value = uint16_t(v);
    return true;
}
} // namespace

CReaderLookup::CReaderLookup(CHidPlatform& platform) : m_platform(platform) {
    m_valid = platform.EnumerateInterfaces(m_interfaces, m_error);
    CQueuedPoster poster;
    CReaderPort port(platform, poster);
    CPlainDeviceList list;
    port.Enumerate(&list, "", true);
    m_listed = list.Items();
    m_pathByName = port.NameTable();
}

CReaderLookup::Result CReaderLookup::Resolve(const std::string& name, const std::string& fallback,
                                             CChoice& choice, std::string& error) const {
    if (name.empty()) {
        // The stored reader when it is still there, else the one the enumeration selects.
        CQueuedPoster poster;
        CReaderPort port(m_platform, poster);
        CPlainDeviceList list;
        port.Enumerate(&list, fallback, true);
        if (list.GetCurrentText().empty()) {
            error = "no reader is attached (\"vantrel-cli list --all\" shows every HID "
                    "interface)";
            return Result::NotFound;
        }
        return Choose(name, {list.GetCurrentText()}, "", choice, error);
    }
    if (m_pathByName.count(name)) {
        return Choose(name, {name}, "", choice, error);
    }
    if (Interface(name)) {
        const std::string listed = NameOf(name);
        choice.name = listed.empty() ? name : listed;
        choice.path = name;
        return Result::Found;
    }
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    if (ParseIds(name, vendorId, productId)) {
        std::vector<std::string> candidates;
        for (const CHidInterfaceInfo* info : WithIds(vendorId, productId)) {
            const std::string listed = NameOf(info->path);
            candidates.push_back(listed.empty() ? info->path : listed);
        }
        if (candidates.empty()) {
            error = "no HID interface has the ids " + name +
                    " (\"vantrel-cli list --all\" shows every HID interface)";
            return Result::NotFound;
        }
        return Choose(name, candidates, "the ids", choice, error);
    }
    std::vector<std::string> candidates;
    for (const std::string& listed : m_listed) {
        if (StartsWithNoCase(listed, name)) {
            candidates.push_back(listed);
        }
    }
    if (!candidates.empty()) {
        return Choose(name, candidates, "the name", choice, error);
    }
    // Neither listed nor present: tried as a path, so that the open says why it fails.
    choice.name = name;
    choice.path = name;
    return Result::Found;
}

CReaderLookup::Result CReaderLookup::Choose(const std::string& name,
                                            const std::vector<std::string>& candidates,
                                            const std::string& what, CChoice& choice,
                                            std::string& error) const {
    if (candidates.size() > 1) {
        error = what + " " + QuoteInput(name) + (what == "the ids" ? " match " : " matches ") +
                std::to_string(candidates.size()) + " readers; name one of them:";
        for (const std::string& candidate : candidates) {
            error += "\n  " + Latin1ToUtf8(candidate);
        }
        return Result::Ambiguous;
    }
    choice.name = candidates.front();
    const auto entry = m_pathByName.find(choice.name);
    choice.path = entry == m_pathByName.end() ? choice.name : entry->second;
    return Result::Found;
}

std::vector<const CHidInterfaceInfo*> CReaderLookup::WithIds(uint16_t vendorId,
                                                             uint16_t productId) const {
    std::vector<const CHidInterfaceInfo*> listed;
    std::vector<const CHidInterfaceInfo*> any;
    for (const CHidInterfaceInfo& info : m_interfaces) {
        if (!info.attributesValid || info.attributes.vendorId != vendorId ||
            info.attributes.productId != productId) {
            continue;
        }
        any.push_back(&info);
        if (!NameOf(info.path).empty()) {
            listed.push_back(&info);
        }
    }
    return listed.empty() ? any : listed;
}

const CHidInterfaceInfo* CReaderLookup::Interface(const std::string& path) const {
    for (const CHidInterfaceInfo& info : m_interfaces) {
        if (info.path == path) {
            return &info;
        }
    }
    return nullptr;
}

std::string CReaderLookup::NameOf(const std::string& path) const {
    for (const auto& [name, listedPath] : m_pathByName) {
        if (listedPath == path) {
            return name;
        }
    }
    return std::string();
}

bool CReaderLookup::IsSupported(const CHidAttributes& attributes, const CHidCaps& caps) const {
    CQueuedPoster poster;
    CReaderPort port(m_platform, poster);
    return port.IsSupported(attributes, caps);
}

bool CReaderLookup::ExpandPartialIds(const std::string& name, std::vector<CChoice>& choices) const {
    const size_t colon = name.find(':');
    uint16_t id = 0;
    if (colon == std::string::npos || name.size() < 2 || (colon != 0 && colon != name.size() - 1) ||
        !ParseHexId(colon == 0 ? name.substr(1) : name.substr(0, colon), id)) {
        return false;
    }
    for (const std::string& listed : m_listed) {
        const auto path = m_pathByName.find(listed);
        const CHidInterfaceInfo* info =
            path == m_pathByName.end() ? nullptr : Interface(path->second);
        if (info && info->attributesValid &&
            (colon == 0 ? info->attributes.productId : info->attributes.vendorId) == id) {
            choices.push_back({listed, info->path});
        }
    }
    return true;
}

bool ParseIds(const std::string& text, uint16_t& vendorId, uint16_t& productId) {
    const size_t colon = text.find(':');
    return colon != std::string::npos && ParseHexId(text.substr(0, colon), vendorId) &&
           ParseHexId(text.substr(colon + 1), productId);
}

bool CReaderLookup::Find(const std::string& name, const std::string& fallback, CChoice& choice,
                         CErrorReporter& errors, int& exitCode) const {
    std::string error;
    switch (Resolve(name, fallback, choice, error)) {
    case Result::Found:
        return true;
    case Result::Ambiguous:
        exitCode = errors.Usage(error);
        return false;
    case Result::NotFound:
        break;
    }
    exitCode = errors.Fail(error);
    return false;
}
