#include "mainwindow.h"
#include "account/altaccounts.h"
#include "app/clientwindows.h"
#include "core/logging.h"
#include "core/memory.h"
#include "core/settingskeys.h"
#include "core/settingsnotice.h"
#include "box/bosskey.h"
#include "box/bottombar.h"
#include "box/detachedgames.h"
#include "core/endpoints.h"
#include "box/mainmenu.h"
#include "box/trayicon.h"
#include "box/prompts.h"
#include "box/tabwidget.h"
#include "box/topbar.h"
#include "box/updatechecker.h"
#include "reminder/reminders.h"
#include "web/cachedialog.h"
#include "web/detachedwindow.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include "widgets/framelessmover.h"
#include "web/messagedialog.h"
#include "widgets/roundedbody.h"
#include "web/signindialog.h"
#include <QAction>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kReturnMemoryDelayMs = 3000;
}

MainWindow::MainWindow(const QString &userName, PortalApi *api)
    : QWidget(nullptr)
    , m_userName(userName)
{
    markClientWindow(this);
    // A closed main window takes its pages and their renderers with it.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Kavo游戏盒子"));

    m_updateChecker = new UpdateChecker(api, this);
    m_topBar = new TopBar(m_userName, this);
    m_menu = new MainMenu(this, m_updateChecker, m_topBar->menuButton(), m_topBar->accountButton());
    connect(m_menu, &MainMenu::menuTriggered, this, &MainWindow::trigerMenu);
    connect(m_menu, &MainMenu::switchAccountRequested, this, &MainWindow::switchAccountRequested);
    connect(m_menu, &MainMenu::quitRequested, this, &MainWindow::quitRequested);
    m_updateChecker->check();

    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint);
    // Set explicitly so the resize guards act the same on every platform.
    setMinimumSize(800, 600);
    resize(1052, 860);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        QRect frame(QPoint(), size());
        frame.moveCenter(available.center());
        move(qMax(frame.left(), available.left()), qMax(frame.top(), available.top()));
    }
    m_mover = new FramelessMover(this, WindowZones::Frame{kBorderWidth, 50, 120});
    connect(m_mover, &FramelessMover::titleDoubleClicked, this, [this] {
        qCDebug(lcCore) << "双击";
        toggleMaximized();
    });

    connect(m_topBar, &TopBar::minimizeClicked, this, &QWidget::showMinimized);
    connect(m_topBar, &TopBar::zoomClicked, this, &MainWindow::toggleMaximized);
    connect(m_topBar, &TopBar::closeClicked, this, &MainWindow::askToQuit);
    if (SettingsNotice *notice = SettingsNotice::instance())
        connect(notice, &SettingsNotice::changed, this, &MainWindow::onSettingChanged);
    bossKeyButton()->setShortcut(Settings::hotkey(Settings::kBossKey));
    qCDebug(lcCore) << "hideGameKeyQs" << bossKeyButton()->shortcut().toString();
    connect(bossKeyButton(), &QPushButton::clicked, this, &MainWindow::hideToTray);
    fullScreenKeyButton()->setShortcut(Settings::hotkey(Settings::kFullScreenKey));
    connect(fullScreenKeyButton(), &QPushButton::clicked, this, &MainWindow::toggleFullScreen);

    m_reminders = new Reminders(this, api);
    connect(m_reminders, &Reminders::enterGameRequested, this, [this](const QString &title, const QUrl &url) {
        createTab(title, url.toString(QUrl::FullyEncoded));
        comeToFront();
    });

    m_detachedGames = new DetachedGames(this);
    m_bossKey = new BossKey(this, m_detachedGames);
    m_altAccounts = new AltAccounts(this, api);
    connect(m_altAccounts, &AltAccounts::startGameRequested, this,
            [this](const QString &title, const QUrl &url) { createTab(title, url.toString(QUrl::FullyEncoded)); });
    m_tabWidget = new TabWidget(this);
    connect(m_tabWidget, &QTabWidget::currentChanged, this, &MainWindow::onCurrentTabChanged);
    connect(m_tabWidget, &QTabWidget::tabCloseRequested, this, &MainWindow::closeTab);
    m_homePage = addFixedTab(Endpoints::url(Endpoints::Address::Home), tr("Kavo首页"), QStringLiteral("://img/gamepad"));
    m_searchPage = addFixedTab(Endpoints::url(Endpoints::Address::Search), tr("找游戏"), QStringLiteral("://img/search_1"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_topBar);
    layout->addWidget(m_tabWidget);
    auto *bottomBar = new BottomBar(this);
    connect(bottomBar, &BottomBar::messagesClicked, this, &MainWindow::btn_message);
    layout->addWidget(bottomBar);
    layout->setContentsMargins(5, 5, 5, 0);
    layout->setSpacing(0);

    m_memoryTimer = new QTimer(this);
    m_memoryTimer->setSingleShot(true);
    m_memoryTimer->setInterval(kReturnMemoryDelayMs);
    connect(m_memoryTimer, &QTimer::timeout, this, &returnFreedMemory);
}

