#include "clickablelabel.h"
#include <QMouseEvent>

ClickableLabel::ClickableLabel(QWidget *parent)
    : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

ClickableLabel::ClickableLabel(const QString &image, const QString &name, QWidget *parent)
    : ClickableLabel(parent)
{
    setPixmap(QPixmap(image));
    setName(name);
}

void ClickableLabel::setName(const QString &name)
{
    setToolTip(name);
    setAccessibleName(name);
}

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    // On the press, as the window's own controls always answered.
    if (event->button() == Qt::LeftButton) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::mousePressEvent(event);
}
