#include "primarybutton.h"

PrimaryButton::PrimaryButton(QWidget *parent)
    : QPushButton(parent)
{
    setStyleSheet(QStringLiteral("background:#409eff;color:white;border-radius:3px;font:13px"));
    setCursor(Qt::PointingHandCursor);
}
