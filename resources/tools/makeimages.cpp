// Draws every picture of the client's resource tree.
//
//   makeimages OUTDIR FRAMEDIR ICONDIR
//
// Writes the PNG and ICO files into OUTDIR under their bare resource names
// (no extension: the code addresses them as ":/img/NAME") and the frames of
// the loading animation into FRAMEDIR as frame-NN.png; the driver script
// turns those into the GIF, because Qt can read GIF but not write it. The
// application icon for the desktop's icon theme goes into ICONDIR as
// NxN.png, one file per size the install rules place under hicolor.
//
// Most icons are designed on a 24-unit grid and scaled to their pixel size,
// so one drawing serves every size it is needed at. Labels show a pixmap at
// its natural size, so their pictures are drawn at exactly that size; icons
// on buttons and in menus are drawn at twice the size Qt shows them and are
// scaled down smoothly.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QSaveFile>
#include <QTransform>
#include <QtEndian>
#include <QtMath>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

const QColor kBlue(0x40, 0x9e, 0xff);
const QColor kBlueDark(0x33, 0x7e, 0xcc);
const QColor kBluePale(0xec, 0xf5, 0xff);
const QColor kGrey(0x60, 0x62, 0x66);
const QColor kGreyLight(0x90, 0x93, 0x99);
const QColor kGreen(0x22, 0xc0, 0x64);
const QColor kRed(0xf5, 0x6c, 0x6c);
const QColor kAmber(0xe6, 0xa2, 0x3c);
const QColor kAmberLight(0xf3, 0xc0, 0x6b);
const QColor kText(0x30, 0x31, 0x33);

// Stroke width in grid units: 2.4 px at 32 px. Pictures shown smaller than
// the grid get a heavier line, or they fade to a grey hairline.
constexpr qreal kLine = 1.8;
constexpr qreal kLineSmall = 2.2;
constexpr qreal kGrid = 24.0;
qreal s_line = kLine;

using Draw = std::function<void(QPainter &)>;

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "makeimages: %s\n", qPrintable(what));
    std::exit(1);
}

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage icon(int size, const Draw &draw, qreal grid = kGrid)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / grid, size / grid);
    s_line = size < grid ? kLineSmall : kLine;
    draw(p);
    s_line = kLine;
    return image;
}

QPen pen(const QColor &color, qreal width = s_line)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void stroke(QPainter &p, const QPainterPath &path, const QColor &color, qreal width = s_line)
{
    p.strokePath(path, pen(color, width));
}

void strokeLine(QPainter &p, QPointF a, QPointF b, const QColor &color, qreal width = s_line)
{
    QPainterPath path(a);
    path.lineTo(b);
    stroke(p, path, color, width);
}

void polyline(QPainter &p, std::initializer_list<QPointF> points, const QColor &color,
              qreal width = s_line)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF &pt : points) {
        if (first)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        first = false;
    }
    stroke(p, path, color, width);
}

void fill(QPainter &p, const QPainterPath &path, const QColor &color)
{
    p.fillPath(path, color);
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// Clears a band around a stroke so that a crossing line stays readable where
// it overlaps another shape.
void erase(QPainter &p, const QPainterPath &path, qreal width)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.strokePath(path, pen(Qt::black, width));
    p.restore();
}

void eraseFill(QPainter &p, const QPainterPath &path)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillPath(path, Qt::black);
    p.restore();
}

// Solid arrow head, used at the end of curved arrows where an open one looks
// like part of the curve.
void arrowHead(QPainter &p, QPointF tip, QPointF dir, qreal length, qreal halfWidth,
               const QColor &color)
{
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = tip - dir * length;
    QPainterPath head(tip);
    head.lineTo(base + normal * halfWidth);
    head.lineTo(base - normal * halfWidth);
    head.closeSubpath();
    p.save();
    p.setPen(pen(color, 0.6));
    p.setBrush(color);
    p.drawPath(head);
    p.restore();
}

// ---------------------------------------------------------------- shapes

QPainterPath gamepadPath()
{
    QPainterPath body;
    body.moveTo(7, 6.5);
    body.lineTo(17, 6.5);
    body.quadTo(21.6, 6.5, 22.6, 11.5);
    body.lineTo(23.2, 16.2);
    body.quadTo(23.5, 19.5, 20.6, 19.5);
    body.quadTo(19.1, 19.5, 18.1, 18.0);
    body.lineTo(16.6, 16.0);
    body.lineTo(7.4, 16.0);
    body.lineTo(5.9, 18.0);
    body.quadTo(4.9, 19.5, 3.4, 19.5);
    body.quadTo(0.5, 19.5, 0.8, 16.2);
    body.lineTo(1.4, 11.5);
    body.quadTo(2.4, 6.5, 7, 6.5);
    body.closeSubpath();
    return body;
}

void gamepadDetails(QPainter &p, const QColor &color, qreal width, bool tiny = false)
{
    strokeLine(p, {7, 9.6}, {7, 14.0}, color, width);
    strokeLine(p, {4.8, 11.8}, {9.2, 11.8}, color, width);
    if (tiny) {
        // At 16 px two small buttons blur into grey specks; one larger dot
        // keeps the pad readable.
        fill(p, circle({17.4, 11.8}, 1.9), color);
        return;
    }
    fill(p, circle({16.2, 10.6}, 1.25), color);
    fill(p, circle({18.6, 13.0}, 1.25), color);
}

