#include "sidetabbar.h"
#include <QStyleOptionTab>
#include <QStylePainter>

SideTabBar::SideTabBar()
    : QTabBar(nullptr)
{
}

QSize SideTabBar::tabSizeHint(int index) const
{
    return QTabBar::tabSizeHint(index).transposed();
}

void SideTabBar::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionTab option;
    for (int index = 0; index < count(); ++index) {
        initStyleOption(&option, index);
        painter.drawControl(QStyle::CE_TabBarTabShape, option);

        // The style turns a west tab's label by -90 degrees; turning it back
        // about the tab's centre, in a rectangle of the swapped size, makes it
        // read horizontally.
        painter.save();
        QSize size = option.rect.size();
        size.transpose();
        QRect labelRect(QPoint(), size);
        labelRect.moveCenter(option.rect.center());
        option.rect = labelRect;
        const QPoint centre = tabRect(index).center();
        painter.translate(centre);
        painter.rotate(90);
        painter.translate(-QPointF(centre));
        painter.drawControl(QStyle::CE_TabBarTabLabel, option);
        painter.restore();
    }
}
