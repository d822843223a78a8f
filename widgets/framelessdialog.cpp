#include "framelessdialog.h"
#include "core/logging.h"
#include "widgets/framelessmover.h"
#include <QAction>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
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
    , m_closeAction(new QAction(tr("关闭"), this))
{
    // A shortcut rather than a key press: a web page inside the dialog
    // keeps Esc to itself.
    m_closeAction->setShortcut(QKeySequence::Cancel);
    m_closeAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(m_closeAction);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_MouseTracking);
    setWindowIcon(QIcon(QStringLiteral(":/img/icon_32x32")));
}

void FramelessDialog::setupFrame(const QString &title, QWidget *content)
{
    if (m_titleBar) {
        qCWarning(lcWidgets).noquote() << "the frame of" << windowTitle() << "is already built";
        return;
    }
    setWindowTitle(title);
    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titleBar->setFixedHeight(kTitleBarHeight);
    m_titleBar->setStyleSheet(QStringLiteral(
        "border-top-left-radius: 5px;border-top-right-radius: 5px;background:#f0f0f0"));
    auto *titleLayout = new QHBoxLayout(m_titleBar);
    titleLayout->setContentsMargins(8, 0, 4, 0); // the title and the button off the rounded corners

    auto *closeButton = new QPushButton(QIcon(QStringLiteral("://img/zoom_close")), QString(), m_titleBar);
    closeButton->setStyleSheet(QStringLiteral("QPushButton::menu-indicator{image:none;}QPushButton{border-style: none;}"));
    closeButton->setCursor(Qt::PointingHandCursor);
    closeButton->setAccessibleName(tr("关闭"));
    closeButton->setToolTip(tr("关闭"));
    connect(closeButton, &QPushButton::clicked, m_closeAction, &QAction::trigger);

    auto *titleLabel = new QLabel(title, m_titleBar);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLayout->addWidget(titleLabel);
    titleLayout->addStretch();
    titleLayout->addWidget(closeButton);

    auto *outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->addWidget(m_titleBar);
    if (content) {
        content->setContentsMargins(0, 0, 0, 0);
        outer->addWidget(content);
    }
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);

    // The title bar drags the dialog; the close button stays a button.
    const int buttonWidth = closeButton->sizeHint().width() + kMargin + 4;
    new FramelessMover(this, WindowZones::Frame{0, kMargin + kTitleBarHeight, buttonWidth});
}

void FramelessDialog::showCentred(const QWidget *over)
{
    if (!over)
        over = parentWidget();
    if (over) {
        QRect place(QPoint(), size());
        place.moveCenter(isWindow() ? over->frameGeometry().center() : over->rect().center());
        move(place.topLeft());
    }
    show();
    raise();
}

void FramelessDialog::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Qt 5 lets Esc on an open combo box list go on to the shortcuts once
    // the list is closed: the dialog would close with it.
    for (QComboBox *combo : findChildren<QComboBox *>())
        combo->view()->installEventFilter(this);
    // Esc, Enter and typing are meant for the dialog just opened, not for the
    // page behind it: its first control takes the keys, the close button when
    // it has none. (Not the focus chain's first: content built before it had
    // a parent joins that chain at the end.)
    QWidget *focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus))
        return;
    m_focusBefore = focus;
    QWidget *first = nullptr;
    for (QWidget *child : findChildren<QWidget *>()) {
        if (!(child->focusPolicy() & Qt::TabFocus) || !child->isEnabled() || !child->isVisibleTo(this))
            continue;
        const bool control = !m_titleBar || !m_titleBar->isAncestorOf(child);
        if (!first || control)
            first = child;
        if (control)
            break;
    }
    (first ? first : this)->setFocus();
}

bool FramelessDialog::eventFilter(QObject *, QEvent *event)
{
    // A list has the keys only while it is open: the Esc is its own, it
    // closes, and the dialog stays.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel))
        event->accept();
    return false;
}

void FramelessDialog::hideEvent(QHideEvent *event)
{
    // Inside a window, the keys go back to what had them (a game, say), or
    // to nothing, rather than to whatever follows the dialog in the focus chain.
    if (!isWindow() && isAncestorOf(QApplication::focusWidget())) {
        if (m_focusBefore && m_focusBefore->isVisible())
            m_focusBefore->setFocus();
        else
            QApplication::focusWidget()->clearFocus();
    }
    QWidget::hideEvent(event);
}

void FramelessDialog::mousePressEvent(QMouseEvent *event)
{
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
