#pragma once
#include <QHash>
#include <QList>
#include <QRect>
#include <QtGlobal>
#include <xcb/xcb.h>

// The driver's own connection to the X display: which windows a process has
// on screen and where, when windows are mapped, and how fast a program's GUI
// thread answers: a _NET_WM_PING a window manager would send, which the
// toolkit answers from its event loop, so a busy loop shows as a late answer.
class XWatch
{
public:
    struct Window
    {
        quint32 id = 0;
        QRect geometry;
    };
    struct Map
    {
        quint32 window;
        qint64 atMs; // when the driver saw it, ms since the epoch
    };

    XWatch();
    ~XWatch();
    bool isOpen() const { return m_connection != nullptr; }

    // Reads what the display has sent since the last call.
    void pump();
    // Waits up to msec for the display to send something, then reads it.
    void waitForEvents(int msec);
    // The viewable top-level windows of a process (by _NET_WM_PID), largest first.
    QList<Window> windowsOf(qint64 pid);
    qint64 pidOf(quint32 window);
    // Moves and resizes a top-level window; with no window manager on the
    // display, the server applies it at once.
    void setGeometry(quint32 window, const QRect &geometry);
    // Maps seen since the last takeMaps().
    QList<Map> takeMaps();

    // Pings a window; answers arrive through pump().
    void ping(quint32 window);
    // The longest a ping sent since resetPings() waited (or is still waiting) for its answer.
    qint64 longestPingWaitMs() const;
    void resetPings();

private:
    xcb_atom_t atom(const char *name);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = 0;
    xcb_atom_t m_protocolsAtom = 0;
    xcb_atom_t m_pingAtom = 0;
    QList<Map> m_maps;
    quint32 m_nextPing = 1;
    QHash<quint32, qint64> m_pingSent;  // by sequence, ms since the epoch
    QHash<quint32, qint64> m_pingWaits; // answered, ms
};
