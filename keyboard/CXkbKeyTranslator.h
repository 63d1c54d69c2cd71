// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CKeyTranslator.h"

#include <memory>
#include <string>
#include <vector>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

// Key events to text with libxkbcommon's keymap of one layout (rules "evdev", model "pc105"),
// never the environment's XKB_DEFAULT_* names, so the same keys give the same text everywhere.
class CXkbKeyTranslator : public CKeyTranslator {
public:
    // Null with `error` EINVAL when xkbcommon has no keymap for `layout`, ENOMEM when it cannot
    // start.
    static std::unique_ptr<CXkbKeyTranslator> Create(const std::string& layout, int& error);
    ~CXkbKeyTranslator() override;
    CXkbKeyTranslator(const CXkbKeyTranslator&) = delete;
    CXkbKeyTranslator& operator=(const CXkbKeyTranslator&) = delete;

    const std::string& Layout() const override { return m_layout; }
    std::string Feed(uint16_t keyCode, bool pressed) override;
    void Reset() override;

private:
    CXkbKeyTranslator(std::string layout, xkb_context* context, xkb_keymap* keymap);

    std::string m_layout;
    xkb_context* m_context;
    xkb_keymap* m_keymap;
    xkb_state* m_state;
    std::vector<bool> m_down; // by key code: held down now
};
