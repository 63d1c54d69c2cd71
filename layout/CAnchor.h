// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

// A point given in percent of the layout area's width and height.
struct CAnchor {
    int32_t x;
    int32_t y;
};

constexpr bool operator==(CAnchor a, CAnchor b) {
    return a.x == b.x && a.y == b.y;
}
constexpr bool operator!=(CAnchor a, CAnchor b) {
    return !(a == b);
}

constexpr CAnchor ANCHOR_NONE{-1, -1};
constexpr CAnchor ANCHOR_TOP_LEFT{0, 0};
constexpr CAnchor ANCHOR_TOP_CENTER{50, 0};
constexpr CAnchor ANCHOR_TOP_RIGHT{100, 0};
constexpr CAnchor ANCHOR_MIDDLE_LEFT{0, 50};
constexpr CAnchor ANCHOR_CENTER{50, 50};
constexpr CAnchor ANCHOR_MIDDLE_RIGHT{100, 50};
constexpr CAnchor ANCHOR_BOTTOM_LEFT{0, 100};
constexpr CAnchor ANCHOR_BOTTOM_CENTER{50, 100};
constexpr CAnchor ANCHOR_BOTTOM_RIGHT{100, 100};
