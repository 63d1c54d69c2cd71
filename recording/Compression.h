// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

// The compression format whose signature `head` (the first bytes of a file) starts with and
// the tool that undoes it, or false. Eight bytes are enough for every format known here.
bool IsCompressed(const std::string& head, std::string& format, std::string& tool);