MainWindow::~MainWindow()
{
    for (const QPointer<SignInDialog> &dialog : qAsConst(m_signInDialogs)) {
        if (dialog)
            dialog->close();
    }
}

GamePage *MainWindow::addFixedTab(const QUrl &url, const QString &title, const QString &icon)
{
    auto *page = new GamePage;
    page->setUrl(url.toString());
    page->createPageWidget(this, title, 1, nullptr);
    page->setContentsMargins(0, 0, 0, 0);
    setupPage(page);
    m_tabWidget->addFixedTab(page, QIcon(icon), title);
    return page;
}

void MainWindow::setupPage(GamePage *page)
{
    connect(page, &GamePage::openTabRequested, this, [this](const QString &title, const QString &url) {
        createTab(title, url);
    });
    connect(page, &GamePage::openViewRequested, this, [this](const QString &title, WebView *view) {
        createTab(title, QString(), view);
    });
    connect(page, &GamePage::enterGameRequested, this, &MainWindow::enterGame);
    connect(page, &GamePage::searchTabRequested, this, &MainWindow::switchToSearchTab);
    connect(page, &GamePage::hideToTrayRequested, this, &MainWindow::hideToTray);
    connect(page, &GamePage::signInRequested, this, &MainWindow::openSignIn);
    connect(page, &GamePage::remindersRequested, m_reminders, &Reminders::showList);
    connect(page, &GamePage::altAccountsRequested, m_altAccounts, &AltAccounts::showForToolbar);
    connect(page, &GamePage::reminderRequested, m_reminders, &Reminders::requestReminder);
    connect(page, &GamePage::clearCacheRequested, this, [page] {
        if (page->webView())
            (new CacheDialog(page->webView()->page()->profile()))->show(); // measured afresh each time
    });
    connect(page, &GamePage::detachRequested, m_detachedGames, [this, page] { m_detachedGames->detach(page); });
    if (m_bossKey->isActive() && page->webView())
        m_bossKey->muteUntilBack(page->webView()->page()); // opened while hidden: silent like the rest
}

QTabWidget *MainWindow::tabWidget() const
{
    return m_tabWidget;
}

GamePage *MainWindow::homePage() const
{
    return m_homePage;
}

GamePage *MainWindow::searchPage() const
{
    return m_searchPage;
}

QPushButton *MainWindow::bossKeyButton() const
{
    return m_topBar->bossKeyButton();
}

QPushButton *MainWindow::fullScreenKeyButton() const
{
    return m_topBar->fullScreenKeyButton();
}

void MainWindow::btn_message()
{
    if (m_messageDialog && m_messageDialog->isVisible()) {
        m_messageDialog->close();
        return;
    }
    emit noHttpCacheWanted();
    m_messageDialog = new MessageDialog(this);
    m_messageDialog->move(width() - 510, height() - 415);
    m_messageDialog->show();
}

void MainWindow::openSignIn()
{
    emit noHttpCacheWanted();
    auto *dialog = new SignInDialog;
    QRect place = dialog->frameGeometry();
    place.moveCenter(frameGeometry().center());
    dialog->move(place.topLeft());
    m_signInDialogs.removeAll(nullptr);
    m_signInDialogs.append(dialog);
    dialog->show();
}

void MainWindow::trigerMenu(QAction *act)
{
    m_menu->trigger(act);
}

