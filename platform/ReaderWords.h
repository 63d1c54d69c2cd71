// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cctype>
#include <string>

// The words by which a device's product or manufacturer string says that it is a bar-code
// reader. A keyboard interface is a reader in keyboard mode only when they say so: ordinary
// keyboards are never listed, never opened, and keep their access rights.
inline const char* const kReaderWords[] = {"barcode", "bar code", "scanner", "imager",
                                           "scan engine"};

// True when `text` holds one of the reader words, in any case.
inline bool SaysItIsAReader(const std::string& text) {
    std::string lower(text);
    for (char& c : lower) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const char* word : kReaderWords) {
        if (lower.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}
