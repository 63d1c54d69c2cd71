#include "cli/CReaderLookup.h"

#include "device/CHidPort.h"
#include "device/CPlainDeviceList.h"
#include "device/CQueuedPoster.h"

#include <strings.h>

namespace {
bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           strncasecmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
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

bool CReaderLookup::Resolve(const std::string& name, const std::string& fallback, CChoice& choice,
                            std::string& error) const {
    std::string chosen = name;
    if (name.empty()) {
        // The stored reader when it is still there, else the one the enumeration selects.
        CQueuedPoster poster;
        CReaderPort port(m_platform, poster);
        CPlainDeviceList list;
        port.Enumerate(&list, fallback, true);
        chosen = list.GetCurrentText();
    } else if (!m_pathByName.count(name)) {
        // A name that is neither listed nor a path may be the start of a listed one.
        for (const std::string& listed : m_listed)
            if (StartsWithNoCase(listed, name)) {
                chosen = listed;
                break;
            }
    }
    if (chosen.empty()) {
        error = "no reader is attached (\"vantrel-cli list --all\" shows every HID interface)";
        return false;
    }
    const auto entry = m_pathByName.find(chosen);
    choice.name = chosen;
    choice.path = entry == m_pathByName.end() ? chosen : entry->second;
    return true;
}

const CHidInterfaceInfo* CReaderLookup::Interface(const std::string& path) const {
    for (const CHidInterfaceInfo& info : m_interfaces)
        if (info.path == path)
            return &info;
    return nullptr;
}

std::string CReaderLookup::NameOf(const std::string& path) const {
    for (const auto& [name, listedPath] : m_pathByName)
        if (listedPath == path)
            return name;
    return std::string();
}

bool CReaderLookup::IsSupported(const CHidAttributes& attributes, const CHidCaps& caps) const {
    CQueuedPoster poster;
    CReaderPort port(m_platform, poster);
    return port.IsSupported(attributes, caps);
}
