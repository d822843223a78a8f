#include "screenprobe.h"
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <cstdlib>

namespace ScreenProbe {

Picture::Picture(const QImage &argb)
    : m_size(argb.size())
{
    const QImage image = argb.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            // Faint pixels say little about the picture and much about the background.
            if (qAlpha(pixel) >= 160)
                m_dots.append({x, y, pixel, 255 - qAlpha(pixel) + 12});
            else if (qAlpha(pixel) == 0)
                m_holes.append({x, y});
        }
    }
    // The most opaque first: a wrong place fails on the first dots.
    std::stable_sort(m_dots.begin(), m_dots.end(), [](const Dot &a, const Dot &b) { return a.tolerance < b.tolerance; });
}

bool Picture::matchesAt(const QImage &screen, int x, int y) const
{
    if (m_dots.size() < 8 || x + m_size.width() > screen.width() || y + m_size.height() > screen.height())
        return false;
    for (const Dot &dot : m_dots) {
        const QRgb seen = screen.pixel(x + dot.x, y + dot.y);
        if (std::abs(qRed(seen) - qRed(dot.color)) > dot.tolerance
            || std::abs(qGreen(seen) - qGreen(dot.color)) > dot.tolerance
            || std::abs(qBlue(seen) - qBlue(dot.color)) > dot.tolerance)
            return false;
    }
    // A plain patch of the picture's colour matches every dot of a
    // one-coloured icon; there the background must show through its holes.
    const QRgb ink = m_dots.first().color;
    int inked = 0;
    for (const QPoint &hole : m_holes) {
        const QRgb seen = screen.pixel(x + hole.x(), y + hole.y());
        if (std::abs(qRed(seen) - qRed(ink)) + std::abs(qGreen(seen) - qGreen(ink)) + std::abs(qBlue(seen) - qBlue(ink)) < 36)
            ++inked;
    }
    return inked * 2 < m_holes.size();
}

QImage grab(const QRect &area)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage().convertToFormat(QImage::Format_RGB32);
}

QList<QPoint> find(const QRect &area, const QList<Picture> &pictures)
{
    const QImage shot = grab(area);
    QList<QPoint> found;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            for (const Picture &picture : pictures) {
                if (!picture.matchesAt(shot, x, y))
                    continue;
                const QPoint at = area.topLeft() + QPoint(x, y);
                bool known = false;
                for (const QPoint &other : qAsConst(found))
                    known = known || (other - at).manhattanLength() < picture.size().width();
                if (!known)
                    found.append(at);
                break;
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const QPoint &a, const QPoint &b) { return a.x() < b.x(); });
    return found;
}

QList<Picture> tabCloseButton()
{
    // Drawn here, by the same toolkit and style as the programs draw theirs:
    // on the current tab and on the others.
    QTabBar bar;
    bar.setTabsClosable(true);
    bar.addTab(QStringLiteral("a"));
    bar.addTab(QStringLiteral("b"));
    bar.resize(bar.sizeHint());
    const auto side = QTabBar::ButtonPosition(bar.style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, &bar));
    QList<Picture> pictures;
    for (int index = 0; index < bar.count(); ++index) {
        QWidget *button = bar.tabButton(index, side);
        QImage image(button->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        button->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        pictures << Picture(image);
    }
    return pictures;
}

QList<Picture> icon(const QString &file)
{
    return {Picture(QIcon(file).pixmap(QSize(16, 16)).toImage())};
}

bool click(const QPoint &at)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint away = screen->geometry().bottomRight() - QPoint(1, 1);
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                              QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1"),
                              QStringLiteral("mousemove"), QString::number(away.x()), QString::number(away.y())})
        == 0;
}

bool press(const QPoint &at)
{
    // Two calls: the time from a press is taken when the second returns,
    // and the move before it may take a while to sync.
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                                         QString::number(at.x()), QString::number(at.y())}) == 0
        && QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousedown"), QStringLiteral("1")}) == 0;
}

bool release()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint away = screen->geometry().bottomRight() - QPoint(1, 1);
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1"), QStringLiteral("mousemove"),
                                                         QString::number(away.x()), QString::number(away.y())}) == 0;
}

namespace {
bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) <= 12;
}
} // namespace

double colourShare(const QImage &image, QRgb colour)
{
    if (image.isNull())
        return 0;
    qint64 shown = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            shown += near(line[x], colour);
    }
    return double(shown) / (qint64(image.width()) * image.height());
}

QRect colourBounds(const QImage &image, QRgb colour)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (near(line[x], colour)) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

bool hover(const QPoint &at)
{
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                                         QString::number(at.x()), QString::number(at.y())})
        == 0;
}

bool key(const QString &name)
{
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), name}) == 0;
}

double changedShare(const QImage &before, const QImage &after)
{
    if (before.size() != after.size() || before.isNull())
        return 1.0;
    qint64 changed = 0;
    for (int y = 0; y < before.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(before.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(after.constScanLine(y));
        for (int x = 0; x < before.width(); ++x) {
            if (std::abs(qRed(a[x]) - qRed(b[x])) + std::abs(qGreen(a[x]) - qGreen(b[x])) + std::abs(qBlue(a[x]) - qBlue(b[x])) > 24)
                ++changed;
        }
    }
    return double(changed) / (qint64(before.width()) * before.height());
}

} // namespace ScreenProbe
