#include "mainwdiget.h"
#include "app/clientwindows.h"
#include "app/config.h"
#include "app/logging.h"
#include "app/memory.h"
#include "core/endpoints.h"
#include "core/listfiles.h"
#include "core/mytray.h"
#include "core/tabwidget.h"
#include "web/pageweb.h"
#include "web/webview.h"
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHoverEvent>
#include <QJsonDocument>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEnginePage>

namespace {
constexpr int kReturnMemoryDelayMs = 3000;

const QString kMenuButtonStyle = QStringLiteral(
    "QPushButton::menu-indicator{image:none;}QPushButton{border-style: none;}"
    "QPushButton:hover{background-color:lightgray; color: white;}"
    "QPushButton:pressed{background-color:lightgray; border-style: inset;}");
// White on the white top bar: the hotkey buttons are there only for their shortcuts.
const QString kHotkeyButtonStyle = QStringLiteral(
    "QPushButton { background: rgb(255, 255, 255); color: rgb(255, 255, 255); text-align: left; "
    "font-size: 12pt; border: none;}");
const QString kZoomIn = QStringLiteral("://img/zoom_in");
const QString kZoomedIn = QStringLiteral("://img/zoom_in_1");

QLabel *controlLabel(const QString &image, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(QPixmap(image));
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(name);
    label->setAccessibleName(name);
    return label;
}

// A key that does not parse gives an empty shortcut, which never fires.
QKeySequence hotkey(const QString &key)
{
    const QString text = Config().GetValue(QStringLiteral("currectKeys"), key).toString();
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    for (int i = 0; i < sequence.count(); ++i) {
        if ((sequence[i] & ~Qt::KeyboardModifierMask) == Qt::Key_unknown) {
            qCWarning(lcCore).noquote() << "hotkey" << key << "is not a key sequence:" << text;
            return QKeySequence();
        }
    }
    return sequence;
}

QPushButton *hotkeyButton(const QString &key, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setFixedSize(1, 1);
    button->setStyleSheet(kHotkeyButtonStyle);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    button->setShortcut(hotkey(key));
    return button;
}
} // namespace

MainWdiget::MainWdiget(const QString &userName)
    : BaseWidget(nullptr)
    , m_userName(userName)
{
    markClientWindow(this);
    // A closed main window takes its pages and their renderers with it.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Kavo游戏盒子"));

    QNetworkAccessManager *update = sendGetRequest(Endpoints::url(Endpoints::Address::Update).toString());
    connect(update, &QNetworkAccessManager::finished, this, &MainWdiget::requestFinished);

    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint);
    // Set explicitly so the resize guards act the same on every platform.
    setMinimumSize(800, 600);
    resize(1052, 860);
    setAttribute(Qt::WA_MouseTracking);
    installEventFilter(this);
    setAttribute(Qt::WA_Hover);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        QRect frame(QPoint(), size());
        frame.moveCenter(available.center());
        move(qMax(frame.left(), available.left()), qMax(frame.top(), available.top()));
    }

    m_tabWidget = new TabWidget(this);
    connect(m_tabWidget, &QTabWidget::currentChanged, this, &MainWdiget::onCurrentTabChanged);
    m_homePage = addFixedTab(Endpoints::url(Endpoints::Address::Home), tr("Kavo首页"), QStringLiteral("://img/gamepad"));
    m_searchPage = addFixedTab(Endpoints::url(Endpoints::Address::Search), tr("找游戏"), QStringLiteral("://img/search_1"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createTopBar());
    layout->addWidget(m_tabWidget);
    layout->addWidget(createBottomBar());
    layout->setContentsMargins(5, 5, 5, 0);
    layout->setSpacing(0);

    connect(m_tabWidget, &QTabWidget::tabCloseRequested, this, &MainWdiget::closeTab);

    m_memoryTimer = new QTimer(this);
    m_memoryTimer->setSingleShot(true);
    m_memoryTimer->setInterval(kReturnMemoryDelayMs);
    connect(m_memoryTimer, &QTimer::timeout, this, &returnFreedMemory);
}

MainWdiget::~MainWdiget() = default;

