// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CCommandLine.h"
#include "cli/CReaderLookup.h"
#include "cli/CSession.h"
#include "cli/CTerminalText.h"
#include "cli/Subcommands.h"
#include "device/DeviceType.h"
#include "device/ErrorText.h"
#include "device/ReaderTypes.h"

#include <cstdio>

namespace {

const char kHelp[] =
    R"(Usage: vantrel-cli list [--all] [--vid HEX] [--pid HEX] [--usage-page HEX] [--usage HEX]
                        [--format text|json]

Lists the HID interfaces of bar-code readers, one line each: VID:PID, usage page:usage, type
(quorin, hidpos, surepos, sio or none), path and display name, separated by blanks, so that
grep and awk can read them. A list with nothing in it says why on standard error.
  --all            also list the interfaces that are not readers, and why
  --vid, --pid     only interfaces with this vendor or product id (hex, as lsusb shows them)
  --usage-page, --usage
                   only interfaces with this usage page or usage (hex)
  --format json    one JSON object per line and interface
)";

// The type as replay --type names it, or "none".
const char* TypeKey(DeviceType type) {
    const CReaderType* row = FindReaderType(type);
    return row ? row->key : "none";
}

// Why the listing rule leaves an interface out.
std::string Reason(const CHidInterfaceInfo& info, const CReaderLookup& lookup) {
    if (!info.attributesValid) {
        return "its vendor and product ids cannot be read";
    }
    if (!lookup.IsSupported(info.attributes, info.caps)) {
        return std::string("not a reader interface: usage page ") + HexWord(info.caps.usagePage) +
               " usage " + HexWord(info.caps.usage) + " and its ids are not a supported reader";
    }
    if (info.product.empty()) {
        return "it has no product string";
    }
    return "not listed";
}

// The filters of the command line; an absent one is -1.
struct CFilter {
    long long vendorId = -1;
    long long productId = -1;
    long long usagePage = -1;
    long long usage = -1;

    bool Accepts(const CHidInterfaceInfo& info) const {
        return (vendorId < 0 || info.attributes.vendorId == vendorId) &&
               (productId < 0 || info.attributes.productId == productId) &&
               (usagePage < 0 || info.caps.usagePage == usagePage) &&
               (usage < 0 || info.caps.usage == usage);
    }
};

// Why nothing was listed.
std::string EmptyReason(const CReaderLookup& lookup, bool filtered) {
    if (lookup.Interfaces().empty()) {
        return "no HID interfaces are present";
    }
    if (filtered) {
        return "no interface matches the filters";
    }
    size_t readers = 0;
    for (const CHidInterfaceInfo& info : lookup.Interfaces()) {
        if (info.attributesValid && lookup.IsSupported(info.attributes, info.caps)) {
            ++readers;
        }
    }
    if (readers == 0) {
        return "none of the " + std::to_string(lookup.Interfaces().size()) +
               " HID interfaces is a bar-code reader (\"vantrel-cli list --all\" shows them)";
    }
    return std::to_string(readers) + " reader interface" + (readers == 1 ? " is" : "s are") +
           " not listed because " + (readers == 1 ? "it lacks" : "they lack") +
           " a product string or readable ids (\"vantrel-cli list --all\" says why)";
}

void PrintJson(std::ostream& out, const CHidInterfaceInfo& info, const std::string& name, bool all,
               const std::string& reason) {
    const DeviceType type = SelectDeviceType(info.caps.usagePage, info.caps.usage);
    out << "{\"name\": " << JsonString(name) << ", \"path\": " << JsonString(info.path)
        << ", \"vendor_id\": " << info.attributes.vendorId
        << ", \"product_id\": " << info.attributes.productId
        << ", \"usage_page\": " << info.caps.usagePage << ", \"usage\": " << info.caps.usage
        << ", \"type\": \"" << DeviceTypeName(type) << "\"";
    if (all) {
        out << ", \"listed\": " << (reason.empty() ? "true" : "false")
            << ", \"reason\": " << (reason.empty() ? "null" : JsonString(reason));
    }
    out << "}\n";
}

void PrintText(std::ostream& out, const CHidInterfaceInfo& info, const std::string& name,
               const std::string& reason) {
    const DeviceType type = SelectDeviceType(info.caps.usagePage, info.caps.usage);
    char ids[64];
    std::snprintf(ids, sizeof ids, "%04x:%04x  %04x:%04x  %-7s  ", info.attributes.vendorId,
                  info.attributes.productId, info.caps.usagePage, info.caps.usage, TypeKey(type));
    out << ids << info.path << "  " << Latin1ToUtf8(name);
    if (!reason.empty()) {
        out << "  (not listed: " << reason << ")";
    }
    out << "\n";
}

} // namespace

int RunList(CCliContext& context, const CArguments& args) {
    CCommandLine line({"all", "help"}, {"format", "vid", "pid", "usage-page", "usage"});
    if (const int code = ParseCommandLine(context, line, args, kHelp); code != kContinueCommand) {
        return code;
    }
    const std::string format = line.Value("format", "text");
    if (format != "text" && format != "json") {
        return context.errors.Usage("--format must be text or json");
    }
    if (!line.Positional().empty()) {
        return context.errors.Usage("list takes no arguments");
    }
    CFilter filter;
    std::string error;
    if (!line.Number("vid", 0, 0xFFFF, 16, filter.vendorId, error) ||
        !line.Number("pid", 0, 0xFFFF, 16, filter.productId, error) ||
        !line.Number("usage-page", 0, 0xFFFF, 16, filter.usagePage, error) ||
        !line.Number("usage", 0, 0xFFFF, 16, filter.usage, error)) {
        return context.errors.Usage(error);
    }
    const bool all = line.Has("all");

    const CReaderLookup lookup(context.platform);
    if (!lookup.IsValid()) {
        return context.errors.Fail("the HID interfaces cannot be listed: " +
                                   ErrnoText(lookup.Error()));
    }
    size_t shown = 0;
    for (const CHidInterfaceInfo& info : lookup.Interfaces()) {
        const std::string listedName = lookup.NameOf(info.path);
        const bool listed = !listedName.empty();
        if ((!listed && !all) || !filter.Accepts(info)) {
            continue;
        }
        const std::string reason = listed ? std::string() : Reason(info, lookup);
        const std::string name = listed ? listedName : info.product;
        if (format == "json") {
            PrintJson(context.out, info, name, all, reason);
        } else {
            PrintText(context.out, info, name, reason);
        }
        ++shown;
    }
    if (shown == 0) {
        context.errors.Note("vantrel-cli: nothing to list: " +
                            EmptyReason(lookup, line.Has("vid") || line.Has("pid") ||
                                                    line.Has("usage-page") || line.Has("usage")));
    }
    return kExitDone;
}
