#include "roundedbody.h"
#include <QPainter>
#include <QWidget>

void paintRoundedBody(QWidget *window, const QRectF &body, qreal radius, const QColor &fill, const QPen &outline)
{
    QPainter painter(window);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    painter.setPen(outline);
    painter.drawRoundedRect(body, radius, radius, Qt::AbsoluteSize);
}
