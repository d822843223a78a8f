#include "basewidget.h"
#include <QIcon>

BaseWidget::BaseWidget(QWidget *parent)
    : QWidget(parent)
{
    setWindowIcon(QIcon(QStringLiteral(":/img/icon_32x32")));
}
