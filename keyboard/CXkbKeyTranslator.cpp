// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "keyboard/CXkbKeyTranslator.h"

#include <xkbcommon/xkbcommon.h>

#include <cerrno>
#include <utility>

namespace {

// xkb keycodes are the Linux input key codes plus 8, as in X11.
constexpr xkb_keycode_t kEvdevOffset = 8;
// The longest UTF-8 text one key types, with room to spare.
constexpr size_t kUtf8Room = 64;
// Linux input key codes run up to KEY_MAX (0x2FF).
constexpr size_t kKeyCodes = 0x300;

// UTF-8 to bytes shown as ISO-8859-1: code points up to 0xFF stay one byte, others become "?".
std::string ToLatin1(const char* utf8) {
    std::string out;
    for (const auto* p = reinterpret_cast<const unsigned char*>(utf8); *p != 0;) {
        uint32_t code = *p;
        size_t extra = 0;
        if (code >= 0xF0) {
            code &= 0x07;
            extra = 3;
        } else if (code >= 0xE0) {
            code &= 0x0F;
            extra = 2;
        } else if (code >= 0xC0) {
            code &= 0x1F;
            extra = 1;
        }
        ++p;
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra, ++p) {
            code = (code << 6) | (*p & 0x3F);
        }
        out += code <= 0xFF && extra == 0 ? char(code) : '?';
    }
    return out;
}

} // namespace

std::unique_ptr<CXkbKeyTranslator> CXkbKeyTranslator::Create(const std::string& layout,
                                                             int& error) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (context == nullptr) {
        error = ENOMEM;
        return nullptr;
    }
    xkb_context_set_log_level(context, XKB_LOG_LEVEL_CRITICAL);
    const xkb_rule_names names = {"evdev", "pc105", layout.c_str(), "", ""};
    xkb_keymap* keymap =
        layout.empty() ? nullptr
                       : xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) {
        xkb_context_unref(context);
        error = EINVAL;
        return nullptr;
    }
    return std::unique_ptr<CXkbKeyTranslator>(new CXkbKeyTranslator(layout, context, keymap));
}

CXkbKeyTranslator::CXkbKeyTranslator(std::string layout, xkb_context* context, xkb_keymap* keymap)
    : m_layout(std::move(layout)), m_context(context), m_keymap(keymap),
      m_state(xkb_state_new(keymap)), m_down(kKeyCodes, false) {}

CXkbKeyTranslator::~CXkbKeyTranslator() {
    xkb_state_unref(m_state);
    xkb_keymap_unref(m_keymap);
    xkb_context_unref(m_context);
}

std::string CXkbKeyTranslator::Feed(uint16_t keyCode, bool pressed) {
    if (m_state == nullptr) {
        return {};
    }
    const xkb_keycode_t key = xkb_keycode_t(keyCode) + kEvdevOffset;
    const bool wasDown = keyCode < m_down.size() && m_down[keyCode];
    if (keyCode < m_down.size()) {
        m_down[keyCode] = pressed;
    }
    if (!pressed) {
        if (wasDown) {
            xkb_state_update_key(m_state, key, XKB_KEY_UP);
        }
        return {};
    }
    // The text comes from the state before the key's own change, as a desktop reads it; a key
    // held down (autorepeat) types again without changing the state twice.
    char utf8[kUtf8Room] = {};
    xkb_state_key_get_utf8(m_state, key, utf8, sizeof utf8);
    if (!wasDown) {
        xkb_state_update_key(m_state, key, XKB_KEY_DOWN);
    }
    return ToLatin1(utf8);
}

void CXkbKeyTranslator::Reset() {
    xkb_state_unref(m_state);
    m_state = xkb_state_new(m_keymap);
    m_down.assign(m_down.size(), false);
}
