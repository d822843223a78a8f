#pragma once
#include <QColor>
#include <QPen>
#include <QRectF>

class QWidget;

// The body a frameless, translucent window paints for itself: a rounded
// rectangle, antialiased, radius in pixels.
void paintRoundedBody(QWidget *window, const QRectF &body, qreal radius, const QColor &fill,
                      const QPen &outline = QPen(Qt::NoPen));
