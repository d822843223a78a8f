#include "mainwdiget.h"
#include "account/altaccounts.h"
#include "app/clientwindows.h"
#include "app/logging.h"
#include "app/memory.h"
#include "app/settingskeys.h"
#include "app/settingsnotice.h"
#include "core/bosskey.h"
#include "core/bottombar.h"
#include "core/detachedgames.h"
#include "core/endpoints.h"
#include "core/mainmenu.h"
#include "core/mytray.h"
#include "core/prompts.h"
#include "core/tabwidget.h"
#include "core/topbar.h"
#include "core/updatechecker.h"
#include "reminder/reminders.h"
#include "web/cleardialog.h"
#include "web/commonwidget.h"
#include "web/pageweb.h"
#include "web/webview.h"
#include "widgets/framelessmover.h"
#include "widgets/messagedialog.h"
#include "widgets/roundedbody.h"
#include "widgets/signindialog.h"
#include <QAction>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kReturnMemoryDelayMs = 3000;
}

MainWdiget::MainWdiget(const QString &userName, PortalApi *api)
    : BaseWidget(nullptr)
    , m_userName(userName)
{
    markClientWindow(this);
    // A closed main window takes its pages and their renderers with it.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Kavo游戏盒子"));

    m_updateChecker = new UpdateChecker(api, this);
    m_topBar = new TopBar(m_userName, this);
    m_menu = new MainMenu(this, m_updateChecker, m_topBar->menuButton(), m_topBar->accountButton());
    connect(m_menu, &MainMenu::menuTriggered, this, &MainWdiget::trigerMenu);
    connect(m_menu, &MainMenu::switchAccountRequested, this, &MainWdiget::switchAccountRequested);
    connect(m_menu, &MainMenu::quitRequested, this, &MainWdiget::quitRequested);
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
    connect(m_topBar, &TopBar::zoomClicked, this, &MainWdiget::toggleMaximized);
    connect(m_topBar, &TopBar::closeClicked, this, &MainWdiget::askToQuit);
    if (SettingsNotice *notice = SettingsNotice::instance())
        connect(notice, &SettingsNotice::changed, this, &MainWdiget::onSettingChanged);
    bossKeyButton()->setShortcut(Settings::hotkey(Settings::kBossKey));
    qCDebug(lcCore) << "hideGameKeyQs" << bossKeyButton()->shortcut().toString();
    connect(bossKeyButton(), &QPushButton::clicked, this, &MainWdiget::hideToTray);
    fullScreenKeyButton()->setShortcut(Settings::hotkey(Settings::kFullScreenKey));
    connect(fullScreenKeyButton(), &QPushButton::clicked, this, &MainWdiget::toggleFullScreen);

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
    connect(m_tabWidget, &QTabWidget::currentChanged, this, &MainWdiget::onCurrentTabChanged);
    connect(m_tabWidget, &QTabWidget::tabCloseRequested, this, &MainWdiget::closeTab);
    m_homePage = addFixedTab(Endpoints::url(Endpoints::Address::Home), tr("Kavo首页"), QStringLiteral("://img/gamepad"));
    m_searchPage = addFixedTab(Endpoints::url(Endpoints::Address::Search), tr("找游戏"), QStringLiteral("://img/search_1"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_topBar);
    layout->addWidget(m_tabWidget);
    auto *bottomBar = new BottomBar(this);
    connect(bottomBar, &BottomBar::messagesClicked, this, &MainWdiget::btn_message);
    layout->addWidget(bottomBar);
    layout->setContentsMargins(5, 5, 5, 0);
    layout->setSpacing(0);

    m_memoryTimer = new QTimer(this);
    m_memoryTimer->setSingleShot(true);
    m_memoryTimer->setInterval(kReturnMemoryDelayMs);
    connect(m_memoryTimer, &QTimer::timeout, this, &returnFreedMemory);
}

MainWdiget::~MainWdiget()
{
    for (const QPointer<SignInDialog> &dialog : qAsConst(m_signInDialogs)) {
        if (dialog)
            dialog->close();
    }
}

PageWeb *MainWdiget::addFixedTab(const QUrl &url, const QString &title, const QString &icon)
{
    auto *page = new PageWeb;
    page->setUrl(url.toString());
    page->createPageWidget(this, title, 1, nullptr);
    page->setContentsMargins(0, 0, 0, 0);
    setupPage(page);
    m_tabWidget->addFixedTab(page, QIcon(icon), title);
    return page;
}

void MainWdiget::setupPage(PageWeb *page)
{
    connect(page, &PageWeb::openTabRequested, this, [this](const QString &title, const QString &url) {
        createTab(title, url);
    });
    connect(page, &PageWeb::openViewRequested, this, [this](const QString &title, WebView *view) {
        createTab(title, QString(), view);
    });
    connect(page, &PageWeb::enterGameRequested, this, &MainWdiget::enterGame);
    connect(page, &PageWeb::searchTabRequested, this, &MainWdiget::switchToSearchTab);
    connect(page, &PageWeb::hideToTrayRequested, this, &MainWdiget::hideToTray);
    connect(page, &PageWeb::signInRequested, this, &MainWdiget::openSignIn);
    connect(page, &PageWeb::remindersRequested, m_reminders, &Reminders::showList);
    connect(page, &PageWeb::altAccountsRequested, m_altAccounts, &AltAccounts::showForToolbar);
    connect(page, &PageWeb::reminderRequested, m_reminders, &Reminders::requestReminder);
    connect(page, &PageWeb::clearCacheRequested, this, [page] {
        if (page->webView())
            (new ClearDialog(page->webView()->page()->profile()))->show(); // measured afresh each time
    });
    connect(page, &PageWeb::detachRequested, m_detachedGames, [this, page] { m_detachedGames->detach(page); });
    if (m_bossKey->isActive() && page->webView())
        m_bossKey->muteUntilBack(page->webView()->page()); // opened while hidden: silent like the rest
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

QPushButton *MainWdiget::bossKeyButton() const
{
    return m_topBar->bossKeyButton();
}

QPushButton *MainWdiget::fullScreenKeyButton() const
{
    return m_topBar->fullScreenKeyButton();
}

void MainWdiget::btn_message()
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

void MainWdiget::openSignIn()
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

void MainWdiget::trigerMenu(QAction *act)
{
    m_menu->trigger(act);
}

void MainWdiget::askToQuit()
{
    if (Prompts::askToQuit(this))
        close();
}

void MainWdiget::onSettingChanged(const QString &group, const QString &key)
{
    // A hotkey the user has just recorded works at once; the old one stops.
    if (Settings::kBossKey.is(group, key))
        bossKeyButton()->setShortcut(Settings::hotkey(Settings::kBossKey));
    else if (Settings::kFullScreenKey.is(group, key))
        fullScreenKeyButton()->setShortcut(Settings::hotkey(Settings::kFullScreenKey));
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
    page->createPageWidget(this, title, 0, webview);
    setupPage(page);
    addGameTab(page, title);
}

void MainWdiget::addGameTab(PageWeb *page, const QString &title)
{
    const int index = m_tabWidget->addPageTab(page, title);
    qCDebug(lcCore) << "QDebug-m-index:" << index;
    m_tabWidget->setCurrentIndex(index);
}

void MainWdiget::enterGame(const QString &title, const QString &url)
{
    createTab(title, url);
    setMaximizedFlag(true);
    showMaximized();
}

void MainWdiget::closeTab(int index)
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
    m_topBar->setMaximized(maximized);
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
    m_bossKey->hide();
}

void MainWdiget::comeToFront()
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

void MainWdiget::showEvent(QShowEvent *event)
{
    BaseWidget::showEvent(event);
    if (!isMinimized())
        m_bossKey->restore();
}

void MainWdiget::changeEvent(QEvent *event)
{
    BaseWidget::changeEvent(event);
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

void MainWdiget::paintEvent(QPaintEvent *event)
{
    paintRoundedBody(this, rect().adjusted(0, 0, -1, -1), 5, QColor(240, 240, 240));
    BaseWidget::paintEvent(event);
}
