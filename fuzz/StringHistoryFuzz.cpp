// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// A hand-edited "Strings" section and any sequence of sends and deletions: the history never
// reads outside its list, and a save writes at most the newest 30 entries plus the current one.
#include "settings/CMemorySettingsStore.h"
#include "settings/CStringHistory.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int32_t TakeInt(const uint8_t*& data, size_t& size) {
    int32_t value = 0;
    const size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

std::string TakeString(const uint8_t*& data, size_t& size) {
    const size_t length = size ? data[0] % 8 : 0;
    const size_t n = size ? (length < size - 1 ? length : size - 1) : 0;
    std::string text(reinterpret_cast<const char*>(data + (size ? 1 : 0)), n);
    const size_t used = size ? n + 1 : 0;
    data += used;
    size -= used;
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemorySettingsStore store;
    // Small counts keep the run fast; the signs and extremes still come through.
    store.WriteProfileInt("Strings", "files", TakeInt(data, size) % 64);
    store.WriteProfileInt("Strings", "last", TakeInt(data, size));
    for (int i = 0; i < 40 && size > 0; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "file%03i", i);
        store.WriteProfileString("Strings", key, TakeString(data, size));
    }

    CStringHistory history(&store);
    history.AddUnique("\\x16M\\rTERMID?.");
    history.Load("Strings");
    while (size > 0) {
        const uint8_t op = data[0];
        ++data;
        --size;
        const std::string text = TakeString(data, size);
        if (op & 1) {
            history.AddUnique(text);
        } else {
            history.Remove(text);
        }
        (void)history.CurrentString();
    }

    CMemorySettingsStore saved;
    history.Save("Strings");
    history.SetStore(&saved);
    history.Save("Strings");
    const int32_t files = saved.GetProfileInt("Strings", "files", -1);
    if (files < 0 || files > history.MaxSaved() + 1) {
        std::abort();
    }
    CStringHistory reloaded(&saved);
    reloaded.Load("Strings");
    if (reloaded.Entries().size() > static_cast<size_t>(files)) {
        std::abort();
    }
    return 0;
}
