#include "device/ErrorText.h"

#include <cstring>

namespace {

// strerror_r comes in two flavours; each overload takes the result of one.
[[maybe_unused]] const char* Text(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* Text(const char* result, const char*) {
    return result;
}

} // namespace

std::string ErrnoText(int error) {
    if (error == 0) {
        return "unknown error";
    }
    char buffer[256] = {};
    const char* text = Text(strerror_r(error, buffer, sizeof buffer), buffer);
    return text != nullptr && *text != '\0' ? std::string(text) : "error " + std::to_string(error);
}
