// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <string>

// `raw` input for an error message: in double quotes, control bytes, quotes, backslashes and
// bytes that are not UTF-8 escaped (\n, \xHH), and so are the bidirectional controls that would
// reorder the text around them (\u202e), cut after `limit` bytes with "..." and the length.
std::string QuoteInput(const std::string& raw, size_t limit = 40);
