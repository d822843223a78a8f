#include "detachedwindow.h"
#include "app/clientwindows.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include "core/utilities.h"
#include "web/gamepage.h"
#include "widgets/framelessmover.h"
#include "widgets/roundedbody.h"
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {
constexpr int kTitleBarHeight = 32;
constexpr int kBorderWidth = 5;
const QString kZoomIn = QStringLiteral("://img/zoom_in");
const QString kZoomedIn = QStringLiteral("://img/zoom_in_1");
} // namespace

DetachedWindow::DetachedWindow(GamePage *page, const QString &title, const QString &url, QWidget *mainWindow,
                           QWidget *parent)
    : QWidget(parent)
    , pageUrl(url)
    , pageTitle(title)
    , mainWindow(mainWindow)
    , m_page(page)
{
    markClientWindow(this);
    setAttribute(Qt::WA_DeleteOnClose); // and the game with it
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(title);
    setWindowIcon(QApplication::windowIcon());
    setMinimumSize(400, 300);
    resize(800, 800);

    // Letters of the address may come percent-encoded; they read as letters.
    const QMap<QString, QString> query = parseUrlQuery(QUrl(url).toString(QUrl::PrettyDecoded));
    qCDebug(lcWeb).noquote() << "m_para1:" << query.value(QStringLiteral("game")) << "m_para1:"
                             << query.value(QStringLiteral("server"));
    payUrl = Endpoints::url(Endpoints::Address::PayGame,
                            {query.value(QStringLiteral("game")), query.value(QStringLiteral("server"))})
                 .toString(QUrl::FullyEncoded);

    auto *titleBar = new QWidget(this);
    titleBar->setFixedHeight(kTitleBarHeight);
    titleBar->setStyleSheet(QStringLiteral("background:#FFDAB9"));
    titleBar->setAttribute(Qt::WA_StyledBackground);
    titleLabel = new QLabel(titleBar);
    titleLabel->setTextFormat(Qt::PlainText);
    titleLabel->setAccessibleName(title);
    // A long title gives way to the controls.
    titleLabel->setMinimumWidth(0);
    titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pinLabel = titleButton(QStringLiteral("://img/up"), tr("未置顶"));
    payLabel = titleButton(QStringLiteral("://img/coin"), tr("充值"));
    reloadLabel = titleButton(QStringLiteral("://img/re"), tr("刷新"));
    mergeLabel = titleButton(QStringLiteral("://img/merge"), tr("窗口合并"));
    minLabel = titleButton(QStringLiteral("://img/zoom_out"), tr("最小化"));
    maxLabel = titleButton(kZoomIn, tr("最大化"));
    closeLabel = titleButton(QStringLiteral("://img/zoom_close"), tr("关闭"));
    auto *bar = new QHBoxLayout(titleBar);
    bar->addWidget(titleLabel, 1);
    const QList<QPair<QLabel *, int>> controls{{pinLabel, 5}, {payLabel, 5}, {reloadLabel, 5}, {mergeLabel, 15},
                                              {minLabel, 5}, {maxLabel, 5}, {closeLabel, 0}};
    for (const auto &control : controls) {
        bar->addWidget(control.first);
        bar->addSpacing(control.second);
    }

    m_page->setDetached(true);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(titleBar);
    layout->addWidget(m_page);
    m_page->show(); // a new parent hides it

    m_mover = new FramelessMover(this, WindowZones::Frame{kBorderWidth, 50, kControlsWidth});
    connect(m_mover, &FramelessMover::titleDoubleClicked, this, [this] {
        qCDebug(lcWeb) << "双击";
        toggleMaximized();
    });
}

void DetachedWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    titleLabel->setText(fontMetrics().elidedText(pageTitle, Qt::ElideRight, width() - kControlsWidth - 20));
}

void DetachedWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The icon follows the real state, whoever changed it.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        maxLabel->setPixmap(QPixmap(isMaximized() ? kZoomedIn : kZoomIn));
}

DetachedWindow::~DetachedWindow() = default;

GamePage *DetachedWindow::page() const
{
    return m_page;
}

QLabel *DetachedWindow::titleButton(const QString &image, const QString &name)
{
    auto *label = new QLabel(this);
    label->setPixmap(QPixmap(image));
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(name);
    label->setAccessibleName(name);
    label->installEventFilter(this);
    return label;
}

bool DetachedWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress || static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return QWidget::eventFilter(watched, event);
    if (watched == payLabel) {
        QDesktopServices::openUrl(QUrl(payUrl, QUrl::StrictMode));
    } else if (watched == pinLabel) {
        togglePinned();
    } else if (watched == reloadLabel) {
        if (m_page)
            m_page->btn_reload();
    } else if (watched == mergeLabel) {
        merge();
    } else if (watched == closeLabel) {
        close();
    } else if (watched == maxLabel) {
        toggleMaximized();
    } else if (watched == minLabel) {
        showMinimized();
    }
    return QWidget::eventFilter(watched, event);
}

void DetachedWindow::togglePinned()
{
    // Changing the flags hides the window; it comes back where it was.
    const QRect place = geometry();
    pinned = !pinned;
    setWindowFlag(Qt::WindowStaysOnTopHint, pinned);
    const QString name = pinned ? tr("已置顶") : tr("未置顶");
    pinLabel->setPixmap(QPixmap(pinned ? QStringLiteral("://img/cancelup") : QStringLiteral("://img/up")));
    pinLabel->setToolTip(name);
    pinLabel->setAccessibleName(name);
    setGeometry(place);
    show();
}

void DetachedWindow::toggleMaximized()
{
    const bool maximize = !isMaximized();
    qCDebug(lcWeb) << "isfull:" << maximize;
    if (maximize)
        showMaximized();
    else
        showNormal();
}

void DetachedWindow::merge()
{
    qCDebug(lcWeb) << "合并窗口:";
    if (!mainWindow) {
        qCWarning(lcWeb) << "the main window is gone; the game stays in its own window";
        return;
    }
    GamePage *page = m_page;
    m_page = nullptr; // it lives on in the main window
    page->setDetached(false);
    emit mergeRequested(page, pageTitle);
    m_askBeforeClosing = false;
    close();
}

void DetachedWindow::closeEvent(QCloseEvent *event)
{
    if (m_askBeforeClosing
        && QMessageBox::question(this, QStringLiteral("Quit"), tr("确定退出当前窗口吗?"),
                                 QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void DetachedWindow::paintEvent(QPaintEvent *event)
{
    paintRoundedBody(this, rect().adjusted(0, 0, -1, -1), 5.0, QColor(240, 240, 240));
    QWidget::paintEvent(event);
}
