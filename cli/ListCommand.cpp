#include "cli/CCommandLine.h"
#include "cli/CReaderLookup.h"
#include "cli/CSession.h"
#include "cli/CTerminalText.h"
#include "cli/Subcommands.h"
#include "device/DeviceType.h"

#include <map>

namespace {

const char kHelp[] = R"(Usage: vantrel-cli list [--all] [--format text|json]

Lists the HID interfaces of bar-code readers by display name, with path, usage page, usage and
device type.
  --all            also list the interfaces that are not readers, and why
  --format json    one JSON object per line and interface
)";

// Why the listing rule leaves an interface out.
std::string Reason(const CHidInterfaceInfo& info, const CReaderLookup& lookup) {
    if (!info.attributesValid)
        return "its vendor and product ids cannot be read";
    if (!lookup.IsSupported(info.attributes, info.caps))
        return std::string("not a reader interface: usage page ") + HexWord(info.caps.usagePage) +
               " usage " + HexWord(info.caps.usage) + " and its ids are not a supported reader";
    if (info.product.empty())
        return "it has no product string";
    return "not listed";
}

} // namespace

int RunList(CCliContext& context, const CArguments& args) {
    CCommandLine line({"all", "help"}, {"format"});
    std::string error;
    if (!line.Parse(args, error))
        return context.errors.Usage(error);
    if (line.Has("help")) {
        context.out << kHelp;
        return kExitDone;
    }
    const std::string format = line.Value("format", "text");
    if (format != "text" && format != "json")
        return context.errors.Usage("--format must be text or json");
    if (!line.Positional().empty())
        return context.errors.Usage("list takes no arguments");
    const bool all = line.Has("all");
    const bool json = format == "json";

    const CReaderLookup lookup(context.platform);
    if (!lookup.IsValid())
        return context.errors.Fail("the HID interfaces cannot be listed: " +
                                   ErrorText(lookup.Error()));
    std::ostream& out = context.out;
    for (const CHidInterfaceInfo& info : lookup.Interfaces()) {
        const std::string listedName = lookup.NameOf(info.path);
        const bool listed = !listedName.empty();
        if (!listed && !all)
            continue;
        const std::string reason = listed ? std::string() : Reason(info, lookup);
        const std::string name = listed ? listedName : info.product;
        const DeviceType type = SelectDeviceType(info.caps.usagePage, info.caps.usage);
        if (json) {
            out << "{\"name\": " << JsonString(name) << ", \"path\": " << JsonString(info.path)
                << ", \"vendor_id\": " << info.attributes.vendorId
                << ", \"product_id\": " << info.attributes.productId
                << ", \"usage_page\": " << info.caps.usagePage << ", \"usage\": " << info.caps.usage
                << ", \"type\": \"" << DeviceTypeName(type) << "\"";
            if (all)
                out << ", \"listed\": " << (listed ? "true" : "false")
                    << ", \"reason\": " << (listed ? "null" : JsonString(reason));
            out << "}\n";
        } else {
            out << (listed ? "" : "(not listed) ") << Latin1ToUtf8(name) << "\n    " << info.path
                << "  usage page " << HexWord(info.caps.usagePage) << " usage "
                << HexWord(info.caps.usage) << "  " << DeviceTypeName(type) << "\n";
            if (!listed)
                out << "    not listed: " << reason << "\n";
        }
    }
    return kExitDone;
}