// The product mark: white gamepad on a blue rounded tile, filling rect.
void appMark(QPainter &p, const QRectF &rect, bool small)
{
    const qreal radius = rect.width() * 0.22;
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, QColor(0x5c, 0xad, 0xff));
    gradient.setColorAt(1, kBlueDark);
    p.fillPath(roundedRect(rect, radius), gradient);

    p.save();
    p.translate(rect.topLeft());
    p.scale(rect.width() / kGrid, rect.height() / kGrid);
    // The pad is wider than tall; centre it on the tile with a margin.
    p.translate(12, 12);
    p.scale(small ? 0.86 : 0.78, small ? 0.86 : 0.78);
    p.translate(-12, -13);
    fill(p, gamepadPath(), Qt::white);
    gamepadDetails(p, kBlue, small ? 2.4 : 1.9, small);
    p.restore();
}

// Solid push pin: at title-bar size an outlined one turns to mush.
void pin(QPainter &p, const QColor &color)
{
    QPainterPath shape;
    shape.addRoundedRect(QRectF(7.2, 2.2, 9.6, 2.8), 1.2, 1.2);
    QPainterPath body;
    body.moveTo(9.4, 4.5);
    body.lineTo(14.6, 4.5);
    body.lineTo(14.6, 9.4);
    body.lineTo(18.0, 13.8);
    body.lineTo(6.0, 13.8);
    body.lineTo(9.4, 9.4);
    body.closeSubpath();
    fill(p, shape.united(body), color);
    strokeLine(p, {12, 13.5}, {12, 21.5}, color, 2.0);
}

void speaker(QPainter &p, const QColor &color)
{
    QPainterPath body;
    body.moveTo(3.5, 9.2);
    body.lineTo(7.2, 9.2);
    body.lineTo(11.8, 5.0);
    body.lineTo(11.8, 19.0);
    body.lineTo(7.2, 14.8);
    body.lineTo(3.5, 14.8);
    body.closeSubpath();
    stroke(p, body, color);
}

QPainterPath arc(QPointF centre, qreal radius, qreal startDegrees, qreal sweepDegrees)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.arcMoveTo(box, startDegrees);
    path.arcTo(box, startDegrees, sweepDegrees);
    return path;
}

// Circular arrow running clockwise from the top right round to the top left,
// the head pointing back into the gap.
void reloadArrow(QPainter &p, const QColor &color)
{
    const QPointF centre(12, 12.5);
    const qreal radius = 7.5;
    const qreal start = 60;
    const qreal sweep = -290;
    stroke(p, arc(centre, radius, start, sweep), color);
    const qreal end = qDegreesToRadians(start + sweep);
    const QPointF tip = centre + QPointF(qCos(end), -qSin(end)) * radius;
    // Direction of clockwise travel on screen at that angle.
    const QPointF dir(qSin(end), qCos(end));
    arrowHead(p, tip + dir * 2.6, dir, 5.0, 3.3, color);
}

QPainterPath shoulders(QPointF head, qreal scale)
{
    QPainterPath path;
    const qreal top = head.y() + 6.2 * scale;
    path.moveTo(head.x() - 6.5 * scale, top + 6.3 * scale);
    path.quadTo(head.x() - 6.5 * scale, top, head.x(), top);
    path.quadTo(head.x() + 6.5 * scale, top, head.x() + 6.5 * scale, top + 6.3 * scale);
    return path;
}

void person(QPainter &p, QPointF head, qreal scale, const QColor &color)
{
    stroke(p, circle(head, 3.6 * scale), color);
    stroke(p, shoulders(head, scale), color);
}

QPainterPath personShape(QPointF head, qreal scale)
{
    QPainterPath body = shoulders(head, scale);
    body.closeSubpath();
    return circle(head, 3.6 * scale).united(body);
}

// Alarm clock with bells and feet, centred at (12, 13).
void alarmClock(QPainter &p, bool filled, const QColor &color)
{
    const QPointF centre(12, 13);
    if (filled) {
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPie(QRectF(2.4, 1.8, 7.6, 7.6), 45 * 16, 180 * 16);
        p.drawPie(QRectF(14.0, 1.8, 7.6, 7.6), -45 * 16, 180 * 16);
        p.restore();
        strokeLine(p, {7.4, 19.0}, {5.4, 21.6}, color, 2.0);
        strokeLine(p, {16.6, 19.0}, {18.6, 21.6}, color, 2.0);
        fill(p, circle(centre, 8.8), color);
        fill(p, circle(centre, 6.6), Qt::white);
        polyline(p, {{12, 8.8}, {12, 13}, {15.2, 14.8}}, color, 1.7);
        fill(p, circle(centre, 1.1), color);
        return;
    }
    stroke(p, arc({5.9, 5.3}, 3.1, 45, 180), color);
    stroke(p, arc({18.1, 5.3}, 3.1, -45, 180), color);
    strokeLine(p, {7.6, 19.2}, {5.6, 21.4}, color);
    strokeLine(p, {16.4, 19.2}, {18.4, 21.4}, color);
    eraseFill(p, circle(centre, 8.6));
    stroke(p, circle(centre, 8.0), color);
    polyline(p, {{12, 9.0}, {12, 13}, {15.0, 14.8}}, color);
}