PageWeb *MainWdiget::addFixedTab(const QUrl &url, const QString &title, const QString &icon)
{
    auto *page = new PageWeb;
    page->setUrl(url.toString());
    QWidget *widget = page->createPageWidget(this, title, 1, nullptr);
    widget->setContentsMargins(0, 0, 0, 0);
    m_tabWidget->addFixedTab(widget, QIcon(icon), title);
    return page;
}

QWidget *MainWdiget::createTopBar()
{
    auto *topBar = new QWidget(this);
    topBar->setFixedHeight(42);
    topBar->setStyleSheet(QStringLiteral("background:white"));

    auto *logo = new QLabel(topBar);
    logo->setPixmap(QPixmap(QStringLiteral("://img/logonew")));
    logo->setFixedHeight(25);
    logo->setScaledContents(true);
    auto *accountIcon = new QLabel(topBar);
    accountIcon->setPixmap(QPixmap(QStringLiteral("://img/account")));
    auto *userName = new QLabel(m_userName, topBar);
    userName->setObjectName(QStringLiteral("userNameLabel"));

    m_accountButton = new QPushButton(QIcon(QStringLiteral("://img/arrow_down")), QString(), topBar);
    m_accountButton->setFlat(true);
    m_accountButton->setStyleSheet(kMenuButtonStyle);
    m_accountButton->setCursor(Qt::PointingHandCursor);
    m_accountButton->setAccessibleName(tr("账号菜单"));

    m_bossKeyButton = hotkeyButton(QStringLiteral("hideGameKey"), tr("老板键"), topBar);
    qCDebug(lcCore) << "hideGameKeyQs" << m_bossKeyButton->shortcut().toString();
    connect(m_bossKeyButton, &QPushButton::clicked, this, &MainWdiget::hideToTray);
    m_fullScreenKeyButton = hotkeyButton(QStringLiteral("zoomWindow"), tr("全屏"), topBar);
    connect(m_fullScreenKeyButton, &QPushButton::clicked, this, &MainWdiget::toggleFullScreen);

    m_menuButton = new QPushButton(QIcon(QStringLiteral("://img/select_16")), QString(), topBar);
    m_menuButton->setFixedSize(16, 16);
    m_menuButton->setStyleSheet(kMenuButtonStyle);
    m_menuButton->setCursor(Qt::PointingHandCursor);
    m_menuButton->setAccessibleName(tr("系统菜单"));

    m_minLabel = controlLabel(QStringLiteral("://img/zoom_out"), tr("最小化"), topBar);
    m_zoomLabel = controlLabel(m_maximized ? kZoomedIn : kZoomIn, tr("最大化"), topBar);
    m_closeLabel = controlLabel(QStringLiteral("://img/zoom_close"), tr("关闭"), topBar);
    for (QLabel *label : {m_minLabel, m_zoomLabel, m_closeLabel})
        label->installEventFilter(this);

    auto *left = new QHBoxLayout;
    left->addWidget(logo);
    left->addWidget(accountIcon);
    left->addWidget(userName);
    left->addWidget(m_accountButton);
    left->addWidget(m_bossKeyButton);
    left->addWidget(m_fullScreenKeyButton);
    left->addStretch();

    auto *right = new QHBoxLayout;
    right->addStretch();
    right->addWidget(m_menuButton);
    right->addSpacing(5);
    right->addWidget(m_minLabel);
    right->addSpacing(5);
    right->addWidget(m_zoomLabel);
    right->addSpacing(5);
    right->addWidget(m_closeLabel);

    auto *bar = new QHBoxLayout(topBar);
    bar->addLayout(left, 1);
    bar->addLayout(right, 2);
    return topBar;
}

QWidget *MainWdiget::createBottomBar()
{
    auto *bottomBar = new QWidget(this);
    auto *hotline = new QLabel(tr("客服热线：400-000-0000"), bottomBar);
    hotline->setStyleSheet(QStringLiteral("color:grey"));

    m_messageButton = new QToolButton(bottomBar);
    m_messageButton->setText(tr("消息"));
    m_messageButton->setIcon(QIcon(QStringLiteral(":/img/message")));
    m_messageButton->setIconSize(QSize(16, 16));
    m_messageButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_messageButton->setStyleSheet(QStringLiteral("color:gray;border-radius:3px;border:1px solid #7e69c4;"));
    m_messageButton->setToolTip(tr("站内消息"));
    m_messageButton->setEnabled(false); // the site-message dialog is not part of this version yet

    auto *layout = new QHBoxLayout(bottomBar);
    layout->addWidget(hotline);
    layout->addStretch();
    layout->addWidget(m_messageButton);
    return bottomBar;
}

