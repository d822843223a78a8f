#include "bottombar.h"
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

BottomBar::BottomBar(QAction *messages, QWidget *parent)
    : QWidget(parent)
{
    auto *hotline = new QLabel(tr("客服热线：400-000-0000"), this);
    hotline->setStyleSheet(QStringLiteral("color:grey"));

    auto *button = new QToolButton(this);
    button->setDefaultAction(messages);
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setStyleSheet(QStringLiteral("color:gray;border-radius:3px;border:1px solid #7e69c4;"));

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(hotline);
    layout->addStretch();
    layout->addWidget(button);
}