// Window outline open at its top right corner; page and merge add an arrow
// leaving or entering through that corner.
void openWindow(QPainter &p, const QColor &color)
{
    QPainterPath frame;
    frame.moveTo(10.5, 4.0);
    frame.lineTo(5.5, 4.0);
    frame.quadTo(4.0, 4.0, 4.0, 5.5);
    frame.lineTo(4.0, 18.5);
    frame.quadTo(4.0, 20.0, 5.5, 20.0);
    frame.lineTo(18.5, 20.0);
    frame.quadTo(20.0, 20.0, 20.0, 18.5);
    frame.lineTo(20.0, 13.5);
    stroke(p, frame, color);
}

// Simple chat bubble with three dots, for the two social login windows.
void chatTile(QPainter &p, const QColor &tile, bool roundTile)
{
    if (roundTile)
        fill(p, circle({12, 12}, 11.5), tile);
    else
        fill(p, roundedRect(QRectF(0.5, 0.5, 23, 23), 5.5), tile);

    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(4.5, 5.5, 15, 10.5), 5.25, 5.25);
    QPainterPath tail;
    tail.moveTo(7.5, 14.0);
    tail.lineTo(6.2, 19.2);
    tail.lineTo(12.0, 15.2);
    tail.closeSubpath();
    fill(p, bubble.united(tail), Qt::white);
    for (qreal x : {8.5, 12.0, 15.5})
        fill(p, circle({x, 10.75}, 1.25), tile);
}

void broom(QPainter &p, const QColor &handle, const QColor &collar, const QColor &bristles,
           const QColor &lines, bool filled)
{
    p.save();
    p.translate(12, 12);
    p.rotate(30);
    p.translate(-12, -12);
    if (filled) {
        strokeLine(p, {12, 0.5}, {12, 9}, handle, 2.4);
        fill(p, roundedRect(QRectF(8.2, 8.6, 7.6, 3.6), 1.0), collar);
        QPainterPath head;
        head.moveTo(8.6, 12.2);
        head.lineTo(6.2, 21.2);
        head.quadTo(12, 22.8, 17.8, 21.2);
        head.lineTo(15.4, 12.2);
        head.closeSubpath();
        fill(p, head, bristles);
        strokeLine(p, {10.2, 14.2}, {9.2, 20.4}, lines, 0.9);
        strokeLine(p, {12.0, 14.2}, {12.0, 20.9}, lines, 0.9);
        strokeLine(p, {13.8, 14.2}, {14.8, 20.4}, lines, 0.9);
    } else {
        strokeLine(p, {12, 1.0}, {12, 8.6}, handle);
        stroke(p, roundedRect(QRectF(8.6, 8.6, 6.8, 3.4), 0.8), collar);
        QPainterPath head;
        head.moveTo(8.8, 12.0);
        head.lineTo(6.6, 20.6);
        head.quadTo(12, 22.0, 17.4, 20.6);
        head.lineTo(15.2, 12.0);
        stroke(p, head, bristles);
        strokeLine(p, {12.0, 15.0}, {12.0, 19.6}, lines, 1.4);
    }
    p.restore();
}

void sparkle(QPainter &p, QPointF centre, qreal radius, const QColor &color)
{
    QPainterPath star;
    const qreal waist = radius * 0.28;
    star.moveTo(centre.x(), centre.y() - radius);
    star.quadTo(centre.x() + waist, centre.y() - waist, centre.x() + radius, centre.y());
    star.quadTo(centre.x() + waist, centre.y() + waist, centre.x(), centre.y() + radius);
    star.quadTo(centre.x() - waist, centre.y() + waist, centre.x() - radius, centre.y());
    star.quadTo(centre.x() - waist, centre.y() - waist, centre.x(), centre.y() - radius);
    fill(p, star, color);
}

// ---------------------------------------------------------------- pictures

QImage about()
{
    return icon(32, [](QPainter &p) {
        stroke(p, circle({12, 12}, 9.4), kBlue);
        fill(p, circle({12, 7.6}, 1.3), kBlue);
        strokeLine(p, {12, 11.0}, {12, 16.8}, kBlue, 2.0);
    });
}

QImage account()
{
    return icon(20, [](QPainter &p) {
        const QPainterPath disc = circle({12, 12}, 11.5);
        fill(p, disc, kBlue);
        p.save();
        p.setClipPath(disc);
        fill(p, circle({12, 9.4}, 4.3), Qt::white);
        QPainterPath body;
        body.addEllipse(QPointF(12, 23.2), 8.2, 7.6);
        fill(p, body, Qt::white);
        p.restore();
    });
}

