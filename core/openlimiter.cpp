#include "openlimiter.h"
#include "core/logging.h"
#include <QElapsedTimer>

OpenLimiter::OpenLimiter(std::function<qint64()> clockMs)
    : m_clock(std::move(clockMs))
{
    if (!m_clock) {
        QElapsedTimer started;
        started.start();
        m_clock = [started] { return started.elapsed(); };
    }
}

bool OpenLimiter::allow(const QString &what)
{
    const qint64 now = m_clock();
    if (m_recent.size() < kPerSecond || now - m_recent.first() >= 1000) {
        if (m_recent.size() == kPerSecond)
            m_recent.removeFirst();
        m_recent.append(now);
        m_refusing = false;
        return true;
    }
    if (!std::exchange(m_refusing, true))
        qCWarning(lcWeb).noquote() << "page asked for more than" << kPerSecond
                                   << "tabs, windows or browser addresses within a second; dropped:" << what;
    else
        qCDebug(lcWeb).noquote() << "dropped:" << what;
    return false;
}