QTabWidget *MainWdiget::tabWidget() const
{
    return m_tabWidget;
}

PageWeb *MainWdiget::homePage() const
{
    return m_homePage;
}

PageWeb *MainWdiget::searchPage() const
{
    return m_searchPage;
}

void MainWdiget::onCurrentTabChanged(int index)
{
    qCDebug(lcCore) << "当前" << index;
    // The search page was laid out while it was hidden; the first look at it
    // gets a fresh load.
    if (index == kSearchTab && !m_searchTabReloaded && m_searchPage) {
        m_searchPage->btn_reload();
        m_searchTabReloaded = true;
    }
}

void MainWdiget::createTab(QString title, QString url, WebView *webview)
{
    qCDebug(lcCore) << "QDebug" << "新增tab";
    auto *page = new PageWeb;
    page->setUrl(url);
    QWidget *widget = page->createPageWidget(this, title, 0, webview);
    if (m_bossKeyActive && page->webView())
        muteUntilBack(page->webView()->page()); // opened while hidden: silent like the rest
    const int index = m_tabWidget->addPageTab(widget, title);
    qCDebug(lcCore) << "QDebug-m-index:" << index;
    m_tabWidget->setCurrentIndex(index);
}

void MainWdiget::closeTab(int index)
{
    QWidget *widget = m_tabWidget->widget(index);
    if (!widget)
        return;
    if (index < kFixedTabs) {
        qCWarning(lcCore) << "tab" << index << "is a fixed tab and stays open";
        return;
    }
    m_tabWidget->removeTab(index);
    // Later, not now: the request may come from inside the page being closed.
    // The page's PageWeb, view, renderer and bridge all go with the widget.
    widget->deleteLater();
    m_memoryTimer->start(); // once for a row of closed tabs
}

void MainWdiget::detachTab(int index)
{
    qCDebug(lcCore) << "移除的索引：" << index;
    if (index < kFixedTabs)
        return;
    m_tabWidget->removeTab(index);
}

int MainWdiget::currentTabIndex() const
{
    return m_tabWidget->currentIndex();
}

void MainWdiget::switchToSearchTab()
{
    m_tabWidget->setCurrentIndex(kSearchTab);
}

void MainWdiget::setMaximizedFlag(bool maximized)
{
    m_maximized = maximized;
    updateZoomIcon();
}

void MainWdiget::updateZoomIcon()
{
    if (m_zoomLabel)
        m_zoomLabel->setPixmap(QPixmap(m_maximized ? kZoomedIn : kZoomIn));
}

void MainWdiget::toggleMaximized()
{
    setMaximizedFlag(!m_maximized);
    qCDebug(lcCore) << "isfull:" << m_maximized;
    if (m_maximized)
        showMaximized();
    else
        showNormal();
}

void MainWdiget::toggleFullScreen()
{
    if (!isFullScreen())
        showFullScreen();
    else
        showNormal();
}

void MainWdiget::hideToTray()
{
    muteForBossKey();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Hidden with no icon to click, the box could never come back.
        qCWarning(lcCore) << "no system tray: the boss key minimises the box instead of hiding it";
        showMinimized();
        return;
    }
    hide();
    new MyTray(this); // deletes itself once the window is back
}

void MainWdiget::bringBack(bool maximized)
{
    Qt::WindowStates state = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (maximized)
        state |= Qt::WindowMaximized;
    // Minimised with "–" and brought back by the window manager, the native
    // window still carries the request to start iconified (on X11, its
    // WM_HINTS), since only our own state changes reset it: shown again as
    // it is, it would come back minimised with no tray icon left. A round
    // trip through the minimised state clears that request.
    if (!isVisible())
        setWindowState(windowState() | Qt::WindowMinimized);
    setWindowState(state);
    show();
    raise();
    activateWindow();
}