QImage arrowDown()
{
    return icon(16, [](QPainter &p) {
        polyline(p, {{4.5, 6.2}, {8, 9.8}, {11.5, 6.2}}, kGrey, 1.6);
    }, 16);
}

QImage bossKey()
{
    return icon(42, [](QPainter &p) {
        QPainterPath eye;
        eye.moveTo(2, 12);
        eye.quadTo(12, 2.5, 22, 12);
        eye.quadTo(12, 21.5, 2, 12);
        eye.closeSubpath();
        stroke(p, eye, kBlue);
        stroke(p, circle({12, 12}, 3.2), kBlue);
        QPainterPath slash({4.5, 19.5});
        slash.lineTo(19.5, 4.5);
        erase(p, slash, 4.8);
        stroke(p, slash, kBlue);
    });
}

QImage pinUp()
{
    return icon(20, [](QPainter &p) { pin(p, kGrey); });
}

QImage pinCancel()
{
    return icon(20, [](QPainter &p) {
        pin(p, kGrey);
        // Rising slash: the falling one would cut off a speck of the pin.
        QPainterPath slash({3.5, 20.5});
        slash.lineTo(20.5, 3.5);
        erase(p, slash, 4.0);
        stroke(p, slash, kGrey);
    });
}

QImage clearSmall()
{
    return icon(32, [](QPainter &p) { broom(p, kBlue, kBlue, kBlue, kBlue, false); });
}

QImage clearLarge()
{
    return icon(64, [](QPainter &p) {
        fill(p, circle({12, 12}, 11.6), kBluePale);
        p.save();
        p.translate(12, 12);
        p.scale(0.78, 0.78);
        p.translate(-12, -11.5);
        broom(p, kBlue, kBlueDark, kAmber, QColor(0xc9, 0x84, 0x1f), true);
        p.restore();
        sparkle(p, {5.6, 7.2}, 2.2, kBlue);
        sparkle(p, {18.6, 16.6}, 1.7, kAmber);
        sparkle(p, {7.4, 17.8}, 1.2, kBlue);
    });
}

QImage clearFinished()
{
    return icon(64, [](QPainter &p) {
        fill(p, circle({12, 12}, 11.2), kGreen);
        polyline(p, {{6.9, 12.4}, {10.4, 15.8}, {17.2, 8.8}}, Qt::white, 2.4);
    });
}

QImage clockList()
{
    return icon(32, [](QPainter &p) { alarmClock(p, true, kBlue); });
}

QImage clockToolbar()
{
    return icon(32, [](QPainter &p) { alarmClock(p, false, kBlue); });
}

QImage clockNotify()
{
    return icon(48, [](QPainter &p) {
        // Shaking lines either side of a tilted clock: the alarm is ringing.
        stroke(p, arc({12, 13}, 11.0, -28, 56), kAmber, 1.4);
        stroke(p, arc({12, 13}, 11.0, 152, 56), kAmber, 1.4);
        p.save();
        p.translate(12, 13);
        p.rotate(-12);
        p.scale(0.86, 0.86);
        p.translate(-12, -13);
        alarmClock(p, true, kBlue);
        p.restore();
    });
}

QImage coin()
{
    return icon(20, [](QPainter &p) {
        fill(p, circle({12, 12}, 11.2), kAmber);
        stroke(p, circle({12, 12}, 8.6), kAmberLight, 1.2);
        polyline(p, {{8.6, 6.8}, {12, 11.4}, {15.4, 6.8}}, Qt::white, 2.0);
        strokeLine(p, {12, 11.4}, {12, 17.6}, Qt::white, 2.0);
        strokeLine(p, {8.8, 12.6}, {15.2, 12.6}, Qt::white, 1.7);
        strokeLine(p, {8.8, 15.3}, {15.2, 15.3}, Qt::white, 1.7);
    });
}

QImage trash()
{
    return icon(32, [](QPainter &p) {
        strokeLine(p, {3.8, 6.5}, {20.2, 6.5}, kRed);
        polyline(p, {{9.2, 6.5}, {9.2, 3.8}, {14.8, 3.8}, {14.8, 6.5}}, kRed);
        QPainterPath can;
        can.moveTo(6.0, 6.5);
        can.lineTo(7.0, 19.8);
        can.quadTo(7.2, 21.2, 8.6, 21.2);
        can.lineTo(15.4, 21.2);
        can.quadTo(16.8, 21.2, 17.0, 19.8);
        can.lineTo(18.0, 6.5);
        stroke(p, can, kRed);
        strokeLine(p, {10.2, 10.4}, {10.2, 17.4}, kRed);
        strokeLine(p, {13.8, 10.4}, {13.8, 17.4}, kRed);
    });
}

QImage folder()
{
    // Shown in a 23 x 23 label, so it is drawn at that size.
    return icon(23, [](QPainter &p) {
        QPainterPath back;
        back.moveTo(2, 6);
        back.quadTo(2, 4, 4, 4);
        back.lineTo(9, 4);
        back.lineTo(11.2, 6.4);
        back.lineTo(20, 6.4);
        back.quadTo(22, 6.4, 22, 8.4);
        back.lineTo(22, 18);
        back.quadTo(22, 20, 20, 20);
        back.lineTo(4, 20);
        back.quadTo(2, 20, 2, 18);
        back.closeSubpath();
        fill(p, back, kAmber);
        fill(p, roundedRect(QRectF(2, 9, 20, 11), 2), kAmberLight);
    });
}

