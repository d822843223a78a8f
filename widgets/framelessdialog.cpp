#include "framelessdialog.h"
#include "core/logging.h"
#include "widgets/framelessmover.h"
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kTitleBarHeight = 33;
constexpr int kMargin = 2;
}

FramelessDialog::FramelessDialog(QWidget *parent)
    : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_MouseTracking);
    setWindowIcon(QIcon(QStringLiteral(":/img/icon_32x32")));
}

FramelessDialog::~FramelessDialog() = default;

void FramelessDialog::setTitle(const QString &title)
{
    m_title = title;
    setWindowTitle(title);
}

void FramelessDialog::setContentWidget(QWidget *content)
{
    qCDebug(lcWidgets) << "QDebug" << "赋值";
    m_contentWidget = content;
}

void FramelessDialog::setupFrame(QWidget *content)
{
    if (m_titleBar) {
        qCWarning(lcWidgets).noquote() << "the frame of" << m_title << "is already built";
        return;
    }
    if (content)
        m_contentWidget = content;

    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titleBar->setFixedHeight(kTitleBarHeight);
    m_titleBar->setStyleSheet(QStringLiteral(
        "border-top-left-radius: 5px;border-top-right-radius: 5px;background:#f0f0f0"));
    auto *titleLayout = new QHBoxLayout(m_titleBar);
    titleLayout->setContentsMargins(8, 0, 4, 0); // the title and the button off the rounded corners

    m_closeButton = new QPushButton(QIcon(QStringLiteral("://img/zoom_close")), QString(), m_titleBar);
    m_closeButton->setStyleSheet(QStringLiteral("QPushButton::menu-indicator{image:none;}QPushButton{border-style: none;}"));
    m_closeButton->setCursor(Qt::PointingHandCursor);
    m_closeButton->setAccessibleName(tr("关闭"));
    m_closeButton->setToolTip(tr("关闭"));
    connect(m_closeButton, &QPushButton::clicked, this, &FramelessDialog::btn_close);

    auto *titleLabel = new QLabel(m_title, m_titleBar);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLayout->addWidget(titleLabel);
    titleLayout->addStretch();
    titleLayout->addWidget(m_closeButton);

    auto *outer = new QVBoxLayout;
    outer->setSpacing(0);
    outer->addWidget(m_titleBar);
    if (m_contentWidget) {
        m_contentWidget->setContentsMargins(0, 0, 0, 0);
        outer->addWidget(m_contentWidget);
    }
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    setLayout(outer);

    // The title bar drags the dialog; the close button stays a button.
    const int buttonWidth = m_closeButton->sizeHint().width() + kMargin + 4;
    m_mover = new FramelessMover(this, WindowZones::Frame{0, kMargin + kTitleBarHeight, buttonWidth});
}

void FramelessDialog::btn_close()
{
    close();
}

bool FramelessDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_closeButton && event->type() == QEvent::MouseButtonPress)
        close();
    return QWidget::eventFilter(watched, event);
}

void FramelessDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressPos = event->pos();
    // Taken here: a dialog drawn inside a window must not move that window.
    event->accept();
}

void FramelessDialog::mouseMoveEvent(QMouseEvent *event)
{
    event->accept(); // moving is the mover's, from the title bar only
}

void FramelessDialog::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(1, 1, width() - 2, height() - 2), Qt::white);
    // On the pixel centres of the body's edge, so that the outermost ring
    // stays transparent and the line stays one pixel wide.
    painter.setPen(QColor(50, 50, 50, 120));
    painter.drawRoundedRect(QRectF(1.5, 1.5, width() - 3, height() - 3), 4.0, 4.0, Qt::AbsoluteSize);
    QWidget::paintEvent(event);
}

QHBoxLayout *centredRow(QWidget *widget)
{
    auto *layout = new QHBoxLayout;
    layout->addStretch();
    layout->addWidget(widget);
    layout->addStretch();
    return layout;
}
