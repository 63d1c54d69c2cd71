// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

// Prints a report descriptor item by item: offset, bytes, item name and value, with the usage
// names of the Generic Desktop, Keyboard, LED, Button and Bar Code Scanner pages, indented by
// collection. A descriptor cut short ends with a line that says so.
void PrintDescriptorItems(std::ostream& out, const std::vector<uint8_t>& descriptor);
