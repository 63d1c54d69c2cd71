#include "settings/CWindowPlacement.h"

#include "settings/CSettingsStore.h"

#include <cctype>
#include <charconv>
#include <cstdio>

namespace {

const char kKey[] = "WindowPlacement";

// One "%d": optional white space, an optional sign and at least one digit. A number that does
// not fit 32 bits counts as not read.
bool ReadNumber(const char*& p, const char* end, int32_t& value) {
    while (p != end && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (p != end && *p == '+') {
        ++p;
        if (p != end && *p == '-')
            return false;
    }
    const auto result = std::from_chars(p, end, value);
    if (result.ec != std::errc())
        return false;
    p = result.ptr;
    return true;
}

} // namespace

std::string CWindowPlacement::Format() const {
    char text[6 * 12 + 1];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d", int(left), int(top), int(right),
                  int(bottom), int(showCmd), int(flags));
    return text;
}

std::optional<CWindowPlacement> CWindowPlacement::Parse(const std::string& text) {
    int32_t numbers[6];
    const char* p = text.data();
    const char* end = p + text.size();
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (p == end || *p != ',')
                return std::nullopt;
            ++p;
        }
        if (!ReadNumber(p, end, numbers[i]))
            return std::nullopt;
    }
    return CWindowPlacement{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]};
}

bool CWindowPlacement::operator==(const CWindowPlacement& other) const {
    return left == other.left && top == other.top && right == other.right &&
           bottom == other.bottom && showCmd == other.showCmd && flags == other.flags;
}

bool SaveWindowPlacement(CSettingsStore& store, const std::string& section,
                         const CWindowPlacement& placement, bool rectOnly) {
    CWindowPlacement stored = placement;
    if (rectOnly) {
        stored.showCmd = CWindowPlacement::kShowNormal;
        stored.flags = 0;
    }
    return store.WriteProfileString(section, kKey, stored.Format()) && store.Flush();
}

std::optional<CWindowPlacement> LoadWindowPlacement(CSettingsStore& store,
                                                    const std::string& section) {
    const std::string text = store.GetProfileString(section, kKey, "");
    if (text.empty())
        return std::nullopt;
    return CWindowPlacement::Parse(text);
}