void MainWindow::askToQuit()
{
    if (Prompts::askToQuit(this))
        close();
}

void MainWindow::onSettingChanged(const QString &group, const QString &key)
{
    // A hotkey the user has just recorded works at once; the old one stops.
    if (Settings::kBossKey.is(group, key))
        bossKeyButton()->setShortcut(Settings::hotkey(Settings::kBossKey));
    else if (Settings::kFullScreenKey.is(group, key))
        fullScreenKeyButton()->setShortcut(Settings::hotkey(Settings::kFullScreenKey));
}

void MainWindow::onCurrentTabChanged(int index)
{
    qCDebug(lcCore) << "当前" << index;
    // The search page was laid out while it was hidden; the first look at it
    // gets a fresh load.
    if (index == kSearchTab && !m_searchTabReloaded && m_searchPage) {
        m_searchPage->btn_reload();
        m_searchTabReloaded = true;
    }
}

void MainWindow::createTab(QString title, QString url, WebView *webview)
{
    qCDebug(lcCore) << "QDebug" << "新增tab";
    auto *page = new GamePage;
    page->setUrl(url);
    page->createPageWidget(this, title, 0, webview);
    setupPage(page);
    addGameTab(page, title);
}

void MainWindow::addGameTab(GamePage *page, const QString &title)
{
    const int index = m_tabWidget->addPageTab(page, title);
    qCDebug(lcCore) << "QDebug-m-index:" << index;
    m_tabWidget->setCurrentIndex(index);
}

void MainWindow::enterGame(const QString &title, const QString &url)
{
    createTab(title, url);
    setMaximizedFlag(true);
    showMaximized();
}

void MainWindow::closeTab(int index)
{
    QWidget *page = m_tabWidget->widget(index);
    if (!page)
        return;
    if (index < kFixedTabs) {
        qCWarning(lcCore) << "tab" << index << "is a fixed tab and stays open";
        return;
    }
    m_tabWidget->removeTab(index);
    // Later, not now: the request may come from inside the page being closed.
    // Its view, renderer and bridge all go with it.
    page->deleteLater();
    m_memoryTimer->start(); // once for a row of closed tabs
}

void MainWindow::detachTab(int index)
{
    qCDebug(lcCore) << "移除的索引：" << index;
    if (index < kFixedTabs)
        return;
    m_tabWidget->removeTab(index);
}

int MainWindow::currentTabIndex() const
{
    return m_tabWidget->currentIndex();
}

void MainWindow::switchToSearchTab()
{
    m_tabWidget->setCurrentIndex(kSearchTab);
}

void MainWindow::setMaximizedFlag(bool maximized)
{
    m_maximized = maximized;
    m_topBar->setMaximized(maximized);
}

void MainWindow::toggleMaximized()
{
    setMaximizedFlag(!m_maximized);
    qCDebug(lcCore) << "isfull:" << m_maximized;
    if (m_maximized)
        showMaximized();
    else
        showNormal();
}

void MainWindow::toggleFullScreen()
{
    if (!isFullScreen())
        showFullScreen();
    else
        showNormal();
}

void MainWindow::hideToTray()
{
    m_bossKey->hide();
}

void MainWindow::comeToFront()
{
    if (m_bossKey->tray() && !isVisible()) {
        m_bossKey->tray()->showNormal(); // as its "还原" does, and the icon goes
        return;
    }
    // Minimised, the window manager may have dropped "maximised" from the
    // state; the box's own flag still knows.
    if (isMinimized())
        setWindowState(m_maximized ? Qt::WindowMaximized : Qt::WindowNoState);
    show();
    raise();
    activateWindow();
}

void MainWindow::bringBack(bool maximized)
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

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!isMinimized())
        m_bossKey->restore();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_topBar)
        return;
    // The zoom icon tells the truth whoever changed the state: the tray, the
    // window manager, the full-screen key. A minimised window keeps what it
    // was, to come back as it was.
    if (!isMinimized())
        setMaximizedFlag(isMaximized());
    if (isVisible() && !isMinimized())
        m_bossKey->restore();
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    paintRoundedBody(this, rect().adjusted(0, 0, -1, -1), 5, QColor(240, 240, 240));
    QWidget::paintEvent(event);
}
