#include "detachedwindow.h"
#include "core/endpoints.h"
#include "core/logging.h"
#include "core/utilities.h"
#include "web/gamepage.h"
#include "widgets/clickablelabel.h"
#include "widgets/framelessmover.h"
#include "widgets/question.h"
#include "widgets/roundedbody.h"
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kTitleBarHeight = 32;
constexpr int kBorderWidth = 5;
const QString kZoomIn = QStringLiteral("://img/zoom_in");
const QString kZoomedIn = QStringLiteral("://img/zoom_in_1");
} // namespace

DetachedWindow::DetachedWindow(GamePage *page, const QUrl &address, QWidget *parent)
    : QWidget(parent)
    , m_page(page)
    , m_title(page->title())
{
    setAttribute(Qt::WA_DeleteOnClose); // and the game with it
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(m_title);
    setWindowIcon(QApplication::windowIcon());
    setMinimumSize(400, 300);
    resize(800, 800);

    // Letters of the address may come percent-encoded; they read as letters.
    const QMap<QString, QString> query = parseUrlQuery(address.toString(QUrl::PrettyDecoded));
    qCDebug(lcWeb).noquote() << "m_para1:" << query.value(QStringLiteral("game")) << "m_para1:"
                             << query.value(QStringLiteral("server"));
    m_payUrl = Endpoints::url(Endpoints::Address::PayGame,
                              {query.value(QStringLiteral("game")), query.value(QStringLiteral("server"))});

    createTitleBar();
    m_page->setDetached(true);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_titleBar);
    layout->addWidget(m_page);
    m_page->show(); // a new parent hides it

    auto *mover = new FramelessMover(this, WindowZones::Frame{kBorderWidth, 50, kControlsWidth});
    connect(mover, &FramelessMover::titleDoubleClicked, this, [this] {
        qCDebug(lcWeb) << "双击";
        toggleMaximized();
    });
}

DetachedWindow::~DetachedWindow() = default;

void DetachedWindow::createTitleBar()
{
    m_titleBar = new QWidget(this);
    m_titleBar->setFixedHeight(kTitleBarHeight);
    m_titleBar->setStyleSheet(QStringLiteral("background:#FFDAB9"));
    m_titleBar->setAttribute(Qt::WA_StyledBackground);
    m_titleLabel = new QLabel(m_titleBar);
    m_titleLabel->setTextFormat(Qt::PlainText);
    m_titleLabel->setAccessibleName(m_title);
    // A long title gives way to the controls.
    m_titleLabel->setMinimumWidth(0);
    m_titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *bar = new QHBoxLayout(m_titleBar);
    bar->addWidget(m_titleLabel, 1);

    m_pinLabel = addControl(QStringLiteral("://img/up"), tr("未置顶"));
    connect(m_pinLabel, &ClickableLabel::clicked, this, &DetachedWindow::togglePinned);
    connect(addControl(QStringLiteral("://img/coin"), tr("充值")), &ClickableLabel::clicked, this,
            [this] { QDesktopServices::openUrl(m_payUrl); });
    connect(addControl(QStringLiteral("://img/re"), tr("刷新")), &ClickableLabel::clicked, this, [this] {
        if (m_page)
            m_page->reload();
    });
    connect(addControl(QStringLiteral("://img/merge"), tr("窗口合并")), &ClickableLabel::clicked, this,
            &DetachedWindow::merge);
    bar->addSpacing(10);
    connect(addControl(QStringLiteral("://img/zoom_out"), tr("最小化")), &ClickableLabel::clicked, this,
            &QWidget::showMinimized);
    m_maxLabel = addControl(kZoomIn, tr("最大化"));
    connect(m_maxLabel, &ClickableLabel::clicked, this, &DetachedWindow::toggleMaximized);
    connect(addControl(QStringLiteral("://img/zoom_close"), tr("关闭")), &ClickableLabel::clicked, this,
            &QWidget::close);
}

GamePage *DetachedWindow::page() const
{
    return m_page;
}

ClickableLabel *DetachedWindow::addControl(const QString &image, const QString &name)
{
    auto *control = new ClickableLabel(image, name, m_titleBar);
    auto *bar = static_cast<QHBoxLayout *>(m_titleBar->layout());
    bar->addWidget(control);
    bar->addSpacing(5);
    return control;
}

void DetachedWindow::setStandalone()
{
    m_standalone = true;
    if (m_page)
        m_page->setStandalone();
}

void DetachedWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_titleLabel->setText(fontMetrics().elidedText(m_title, Qt::ElideRight, width() - kControlsWidth - 20));
}

void DetachedWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The icon follows the real state, whoever changed it.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        m_maxLabel->setPixmap(QPixmap(isMaximized() ? kZoomedIn : kZoomIn));
}

void DetachedWindow::togglePinned()
{
    // Changing the flags hides the window; it comes back where it was.
    const QRect place = geometry();
    m_pinned = !m_pinned;
    setWindowFlag(Qt::WindowStaysOnTopHint, m_pinned);
    m_pinLabel->setPixmap(QPixmap(m_pinned ? QStringLiteral("://img/cancelup") : QStringLiteral("://img/up")));
    m_pinLabel->setName(m_pinned ? tr("已置顶") : tr("未置顶"));
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
    if (m_standalone || !m_page) {
        qCWarning(lcWeb) << "the main window is gone; the game stays in its own window";
        return;
    }
    GamePage *page = m_page;
    m_page = nullptr; // it lives on in the main window
    page->setDetached(false);
    emit mergeRequested(page);
    m_askBeforeClosing = false;
    close();
}

void DetachedWindow::closeEvent(QCloseEvent *event)
{
    if (m_askBeforeClosing && !askToConfirm(this, QStringLiteral("Quit"), tr("确定退出当前窗口吗?"))) {
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
