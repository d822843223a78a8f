#pragma once
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

// What a person sees and does: the screen, a picture on it, a click. The
// programs are driven through the X display only; their widgets are found
// the way a person finds them, by how they look.
namespace ScreenProbe {

// A small picture as the toolkit draws it, matched where it is opaque
// enough: a pixel drawn with alpha a over any background differs from the
// picture by at most 255 - a, so the match holds whatever lies beneath.
class Picture
{
public:
    explicit Picture(const QImage &argb);
    QSize size() const { return m_size; }
    bool matchesAt(const QImage &screen, int x, int y) const;

private:
    struct Dot
    {
        int x, y;
        QRgb color;
        int tolerance;
    };
    QSize m_size;
    QList<Dot> m_dots;
    QList<QPoint> m_holes; // clear pixels, where the background shows
};

QImage grab(const QRect &area);
// Top-left corners of the places in area that show one of the pictures,
// left to right; overlapping finds count once.
QList<QPoint> find(const QRect &area, const QList<Picture> &pictures);

// The close button of a tab as this toolkit draws it, on the current tab
// and on the others.
QList<Picture> tabCloseButton();
// A 16 x 16 icon from an image file, as a tool button draws it.
QList<Picture> icon(const QString &file);

// A left click at a point of the screen (xdotool), then the pointer is moved
// off the window so nothing stays highlighted under it.
bool click(const QPoint &at);
// The pointer over a point (keys go to the window under it), and a key
// pressed and released there (xdotool's key names: "End").
bool hover(const QPoint &at);
bool key(const QString &name);

// A press of the left button at a point, without the release: the press is
// what selects a tab, and it has reached the display when this returns.
bool press(const QPoint &at);
// The release of that press, and the pointer off the window.
bool release();

// Share of the pixels of area that differ from before by more than a trace.
double changedShare(const QImage &before, const QImage &after);
// Share of the pixels that show a colour, within a trace.
double colourShare(const QImage &image, QRgb colour);
// The smallest rectangle holding every pixel of a colour; empty when none shows it.
QRect colourBounds(const QImage &image, QRgb colour);
} // namespace ScreenProbe
