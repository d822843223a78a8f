#include "bottombar.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

BottomBar::BottomBar(QWidget *parent)
    : QWidget(parent)
{
    auto *hotline = new QLabel(tr("客服热线：400-000-0000"), this);
    hotline->setStyleSheet(QStringLiteral("color:grey"));

    auto *messages = new QToolButton(this);
    messages->setText(tr("消息"));
    messages->setIcon(QIcon(QStringLiteral(":/img/message")));
    messages->setIconSize(QSize(16, 16));
    messages->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    messages->setStyleSheet(QStringLiteral("color:gray;border-radius:3px;border:1px solid #7e69c4;"));
    messages->setToolTip(tr("站内消息"));
    connect(messages, &QToolButton::clicked, this, &BottomBar::messagesClicked);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(hotline);
    layout->addStretch();
    layout->addWidget(messages);
}
