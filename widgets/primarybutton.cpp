#include "primarybutton.h"

PrimaryButton::PrimaryButton(QWidget *parent)
    : QPushButton(parent)
{
    // Paler while disabled: a dialog's "确定" waits for what it needs, visibly.
    setStyleSheet(QStringLiteral("QPushButton{background:#409eff;color:white;border-radius:3px;font:13px}"
                                 "QPushButton:disabled{background:#a0cfff}"));
    setCursor(Qt::PointingHandCursor);
}
