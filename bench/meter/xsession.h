// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"
#include "coverage.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <xcb/xcb.h>

// Something the meter saw on the screen, stamped when the meter received it.
struct ScreenEvent {
    enum class Kind { Mapped, Damaged };
    Kind kind = Kind::Damaged;
    Clock::time_point at;
    Rect area; // root coordinates: the window's geometry, or the damaged part
};

// The meter's X connection: DAMAGE on the root window reports every pixel drawn on the screen,
// SubstructureNotify reports top-level windows appearing, and XTEST injects the pointer and the
// keyboard as if a person used them.
class XSession {
public:
    // Connects to $DISPLAY; nothing and a reason when an extension or the display is missing.
    static std::unique_ptr<XSession> connect(std::string &error);
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // The next map of a top-level window or damage anywhere, or nothing by the deadline.
    std::optional<ScreenEvent> next(Clock::time_point deadline);
    // Takes events until none came for quiet, at most for limit; false when the screen never
    // went quiet.
    bool settle(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);

    void movePointer(int x, int y);
    void pressButton();
    void releaseButton();
    // A left click at (x, y), pointer motion included.
    void click(int x, int y);
    // Ctrl+A, then the text typed key by key; false when a character has no key.
    bool replaceText(std::string_view text);
    // Returns once the server has handled every request sent so far.
    void sync();
    bool hasError() const;

private:
    explicit XSession(xcb_connection_t *connection);
    bool setUp(std::string &error);
    std::optional<ScreenEvent> handle(const xcb_generic_event_t *event);
    void fake(uint8_t type, uint8_t detail, int x = 0, int y = 0);
    // The key and whether Shift is needed for it; nothing when the keymap lacks the symbol.
    std::optional<std::pair<xcb_keycode_t, bool>> keyFor(xcb_keysym_t symbol) const;
    void tap(xcb_keycode_t key, std::optional<xcb_keycode_t> modifier);

    struct Window {
        Rect geometry;
        bool overrideRedirect = false;
    };

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    Rect m_screen;
    uint8_t m_damageEventBase = 0;
    std::unordered_map<xcb_window_t, Window> m_windows;
    xcb_keycode_t m_firstKeycode = 0;
    int m_symbolsPerKey = 0;
    std::vector<xcb_keysym_t> m_keymap;
};
