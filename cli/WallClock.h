// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

// The wall-clock time now in ISO 8601 with milliseconds and the local time zone's offset:
// "2026-12-09T13:05:42.118+01:00", as lanes and the logs they feed compare times across hosts.
std::string WallClockNow();
