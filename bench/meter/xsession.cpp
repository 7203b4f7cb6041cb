// SPDX-License-Identifier: GPL-3.0-or-later
#include "xsession.h"

#include <algorithm>
#include <cstdlib>

#include <poll.h>
#include <xcb/damage.h>
#include <xcb/xtest.h>

namespace {

constexpr xcb_keysym_t kShift = 0xffe1;   // Shift_L
constexpr xcb_keysym_t kControl = 0xffe3; // Control_L

template<typename Reply> struct Freed {
    Reply *reply;
    ~Freed() { std::free(reply); }
    Reply *operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

} // namespace

XSession::XSession(xcb_connection_t *connection)
    : m_connection(connection)
{
}

XSession::~XSession()
{
    xcb_disconnect(m_connection);
}

std::unique_ptr<XSession> XSession::connect(std::string &error)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    std::unique_ptr<XSession> session(new XSession(connection));
    if (xcb_connection_has_error(connection)) {
        error = "cannot connect to the X display (is DISPLAY set?)";
        return nullptr;
    }
    if (!session->setUp(error))
        return nullptr;
    return session;
}

bool XSession::setUp(std::string &error)
{
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(setup).data;
    m_root = screen->root;
    m_screen = {0, 0, screen->width_in_pixels, screen->height_in_pixels};

    const xcb_query_extension_reply_t *damage =
        xcb_get_extension_data(m_connection, &xcb_damage_id);
    const xcb_query_extension_reply_t *test = xcb_get_extension_data(m_connection, &xcb_test_id);
    if (!damage || !damage->present || !test || !test->present) {
        error = "the X server lacks the DAMAGE or XTEST extension";
        return false;
    }
    m_damageEventBase = damage->first_event;
    const Freed<xcb_damage_query_version_reply_t> version{xcb_damage_query_version_reply(
        m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr)};
    if (!version) {
        error = "DAMAGE refused version 1.1";
        return false;
    }
    const xcb_damage_damage_t damageId = xcb_generate_id(m_connection);
    xcb_damage_create(m_connection, damageId, m_root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);

    const int count = setup->max_keycode - setup->min_keycode + 1;
    const Freed<xcb_get_keyboard_mapping_reply_t> keymap{xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, uint8_t(count)),
        nullptr)};
    if (!keymap) {
        error = "cannot read the keyboard mapping";
        return false;
    }
    m_firstKeycode = setup->min_keycode;
    m_symbolsPerKey = keymap->keysyms_per_keycode;
    const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(keymap.reply);
    m_keymap.assign(symbols, symbols + xcb_get_keyboard_mapping_keysyms_length(keymap.reply));
    sync();
    return !hasError();
}

bool XSession::hasError() const
{
    return xcb_connection_has_error(m_connection) != 0;
}

std::optional<ScreenEvent> XSession::next(Clock::time_point deadline)
{
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const std::optional<ScreenEvent> seen = handle(event);
            std::free(event);
            if (seen)
                return seen;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || hasError())
            return std::nullopt;
        pollfd entry{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        ::poll(&entry, 1, int(left.count()));
    }
}

std::optional<ScreenEvent> XSession::handle(const xcb_generic_event_t *event)
{
    const uint8_t type = event->response_type & 0x7f;
    if (type == m_damageEventBase + XCB_DAMAGE_NOTIFY) {
        const auto *damage = reinterpret_cast<const xcb_damage_notify_event_t *>(event);
        ScreenEvent seen;
        seen.at = Clock::now();
        seen.area = {damage->area.x, damage->area.y, damage->area.width, damage->area.height};
        return seen;
    }
    switch (type) {
    case XCB_CREATE_NOTIFY: {
        const auto *created = reinterpret_cast<const xcb_create_notify_event_t *>(event);
        m_windows[created->window] = {{created->x, created->y, created->width, created->height},
                                      created->override_redirect != 0};
        break;
    }
    case XCB_CONFIGURE_NOTIFY: {
        const auto *configured = reinterpret_cast<const xcb_configure_notify_event_t *>(event);
        m_windows[configured->window] = {
            {configured->x, configured->y, configured->width, configured->height},
            configured->override_redirect != 0};
        break;
    }
    case XCB_DESTROY_NOTIFY:
        m_windows.erase(reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window);
        break;
    case XCB_MAP_NOTIFY: {
        const auto *mapped = reinterpret_cast<const xcb_map_notify_event_t *>(event);
        const auto known = m_windows.find(mapped->window);
        if (mapped->override_redirect || known == m_windows.end())
            break;
        ScreenEvent seen;
        seen.kind = ScreenEvent::Kind::Mapped;
        seen.at = Clock::now();
        // Only what is on the screen can be drawn, and so be seen drawn.
        seen.area = intersected(known->second.geometry, m_screen);
        return seen;
    }
    default:
        break;
    }
    return std::nullopt;
}

bool XSession::settle(std::chrono::milliseconds quiet, std::chrono::milliseconds limit)
{
    const Clock::time_point end = Clock::now() + limit;
    Clock::time_point last = Clock::now();
    for (;;) {
        const Clock::time_point wanted = last + quiet;
        if (wanted > end) {
            while (next(end)) {
            }
            return false;
        }
        if (!next(wanted))
            return true;
        last = Clock::now();
    }
}

void XSession::fake(uint8_t type, uint8_t detail, int x, int y)
{
    xcb_test_fake_input(m_connection, type, detail, XCB_CURRENT_TIME, m_root, int16_t(x),
                        int16_t(y), 0);
    xcb_flush(m_connection);
}

void XSession::movePointer(int x, int y)
{
    fake(XCB_MOTION_NOTIFY, 0, x, y);
}

void XSession::pressButton()
{
    fake(XCB_BUTTON_PRESS, 1);
}

void XSession::releaseButton()
{
    fake(XCB_BUTTON_RELEASE, 1);
}

void XSession::click(int x, int y)
{
    movePointer(x, y);
    pressButton();
    releaseButton();
}

void XSession::sync()
{
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

std::optional<std::pair<xcb_keycode_t, bool>> XSession::keyFor(xcb_keysym_t symbol) const
{
    for (std::size_t at = 0; at + 1 < m_keymap.size(); at += std::size_t(m_symbolsPerKey)) {
        const auto key = xcb_keycode_t(m_firstKeycode + at / std::size_t(m_symbolsPerKey));
        if (m_keymap[at] == symbol)
            return std::pair(key, false);
        if (m_symbolsPerKey > 1 && m_keymap[at + 1] == symbol)
            return std::pair(key, true);
    }
    return std::nullopt;
}

void XSession::tap(xcb_keycode_t key, std::optional<xcb_keycode_t> modifier)
{
    if (modifier)
        fake(XCB_KEY_PRESS, *modifier);
    fake(XCB_KEY_PRESS, key);
    fake(XCB_KEY_RELEASE, key);
    if (modifier)
        fake(XCB_KEY_RELEASE, *modifier);
}

bool XSession::replaceText(std::string_view text)
{
    const auto control = keyFor(kControl);
    const auto shift = keyFor(kShift);
    const auto letterA = keyFor('a');
    if (!control || !shift || !letterA)
        return false;
    tap(letterA->first, control->first);
    for (const char character : text) {
        // Printable ASCII characters are their own keysyms.
        const auto key = keyFor(xcb_keysym_t(static_cast<unsigned char>(character)));
        if (!key)
            return false;
        tap(key->first, key->second ? std::optional(shift->first) : std::nullopt);
    }
    return true;
}
