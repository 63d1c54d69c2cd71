#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The bytes of a hex file as tests/data keeps descriptors: lines starting with '#' are comments,
// the others hex bytes separated by blanks. Empty when the file cannot be read.
inline std::vector<uint8_t> ReadHexFile(const std::string& path) {
    std::ifstream in(path);
    std::vector<uint8_t> bytes;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream hex(line);
        std::string byte;
        while (hex >> byte) {
            bytes.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
        }
    }
    return bytes;
}
