#include "xwatch.h"
#include <QDateTime>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace {
qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}
} // namespace

XWatch::XWatch()
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    m_root = screens.data->root;
    m_pidAtom = atom("_NET_WM_PID");
    m_protocolsAtom = atom("WM_PROTOCOLS");
    m_pingAtom = atom("_NET_WM_PING");
    // Maps of top-level windows, and the answers to pings, which the toolkit
    // sends to the root window.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

XWatch::~XWatch()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

xcb_atom_t XWatch::atom(const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : 0;
    free(reply);
    return value;
}

void XWatch::pump()
{
    if (!m_connection)
        return;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const qint64 now = nowMs();
        switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            m_maps.append({reinterpret_cast<xcb_map_notify_event_t *>(event)->window, now});
            break;
        case XCB_CLIENT_MESSAGE: {
            const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
            if (message->type == m_protocolsAtom && message->format == 32 && message->data.data32[0] == m_pingAtom) {
                const quint32 sequence = message->data.data32[1];
                if (m_pingSent.contains(sequence))
                    m_pingWaits.insert(sequence, now - m_pingSent.take(sequence));
            }
            break;
        }
        default:
            break;
        }
        free(event);
    }
}

void XWatch::waitForEvents(int msec)
{
    if (!m_connection)
        return;
    pollfd display = {xcb_get_file_descriptor(m_connection), POLLIN, 0};
    poll(&display, 1, msec);
    pump();
}

qint64 XWatch::pidOf(quint32 window)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    qint64 pid = -1;
    if (reply && xcb_get_property_value_length(reply) == 4)
        pid = *static_cast<const uint32_t *>(xcb_get_property_value(reply));
    free(reply);
    return pid;
}

void XWatch::setGeometry(quint32 window, const QRect &geometry)
{
    if (!m_connection)
        return;
    const uint32_t values[] = {uint32_t(geometry.x()), uint32_t(geometry.y()), uint32_t(geometry.width()), uint32_t(geometry.height())};
    xcb_configure_window(m_connection, window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
    xcb_flush(m_connection);
}

QList<XWatch::Window> XWatch::windowsOf(qint64 pid)
{
    QList<Window> windows;
    if (!m_connection)
        return windows;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr);
    if (!tree)
        return windows;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t window = children[i];
        if (pidOf(window) != pid)
            continue;
        xcb_get_window_attributes_reply_t *attributes =
            xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attributes);
        xcb_get_geometry_reply_t *geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        if (viewable && geometry)
            windows.append({window, QRect(geometry->x, geometry->y, geometry->width, geometry->height)});
        free(geometry);
    }
    free(tree);
    std::sort(windows.begin(), windows.end(), [](const Window &a, const Window &b) {
        return a.geometry.width() * a.geometry.height() > b.geometry.width() * b.geometry.height();
    });
    return windows;
}

QList<XWatch::Map> XWatch::takeMaps()
{
    pump();
    QList<Map> maps;
    maps.swap(m_maps);
    return maps;
}

void XWatch::ping(quint32 window)
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_protocolsAtom;
    message.data.data32[0] = m_pingAtom;
    message.data.data32[1] = m_nextPing; // stands where the server time goes; the answer carries it back
    message.data.data32[2] = window;
    m_pingSent.insert(m_nextPing++, nowMs());
    xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&message));
    xcb_flush(m_connection);
}

qint64 XWatch::longestPingWaitMs() const
{
    qint64 longest = 0;
    for (qint64 wait : m_pingWaits)
        longest = qMax(longest, wait);
    const qint64 now = nowMs();
    for (qint64 sent : m_pingSent)
        longest = qMax(longest, now - sent);
    return longest;
}

void XWatch::resetPings()
{
    pump();
    m_pingSent.clear();
    m_pingWaits.clear();
}
