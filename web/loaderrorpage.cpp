#include "loaderrorpage.h"
#include "web/loadretry.h"
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {
const QString kStyle = QStringLiteral(
    "LoadErrorPage{background:white}"
    "QLabel#title{font-size:16px;font-weight:bold;color:#333333}"
    "QLabel#countdown{font-size:13px;color:gray}"
    "QPushButton{border-radius:3px;font-size:13px;min-width:80px;min-height:28px}"
    "QPushButton#retry{background:#409eff;color:white;border:none}"
    "QPushButton#close{background:white;color:#333333;border:1px solid lightgray}");
}

LoadErrorPage::LoadErrorPage(LoadRetry *retry, QWidget *host)
    : QWidget(host)
    , m_retry(retry)
    , m_tick(new QTimer(this))
{
    setObjectName(QStringLiteral("loadErrorPage"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(kStyle);

    auto *icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/img/icon_32x32")));
    icon->setAlignment(Qt::AlignCenter);
    auto *title = new QLabel(tr("无法连接到服务器"), this);
    title->setObjectName(QStringLiteral("title"));
    title->setAlignment(Qt::AlignCenter);
    m_countdown = new QLabel(this);
    m_countdown->setObjectName(QStringLiteral("countdown"));
    m_countdown->setAlignment(Qt::AlignCenter);
    auto *retryButton = new QPushButton(tr("重试"), this);
    retryButton->setObjectName(QStringLiteral("retry"));
    retryButton->setCursor(Qt::PointingHandCursor);
    auto *closeButton = new QPushButton(tr("关闭"), this);
    closeButton->setObjectName(QStringLiteral("close"));
    closeButton->setCursor(Qt::PointingHandCursor);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(retryButton);
    buttons->addSpacing(12);
    buttons->addWidget(closeButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(icon);
    layout->addSpacing(12);
    layout->addWidget(title);
    layout->addSpacing(6);
    layout->addWidget(m_countdown);
    layout->addSpacing(24);
    layout->addLayout(buttons);
    layout->addStretch(3);

    connect(retryButton, &QPushButton::clicked, this, [this] {
        m_retry->retryNow();
        updateCountdown();
    });
    connect(closeButton, &QPushButton::clicked, this, &LoadErrorPage::closeRequested);
    connect(m_retry, &LoadRetry::retryScheduled, this, &LoadErrorPage::showOverHost);
    connect(m_retry, &LoadRetry::retryDropped, this, [this] {
        m_tick->stop();
        hide(); // the page is still there
    });
    connect(m_retry->view(), &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (ok) {
            m_tick->stop();
            hide();
        }
    });
    m_tick->setInterval(250);
    connect(m_tick, &QTimer::timeout, this, &LoadErrorPage::updateCountdown);

    host->installEventFilter(this);
    hide();
}

bool LoadErrorPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void LoadErrorPage::showOverHost()
{
    setGeometry(parentWidget()->rect());
    updateCountdown();
    m_tick->start();
    raise();
    show();
}

void LoadErrorPage::updateCountdown()
{
    const int remaining = m_retry->remainingMs();
    if (remaining < 0) {
        m_countdown->setText(tr("正在连接…"));
        return;
    }
    // Rounded up, so that "0 秒" never shows while still waiting.
    m_countdown->setText(tr("%1 秒后自动重试").arg((remaining + 999) / 1000));
}
