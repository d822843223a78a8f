#pragma once
#include <QString>
#include <QVector>
#include <functional>

// Bounds what one page can open: at most kPerSecond tabs, windows, dialogs or
// system-browser addresses within any second. A page that floods its bridge
// or calls window.open in a loop gets the first few; the rest is logged and
// dropped.
class OpenLimiter
{
public:
    static constexpr int kPerSecond = 5;

    // clockMs: a monotonic clock in milliseconds; tests put their own in.
    explicit OpenLimiter(std::function<qint64()> clockMs = {});

    // Whether `what` (for the log: "tab", "browser" and an address) may open
    // now; counts it when it may. The first refusal after an accepted one
    // is a warning, the rest of the burst debug lines.
    bool allow(const QString &what);

private:
    std::function<qint64()> m_clock;
    QVector<qint64> m_recent; // when the last kPerSecond accepted ones opened, oldest first
    bool m_refusing = false;
};