void MainWdiget::muteForBossKey()
{
    if (m_bossKeyActive)
        return;
    m_bossKeyActive = true;
    m_mutedByBossKey.clear();
    const QList<QWebEngineView *> views = findChildren<QWebEngineView *>();
    for (QWebEngineView *view : views)
        muteUntilBack(view->page());
}

void MainWdiget::muteUntilBack(QWebEnginePage *page)
{
    m_mutedByBossKey.append({page, page->isAudioMuted()});
    page->setAudioMuted(true);
}

void MainWdiget::restoreMuteStates()
{
    if (!m_bossKeyActive)
        return;
    m_bossKeyActive = false;
    for (const auto &entry : qAsConst(m_mutedByBossKey)) {
        if (entry.first)
            entry.first->setAudioMuted(entry.second);
    }
    m_mutedByBossKey.clear();
}

void MainWdiget::showEvent(QShowEvent *event)
{
    BaseWidget::showEvent(event);
    if (!isMinimized())
        restoreMuteStates();
}

void MainWdiget::changeEvent(QEvent *event)
{
    BaseWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // The zoom icon tells the truth whoever changed the state: the tray, the
    // window manager, the full-screen key.
    m_maximized = isMaximized();
    updateZoomIcon();
    if (isVisible() && !isMinimized())
        restoreMuteStates();
}

void MainWdiget::requestFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        qCDebug(lcCore) << "status code__:" << status.toInt();
    const QVariant reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute);
    if (reason.isValid())
        qCDebug(lcCore) << "reason=" << reason.toString();
    if (reply->error() != QNetworkReply::NoError) {
        qCWarning(lcCore).noquote() << "update check failed:" << reply->errorString();
        return;
    }
    const QJsonDocument document = QJsonDocument::fromJson(reply->readAll());
    qCDebug(lcCore) << "version_name" << document.isEmpty();
    if (!document.isObject()) {
        qCWarning(lcCore) << "update check: the reply is not a JSON object";
        return;
    }
    m_updateInfo = document.object();
    m_versionCode = m_updateInfo.value(QStringLiteral("version_code")).toInt();
}

void MainWdiget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(240, 240, 240));
    painter.setPen(Qt::transparent);
    painter.drawRoundedRect(rect().adjusted(0, 0, -1, -1), 5, 5);
    BaseWidget::paintEvent(event);
}

bool MainWdiget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_closeLabel) {
            close();
        } else if (watched == m_zoomLabel) {
            toggleMaximized();
        } else if (watched == m_minLabel) {
            m_dragZone = WindowZones::Zone::None;
            showMinimized();
        }
    }
    if (watched == this)
        handleWindowMouse(event);
    return BaseWidget::eventFilter(watched, event);
}

void MainWdiget::handleWindowMouse(QEvent *event)
{
    using WindowZones::Zone;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        m_pressGeometry = geometry();
        m_pressPos = mouse->pos();
        m_dragZone = WindowZones::zoneAt(m_pressPos, size(), kBorderWidth);
        break;
    }
    case QEvent::MouseButtonRelease:
        m_dragZone = Zone::None;
        setCursor(Qt::ArrowCursor);
        break;
    case QEvent::MouseButtonDblClick:
        if (WindowZones::rect(Zone::Title, size(), kBorderWidth).contains(static_cast<QMouseEvent *>(event)->pos())) {
            qCDebug(lcCore) << "双击";
            m_dragZone = Zone::None;
            toggleMaximized();
        }
        break;
    case QEvent::HoverMove: {
        const QPoint pos = static_cast<QHoverEvent *>(event)->pos();
        const Zone under = m_dragZone != Zone::None ? m_dragZone : WindowZones::zoneAt(pos, size(), kBorderWidth);
        setCursor(WindowZones::cursorShape(under));
        // A maximised or full-screen window keeps its place and size.
        if (m_dragZone == Zone::None || isMaximized() || isFullScreen())
            break;
        const QRect target =
            WindowZones::draggedGeometry(m_dragZone, m_pressGeometry, geometry(), pos - m_pressPos, minimumSize());
        if (m_dragZone == Zone::Title)
            move(target.topLeft());
        else if (target != geometry())
            setGeometry(target);
        break;
    }
    default:
        break;
    }
}
