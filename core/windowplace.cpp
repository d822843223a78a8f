#include "windowplace.h"
#include <QStringList>

namespace {
// A strip of the top that must be on a screen for the user to reach it.
constexpr int kTopStrip = 40;
constexpr int kReachableWidth = 200;
constexpr int kLargest = 100000;
} // namespace

QString windowPlaceText(const QRect &place)
{
    return QStringLiteral("%1,%2,%3,%4").arg(place.x()).arg(place.y()).arg(place.width()).arg(place.height());
}

QRect readWindowPlace(const QString &text, const QList<QRect> &screens, QString *why)
{
    const QStringList parts = text.split(QLatin1Char(','));
    int values[4] = {};
    bool whole = parts.size() == 4;
    for (int i = 0; whole && i < 4; ++i)
        values[i] = parts.at(i).trimmed().toInt(&whole);
    const QRect place(values[0], values[1], values[2], values[3]);
    if (!whole || place.width() <= 0 || place.height() <= 0 || place.width() > kLargest || place.height() > kLargest
        || qAbs(place.x()) > kLargest || qAbs(place.y()) > kLargest) {
        *why = QStringLiteral("not a place");
        return QRect();
    }
    const QRect top(place.x(), place.y(), place.width(), kTopStrip);
    for (const QRect &screen : screens) {
        const QRect seen = top.intersected(screen);
        if (seen.width() >= qMin(kReachableWidth, place.width()) && seen.height() >= kTopStrip / 2)
            return place;
    }
    *why = QStringLiteral("off every screen");
    return QRect();
}