QImage gamepad()
{
    return icon(32, [](QPainter &p) {
        stroke(p, gamepadPath(), kBlue);
        gamepadDetails(p, kBlue, kLine);
    });
}

QImage gift()
{
    return icon(32, [](QPainter &p) {
        stroke(p, roundedRect(QRectF(3.2, 8.2, 17.6, 4.2), 0.8), kBlue);
        QPainterPath box;
        box.moveTo(4.8, 12.4);
        box.lineTo(4.8, 20.8);
        box.lineTo(19.2, 20.8);
        box.lineTo(19.2, 12.4);
        stroke(p, box, kBlue);
        strokeLine(p, {12, 8.2}, {12, 20.8}, kRed);
        QPainterPath bow;
        bow.moveTo(12, 8.0);
        bow.cubicTo(10.5, 3.0, 5.2, 3.4, 7.6, 7.0);
        bow.moveTo(12, 8.0);
        bow.cubicTo(13.5, 3.0, 18.8, 3.4, 16.4, 7.0);
        stroke(p, bow, kRed);
    });
}

QImage horn()
{
    return icon(32, [](QPainter &p) {
        speaker(p, kBlue);
        stroke(p, arc({12, 12}, 4.0, -45, 90), kBlue);
        stroke(p, arc({12, 12}, 8.0, -48, 96), kBlue);
    });
}

QImage mute()
{
    return icon(32, [](QPainter &p) {
        speaker(p, kBlue);
        strokeLine(p, {15.5, 9.5}, {20.5, 14.5}, kRed);
        strokeLine(p, {20.5, 9.5}, {15.5, 14.5}, kRed);
    });
}

QImage appIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal inset = size <= 16 ? 0.5 : size / 32.0;
    appMark(p, QRectF(inset, inset, size - 2 * inset, size - 2 * inset), size <= 16);
    return image;
}

QImage headset()
{
    return icon(42, [](QPainter &p) {
        stroke(p, arc({12, 12.5}, 8.0, 180, -180), kBlue);
        QPainterPath cups;
        cups.addRoundedRect(QRectF(2.8, 11.8, 4.6, 6.8), 1.6, 1.6);
        cups.addRoundedRect(QRectF(16.6, 11.8, 4.6, 6.8), 1.6, 1.6);
        fill(p, cups, kBlue);
        QPainterPath mic;
        mic.moveTo(18.9, 18.0);
        mic.quadTo(18.9, 21.4, 15.0, 21.4);
        mic.lineTo(13.4, 21.4);
        stroke(p, mic, kBlue);
        fill(p, roundedRect(QRectF(10.0, 19.9, 3.8, 3.0), 1.2), kBlue);
    });
}

QImage logo()
{
    // The top bar shows this in a label of fixed height 25 with scaled
    // contents; such a label takes its width from the pixmap's natural width
    // and stretches the picture to that width x 25, so the picture must have
    // exactly that height or it comes out squashed.
    const int height = 25;
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(17);
    font.setWeight(QFont::Bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontInfo info(font);
    if (info.family() != QLatin1String("Noto Sans CJK SC"))
        fail(QStringLiteral("font \"Noto Sans CJK SC\" not found (got \"%1\"); install fonts-noto-cjk")
                 .arg(info.family()));

    QPainterPath latin;
    latin.addText(0, 0, font, QStringLiteral("Kavo"));
    QPainterPath cjk;
    QFont cjkFont = font;
    cjkFont.setWeight(QFont::Normal);
    cjk.addText(0, 0, cjkFont, QStringLiteral("游戏盒子"));
    const qreal latinWidth = latin.boundingRect().right();
    cjk.translate(latinWidth + 3.5, 0);

    const QRectF textBox = latin.boundingRect().united(cjk.boundingRect());
    const qreal markSize = 23;
    const qreal textLeft = markSize + 7;
    const int width = qCeil(textLeft + textBox.width() + 1);
    // Centre the ink of the text, not its font box, on the mark.
    const QPointF shift(textLeft - textBox.left(), height / 2.0 - textBox.center().y());
    latin.translate(shift);
    cjk.translate(shift);

    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    appMark(p, QRectF(1, 1, markSize, markSize), false);
    fill(p, latin, kBlue);
    p.strokePath(latin, QPen(kBlue, 0.5));
    // The CJK face ships in one weight here; a hairline stroke evens it up
    // with the bold Latin part.
    fill(p, cjk, kText);
    p.strokePath(cjk, QPen(kText, 0.35));
    return image;
}

QImage merge()
{
    return icon(20, [](QPainter &p) {
        openWindow(p, kGrey);
        strokeLine(p, {20.0, 4.0}, {11.5, 12.5}, kGrey);
        polyline(p, {{11.5, 7.0}, {11.5, 12.5}, {17.0, 12.5}}, kGrey);
    });
}

QImage envelope()
{
    return icon(32, [](QPainter &p) {
        stroke(p, roundedRect(QRectF(3, 5.5, 18, 13), 1.6), kBlue);
        polyline(p, {{3.8, 6.6}, {12, 12.8}, {20.2, 6.6}}, kBlue);
    });
}

QImage detach()
{
    return icon(32, [](QPainter &p) {
        openWindow(p, kBlue);
        strokeLine(p, {11.5, 12.5}, {20.0, 4.0}, kBlue);
        polyline(p, {{14.5, 4.0}, {20.0, 4.0}, {20.0, 9.5}}, kBlue);
    });
}

QImage wallet()
{
    return icon(42, [](QPainter &p) {
        QPainterPath flap;
        flap.moveTo(5.0, 6.6);
        flap.lineTo(15.2, 3.4);
        flap.quadTo(16.9, 2.9, 17.3, 4.6);
        flap.lineTo(17.8, 6.6);
        stroke(p, flap, kBlue);
        stroke(p, roundedRect(QRectF(3.0, 6.6, 18.0, 13.8), 2.0), kBlue);
        stroke(p, roundedRect(QRectF(14.4, 10.6, 6.6, 5.4), 1.4), kBlue);
        fill(p, circle({17.2, 13.3}, 1.1), kBlue);
    });
}

QImage chatBlue()
{
    return icon(32, [](QPainter &p) { chatTile(p, kBlue, true); });
}

QImage chatGreen()
{
    return icon(32, [](QPainter &p) { chatTile(p, kGreen, false); });
}

QImage reload(int size, const QColor &color)
{
    return icon(size, [color](QPainter &p) { reloadArrow(p, color); });
}

QImage registerUser()
{
    return icon(32, [](QPainter &p) {
        person(p, {9.5, 7.8}, 1.0, kBlue);
        strokeLine(p, {19.2, 10.5}, {19.2, 17.5}, kBlue);
        strokeLine(p, {15.7, 14.0}, {22.7, 14.0}, kBlue);
    });
}

QImage shield()
{
    return icon(32, [](QPainter &p) {
        QPainterPath body;
        body.moveTo(12, 2.6);
        body.lineTo(19.8, 5.4);
        body.lineTo(19.8, 11.2);
        body.quadTo(19.8, 17.6, 12, 21.4);
        body.quadTo(4.2, 17.6, 4.2, 11.2);
        body.lineTo(4.2, 5.4);
        body.closeSubpath();
        stroke(p, body, kBlue);
        polyline(p, {{8.6, 11.8}, {11.0, 14.2}, {15.6, 9.6}}, kBlue);
    });
}

QImage magnifier()
{
    return icon(32, [](QPainter &p) {
        stroke(p, circle({10.5, 10.5}, 6.6), kBlue);
        strokeLine(p, {15.4, 15.4}, {20.6, 20.6}, kBlue, 2.4);
    });
}

QImage menuLines(int size)
{
    if (size == 16) {
        // Shown 1:1 in a 16 x 16 button: whole-pixel bars stay sharp.
        QImage image = canvas(16, 16);
        QPainter p(&image);
        for (int y : {3, 7, 11})
            p.fillRect(QRect(2, y, 12, 2), kGrey);
        return image;
    }
    return icon(size, [](QPainter &p) {
        for (qreal y : {6.0, 12.0, 18.0})
            strokeLine(p, {4.5, y}, {19.5, y}, kGrey, 2.0);
    });
}

QImage gear()
{
    return icon(32, [](QPainter &p) {
        QPainterPath shape = circle({12, 12}, 7.0);
        for (int i = 0; i < 8; ++i) {
            QPainterPath tooth;
            tooth.addRoundedRect(QRectF(-1.9, -10.0, 3.8, 5.0), 0.9, 0.9);
            QTransform t;
            t.translate(12, 12);
            t.rotate(i * 45.0);
            shape = shape.united(t.map(tooth));
        }
        stroke(p, shape.simplified(), kBlue);
        stroke(p, circle({12, 12}, 3.0), kBlue);
    });
}

QImage calendarCheck()
{
    return icon(42, [](QPainter &p) {
        stroke(p, roundedRect(QRectF(3.5, 5.2, 17, 15.6), 2.0), kBlue);
        strokeLine(p, {3.5, 9.6}, {20.5, 9.6}, kBlue);
        strokeLine(p, {8, 3.0}, {8, 6.8}, kBlue);
        strokeLine(p, {16, 3.0}, {16, 6.8}, kBlue);
        polyline(p, {{8.6, 14.6}, {11.0, 17.0}, {15.6, 12.4}}, kGreen);
    });
}

QImage stretch()
{
    return icon(32, [](QPainter &p) {
        strokeLine(p, {13.5, 10.5}, {20, 4}, kBlue);
        polyline(p, {{14.5, 4}, {20, 4}, {20, 9.5}}, kBlue);
        strokeLine(p, {10.5, 13.5}, {4, 20}, kBlue);
        polyline(p, {{4, 14.5}, {4, 20}, {9.5, 20}}, kBlue);
    });
}

QImage bulb()
{
    return icon(32, [](QPainter &p) {
        const QRectF globe(5.3, 2.4, 13.4, 13.4);
        QPainterPath body;
        body.arcMoveTo(globe, 218);
        body.arcTo(globe, 218, -256);
        body.lineTo(14.6, 16.8);
        body.lineTo(9.4, 16.8);
        body.closeSubpath();
        fill(p, body, kAmber);
        stroke(p, arc({12, 9.1}, 4.2, 110, 60), Qt::white, 1.3);
        fill(p, roundedRect(QRectF(9.2, 17.8, 5.6, 1.9), 0.9), kGreyLight);
        fill(p, roundedRect(QRectF(10.0, 20.5, 4.0, 1.9), 0.9), kGreyLight);
    });
}

QImage download()
{
    return icon(32, [](QPainter &p) {
        stroke(p, circle({12, 12}, 9.4), kBlue);
        strokeLine(p, {12, 6.8}, {12, 16.2}, kBlue);
        polyline(p, {{8.2, 12.6}, {12, 16.4}, {15.8, 12.6}}, kBlue);
    });
}

QImage globe()
{
    return icon(32, [](QPainter &p) {
        stroke(p, circle({12, 12}, 9.4), kBlue);
        QPainterPath meridian;
        meridian.addEllipse(QPointF(12, 12), 4.0, 9.4);
        stroke(p, meridian, kBlue, 1.5);
        strokeLine(p, {2.8, 12}, {21.2, 12}, kBlue, 1.5);
        strokeLine(p, {4.4, 7.4}, {19.6, 7.4}, kBlue, 1.3);
        strokeLine(p, {4.4, 16.6}, {19.6, 16.6}, kBlue, 1.3);
    });
}

QImage altAccounts()
{
    return icon(32, [](QPainter &p) {
        person(p, {15.6, 6.6}, 0.9, kBlue);
        // Cut the rear figure away around the front one so the two read apart.
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        const QPainterPath front = personShape({9.0, 8.6}, 1.0);
        p.fillPath(front, Qt::black);
        p.strokePath(front, pen(Qt::black, 4.6));
        p.restore();
        person(p, {9.0, 8.6}, 1.0, kBlue);
    });
}

// Window controls are shown 1:1 in labels and drawn in pixels.
QImage windowControl(const Draw &draw)
{
    return icon(16, draw, 16);
}

QImage minimise()
{
    return windowControl([](QPainter &p) {
        p.fillRect(QRectF(3, 8, 10, 1.5), kGrey);
    });
}

QImage maximise()
{
    return windowControl([](QPainter &p) {
        p.setPen(QPen(kGrey, 1.5));
        p.drawRect(QRectF(3.25, 3.25, 9.5, 9.5));
    });
}

QImage restore()
{
    return windowControl([](QPainter &p) {
        p.setPen(QPen(kGrey, 1.5));
        p.drawRect(QRectF(2.75, 5.75, 7.5, 7.5));
        QPainterPath back;
        back.moveTo(5.75, 5.75);
        back.lineTo(5.75, 2.75);
        back.lineTo(13.25, 2.75);
        back.lineTo(13.25, 10.25);
        back.lineTo(10.25, 10.25);
        p.setBrush(Qt::NoBrush);
        p.drawPath(back);
    });
}

QImage closeCross()
{
    return windowControl([](QPainter &p) {
        strokeLine(p, {3.8, 3.8}, {12.2, 12.2}, kGrey, 1.6);
        strokeLine(p, {12.2, 3.8}, {3.8, 12.2}, kGrey, 1.6);
    });
}

// ---------------------------------------------------------------- loading

QImage loadingFrame(int frame, int frames)
{
    // The loading dialog's body is white, and GIF has no partial
    // transparency, so the frames are opaque white rather than transparent
    // with a ragged edge.
    QImage image(120, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(60, 60);
    for (int i = 0; i < frames; ++i) {
        const int age = (frame - i + frames) % frames;
        const qreal fade = 1.0 - 0.85 * age / frames;
        QColor color = kBlue;
        color.setAlphaF(fade);
        const qreal angle = qDegreesToRadians(360.0 * i / frames);
        const QPointF centre(38 * qSin(angle), -38 * qCos(angle));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(centre, 8.0 - 0.3 * age, 8.0 - 0.3 * age);
    }
    return image;
}

// ---------------------------------------------------------------- output

void savePng(const QString &path, const QImage &image)
{
    // The names carry no extension, so the format must be given.
    QImageWriter writer(path, "png");
    if (!writer.write(image.convertToFormat(QImage::Format_ARGB32)))
        fail(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
}

QByteArray singleIco(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image.convertToFormat(QImage::Format_ARGB32)))
        fail(QStringLiteral("cannot encode icon: %1").arg(writer.errorString()));
    return buffer.data();
}

// Qt's icon writer leaves the padding at the end of the transparency mask
// uninitialised, so the file changed on every run. The mask is rewritten
// here from the picture's alpha: one bit per pixel, set where transparent,
// rows bottom-up and padded to 4 bytes, after the 32-bit colour rows.
QByteArray withMask(QByteArray bitmap, const QImage &image)
{
    const int width = image.width();
    const int height = image.height();
    const int colourBytes = width * height * 4;
    const int rowBytes = (width + 31) / 32 * 4;
    const int headerSize = qFromLittleEndian<qint32>(bitmap.constData());
    const int bitCount = qFromLittleEndian<quint16>(bitmap.constData() + 14);
    if (headerSize != 40 || bitCount != 32 || bitmap.size() != 40 + colourBytes + rowBytes * height)
        fail(QStringLiteral("unexpected bitmap layout from the ico writer"));

    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    char *mask = bitmap.data() + 40 + colourBytes;
    std::fill(mask, mask + rowBytes * height, 0);
    for (int y = 0; y < height; ++y) {
        char *row = mask + (height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            if (qAlpha(argb.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
    }
    return bitmap;
}

// Qt's icon writer stores one picture per file; a Windows icon may hold
// several, so the single-picture files are merged: a 6-byte header, one
// 16-byte directory entry per picture, then the pictures' data.
void saveIco(const QString &path, const QList<QImage> &images)
{
    const int count = images.size();
    QByteArray directory;
    QByteArray data;
    for (const QImage &image : images) {
        const QByteArray single = singleIco(image);
        QByteArray entry = single.mid(6, 16);
        const quint32 size = qFromLittleEndian<quint32>(entry.constData() + 8);
        const quint32 offset = qFromLittleEndian<quint32>(entry.constData() + 12);
        if (single.size() < int(offset + size))
            fail(QStringLiteral("unexpected icon layout from the ico writer"));
        qToLittleEndian<quint32>(quint32(6 + 16 * count + data.size()), entry.data() + 12);
        directory += entry;
        data += withMask(single.mid(int(offset), int(size)), image);
    }
    QByteArray header(6, '\0');
    qToLittleEndian<quint16>(0, header.data());
    qToLittleEndian<quint16>(1, header.data() + 2);
    qToLittleEndian<quint16>(quint16(count), header.data() + 4);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write %1").arg(path));
    file.write(header + directory + data);
    if (!file.commit())
        fail(QStringLiteral("cannot write %1").arg(path));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 4)
        fail(QStringLiteral("usage: makeimages OUTDIR FRAMEDIR ICONDIR"));
    if (!QImageWriter::supportedImageFormats().contains("ico"))
        fail(QStringLiteral("Qt has no ico image plugin (qt5-image-formats-plugins?)"));
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir frames(QString::fromLocal8Bit(argv[2]));
    const QDir themeIcons(QString::fromLocal8Bit(argv[3]));

    const QList<QPair<QString, QImage>> pngs = {
        {"about", about()},
        {"account", account()},
        {"arrow_down", arrowDown()},
        {"boss_1", bossKey()},
        {"cancelup", pinCancel()},
        {"clear", clearSmall()},
        {"clear_1", clearLarge()},
        {"clear_finsh", clearFinished()},
        {"clock", clockList()},
        {"clock-2", clockToolbar()},
        {"clock_notify", clockNotify()},
        {"coin", coin()},
        {"delete", trash()},
        {"file", folder()},
        {"gamepad", gamepad()},
        {"gift", gift()},
        {"horn", horn()},
        {"kefu", headset()},
        {"logonew", logo()},
        {"merge", merge()},
        {"message", envelope()},
        {"mute", mute()},
        {"page", detach()},
        {"pay", wallet()},
        {"qq", chatBlue()},
        {"re", reload(20, kGrey)},
        {"refresh", reload(42, kBlue)},
        {"reg", registerUser()},
        {"safe", shield()},
        {"search_1", magnifier()},
        {"select", menuLines(32)},
        {"select_16", menuLines(16)},
        {"seting", gear()},
        {"sign_in", calendarCheck()},
        {"strctch", stretch()},
        {"tip", bulb()},
        {"up", pinUp()},
        {"update", download()},
        {"web", globe()},
        {"wx", chatGreen()},
        {"xiaohao", altAccounts()},
        {"zoom_close", closeCross()},
        {"zoom_in", maximise()},
        {"zoom_in_1", restore()},
        {"zoom_out", minimise()},
    };
    for (const auto &png : pngs)
        savePng(out.filePath(png.first), png.second);

    // The first picture of an icon file is the one QImage and QPixmap load,
    // so each file starts with the size its name promises.
    saveIco(out.filePath("icon_16x16"), {appIcon(16)});
    saveIco(out.filePath("icon_32x32"), {appIcon(32), appIcon(16), appIcon(48)});
    // Drawn at each size rather than scaled from one: the 16-pixel mark
    // has its own heavier details.
    for (int size : {16, 32, 48, 64, 128, 256})
        savePng(themeIcons.filePath(QStringLiteral("%1x%1.png").arg(size)), appIcon(size));

    const int frameCount = 12;
    for (int i = 0; i < frameCount; ++i)
        savePng(frames.filePath(QStringLiteral("frame-%1.png").arg(i, 2, 10, QLatin1Char('0'))),
                loadingFrame(i, frameCount));
    return 0;
}
