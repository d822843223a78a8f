#include "mainwindow.h"
#include "account/altaccounts.h"
#include "box/bosskey.h"
#include "box/bottombar.h"
#include "box/boxactions.h"
#include "box/detachedgames.h"
#include "box/mainmenu.h"
#include "box/prompts.h"
#include "box/tabwidget.h"
#include "box/topbar.h"
#include "box/updatechecker.h"
#include "core/config.h"
#include "core/endpoints.h"
#include "core/logging.h"
#include "core/memory.h"
#include "core/windowplace.h"
#include "reminder/reminders.h"
#include "web/cachedialog.h"
#include "web/detachedwindow.h"
#include "web/gamepage.h"
#include "web/messagedialog.h"
#include "web/profiles.h"
#include "web/signindialog.h"
#include "web/webview.h"
#include "widgets/framelessmover.h"
#include "widgets/roundedbody.h"
#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kReturnMemoryDelayMs = 3000;
// A window in full screen, and whether it was maximised before.
const char kMaximizedBeforeFullScreen[] = "kavoMaximizedBeforeFullScreen";
} // namespace

MainWindow::MainWindow(const QString &userName, Config *config, PortalApi *api, Profiles *profiles,
                       Reminders *reminders)
    : QWidget(nullptr)
    , m_userName(userName)
    , m_config(config)
    , m_api(api)
    , m_profiles(profiles)
    , m_actions(new BoxActions(this))
    , m_reminders(reminders)
{
    setupFrame();
    m_updateChecker = new UpdateChecker(api, this);
    m_topBar = new TopBar(m_userName, m_actions, this);
    m_menu = new MainMenu(this, config, m_updateChecker, m_actions);
    m_menu->attachTo(m_topBar->menuButton(), m_topBar->accountButton());
    connect(m_menu, &MainMenu::quitRequested, this, &MainWindow::quitRequested);
    m_updateChecker->check();

    m_reminders->setHost(this);
    m_altAccounts = new AltAccounts(this, api);
    // An alt account plays in a profile of its own, which goes with it.
    connect(m_altAccounts, &AltAccounts::startGameRequested, this,
            [this](const QString &account, const QString &title, const QUrl &url) {
                m_tabs->openGame(title, url, m_profiles->forAccount(account));
            });
    connect(m_altAccounts, &AltAccounts::accountDeleted, m_profiles, &Profiles::forget);
    m_bossKey = new BossKey(this, m_actions);
    connect(m_bossKey, &BossKey::silenceRequested, this, &MainWindow::silenceAll);
    m_detachedGames = new DetachedGames(this);
    connect(m_detachedGames, &DetachedGames::opened, this, &MainWindow::detachedWindowOpened);
    connect(m_detachedGames, &DetachedGames::mergeRequested, this, [this](GamePage *page) {
        m_tabs->putBack(page);
        comeToFront();
    });
    connect(m_bossKey, &BossKey::hideDetachedRequested, m_detachedGames, &DetachedGames::hideAll);
    connect(m_bossKey, &BossKey::showDetachedRequested, m_detachedGames, &DetachedGames::showAgain);

    m_tabs = new TabWidget(profiles->main(), this);
    connect(m_tabs, &TabWidget::pageAdded, this, &MainWindow::setupPage);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::onCurrentTabChanged);
    m_memoryTimer = new QTimer(this);
    m_memoryTimer->setSingleShot(true);
    m_memoryTimer->setInterval(kReturnMemoryDelayMs);
    connect(m_memoryTimer, &QTimer::timeout, this, &returnFreedMemory);
    // Once for a row of closed tabs.
    connect(m_tabs, &TabWidget::tabsClosed, m_memoryTimer, qOverload<>(&QTimer::start));
    m_tabs->addFixedTabs(Endpoints::url(Endpoints::Address::Home), Endpoints::url(Endpoints::Address::Search));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_topBar);
    layout->addWidget(m_tabs);
    layout->addWidget(new BottomBar(m_actions->messages, this));
    layout->setContentsMargins(5, 5, 5, 0);
    layout->setSpacing(0);

    setupActions();
    restorePlace();
}

void MainWindow::setupFrame()
{
    // A closed main window takes its pages and their renderers with it.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Kavo游戏盒子"));
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
    auto *mover = new FramelessMover(this, WindowZones::Frame{kBorderWidth, 50, 120});
    connect(mover, &FramelessMover::titleDoubleClicked, this, [this] {
        qCDebug(lcCore) << "双击";
        toggleMaximized();
    });
}

void MainWindow::restorePlace()
{
    const QString text = m_config->value(Settings::kWindowPlace).toString();
    if (text.isEmpty())
        return; // placed as at the first start
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    QString why;
    const QRect place = readWindowPlace(text, screens, &why);
    if (place.isNull()) {
        qCWarning(lcCore).noquote() << "the main window's saved place" << text << "is ignored:" << why;
        return;
    }
    setGeometry(place);
    if (m_config->value(Settings::kWindowMaximized).toBool()) {
        setMaximizedFlag(true);
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void MainWindow::savePlace()
{
    if (!m_shown)
        return; // never on screen: nothing the user left anywhere
    const bool maximized = isFullScreen() ? property(kMaximizedBeforeFullScreen).toBool()
                                          : isMaximized() || (isMinimized() && m_maximized);
    const QRect normal = (isMaximized() || isFullScreen() || isMinimized()) && normalGeometry().isValid()
        ? normalGeometry() : geometry();
    m_config->setValue(Settings::kWindowPlace, windowPlaceText(normal));
    m_config->setValue(Settings::kWindowMaximized, maximized);
}

MainWindow::~MainWindow()
{
    savePlace();
    for (const QPointer<QWidget> &window : qAsConst(m_ownWindows))
        delete window.data();
}

void MainWindow::setupActions()
{
    const auto browser = [](Endpoints::Address address) {
        return [address] { QDesktopServices::openUrl(Endpoints::url(address)); };
    };
    BoxActions *a = m_actions;
    connect(a->settings, &QAction::triggered, m_menu, &MainMenu::showSettings);
    connect(a->checkUpdate, &QAction::triggered, m_menu, &MainMenu::answerUpdateCheck);
    connect(a->website, &QAction::triggered, this, browser(Endpoints::Address::Website));
    connect(a->faq, &QAction::triggered, this, browser(Endpoints::Address::Faq));
    connect(a->about, &QAction::triggered, m_menu, &MainMenu::showAbout);
    connect(a->accountSecurity, &QAction::triggered, this, browser(Endpoints::Address::AccountSecurity));
    connect(a->switchAccount, &QAction::triggered, this, &MainWindow::switchAccountRequested);
    connect(a->minimize, &QAction::triggered, this, &QWidget::showMinimized);
    connect(a->toggleMaximized, &QAction::triggered, this, &MainWindow::toggleMaximized);
    connect(a->confirmQuit, &QAction::triggered, this, &MainWindow::confirmQuit);
    connect(a->messages, &QAction::triggered, this, &MainWindow::toggleMessages);
    connect(a->restoreMaximized, &QAction::triggered, this, [this] { bringBack(true); });
    connect(a->restore, &QAction::triggered, this, [this] { bringBack(false); });
    connect(a->quit, &QAction::triggered, this, &MainWindow::quitRequested);
    connect(a->bossKey, &QAction::triggered, this, &MainWindow::hideToTray);
    connect(a->fullScreen, &QAction::triggered, this, &MainWindow::toggleFullScreen);
    const auto onCurrentPage = [this](void (GamePage::*command)()) {
        return [this, command] {
            if (GamePage *page = m_tabs->currentPage())
                (page->*command)();
        };
    };
    connect(a->reload, &QAction::triggered, this, onCurrentPage(&GamePage::reload));
    connect(a->zoomIn, &QAction::triggered, this, onCurrentPage(&GamePage::zoomIn));
    connect(a->zoomOut, &QAction::triggered, this, onCurrentPage(&GamePage::zoomOut));
    connect(a->resetZoom, &QAction::triggered, this, onCurrentPage(&GamePage::resetZoom));
    connect(a->back, &QAction::triggered, this, onCurrentPage(&GamePage::back));
    connect(a->forward, &QAction::triggered, this, onCurrentPage(&GamePage::forward));
    connect(a->closeTab, &QAction::triggered, this, [this] {
        const GamePage *page = m_tabs->currentPage();
        if (page && !page->isFixed()) // the fixed tabs stay, without a word
            m_tabs->closeTab(m_tabs->currentIndex());
    });
    connect(a->nextTab, &QAction::triggered, m_tabs, &TabWidget::selectNextTab);
    connect(a->previousTab, &QAction::triggered, m_tabs, &TabWidget::selectPreviousTab);

    // The keys work while this window is active, in a page's text field too
    // (none of them edits text); the boss and full-screen keys from every
    // window of the box.
    addActions(QList<QAction *>{a->bossKey, a->fullScreen} + a->tabActions());
    a->setHotkeys(m_config->hotkey(Settings::kBossKey), m_config->hotkey(Settings::kFullScreenKey));
    qCDebug(lcCore) << "hideGameKeyQs" << a->bossKey->shortcut().toString();
    connect(m_config, &Config::changed, this, &MainWindow::applyChangedHotkey);
}

void MainWindow::applyChangedHotkey(const QString &group, const QString &key)
{
    // A hotkey the user has just recorded or restored works at once; the old
    // one stops. Only the changed key is read again.
    const bool boss = Settings::kBossKey.is(group, key);
    if (!boss && !Settings::kFullScreenKey.is(group, key))
        return;
    m_actions->setHotkeys(boss ? m_config->hotkey(Settings::kBossKey) : m_actions->bossKey->shortcut(),
                          boss ? m_actions->fullScreen->shortcut() : m_config->hotkey(Settings::kFullScreenKey));
}

void MainWindow::setupPage(GamePage *page)
{
    // A page's tabs are its account's: in its profile.
    connect(page, &GamePage::openTabRequested, this,
            [this, page](const QString &title, const QUrl &url) { m_tabs->openGame(title, url, page->profile()); });
    connect(page, &GamePage::enterGameRequested, this,
            [this, page](const QString &title, const QUrl &url) { enterGame(title, url, page->profile()); });
    connect(page, &GamePage::searchTabRequested, this, [this] { m_tabs->setCurrentIndex(TabWidget::kSearchTab); });
    connect(page, &GamePage::bossKeyRequested, m_actions->bossKey, &QAction::trigger);
    connect(page, &GamePage::signInRequested, this, &MainWindow::openSignIn);
    connect(page, &GamePage::remindersRequested, m_reminders, &Reminders::showList);
    connect(page, &GamePage::altAccountsRequested, m_altAccounts, &AltAccounts::showForToolbar);
    connect(page, &GamePage::reminderRequested, m_reminders, &Reminders::requestReminder);
    connect(page, &GamePage::clearCacheRequested, this, &MainWindow::openCacheDialog);
    connect(page, &GamePage::detachRequested, this, [this, page] { detach(page); });
    if (m_bossKey->isActive())
        page->setSilenced(true); // opened while hidden: silent like the rest
}

GamePage *MainWindow::openGame(const QString &title, const QUrl &url)
{
    return m_tabs->openGame(title, url);
}

void MainWindow::openGameInFront(const QString &title, const QUrl &url)
{
    openGame(title, url);
    comeToFront();
}

void MainWindow::enterGame(const QString &title, const QUrl &url, QWebEngineProfile *profile)
{
    m_tabs->openGame(title, url, profile);
    setMaximizedFlag(true);
    showMaximized();
}

void MainWindow::detach(GamePage *page)
{
    if (m_tabs->takeOut(page))
        m_detachedGames->open(page, this);
}

void MainWindow::silenceAll(bool silenced)
{
    for (GamePage *page : m_tabs->pages() + m_detachedGames->pages())
        page->setSilenced(silenced);
}

void MainWindow::openCacheDialog()
{
    // Measured afresh each time, over every profile.
    auto *dialog = new CacheDialog(m_profiles->all());
    m_ownWindows.removeAll(nullptr);
    m_ownWindows.append(dialog);
    dialog->show();
}

void MainWindow::toggleMessages()
{
    if (m_messageDialog && m_messageDialog->isVisible()) {
        m_messageDialog->close();
        return;
    }
    emit noHttpCacheWanted();
    m_messageDialog = new MessageDialog(m_profiles->main(), this);
    m_messageDialog->move(width() - 510, height() - 415);
    m_messageDialog->show();
}

void MainWindow::openSignIn()
{
    emit noHttpCacheWanted();
    auto *dialog = new SignInDialog(m_profiles->main());
    m_ownWindows.removeAll(nullptr);
    m_ownWindows.append(dialog);
    dialog->showCentred(this);
}

void MainWindow::confirmQuit()
{
    if (Prompts::askToQuit(this)) {
        m_quitConfirmed = true;
        close();
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (event->spontaneous() && !m_quitConfirmed && !Prompts::askToQuit(this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void MainWindow::onCurrentTabChanged(int index)
{
    qCDebug(lcCore) << "当前" << index;
    // The search page was laid out while it was hidden; the first look at it
    // gets a fresh load.
    if (index == TabWidget::kSearchTab && !m_searchTabReloaded) {
        m_searchTabReloaded = true;
        m_tabs->page(index)->reload();
    }
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
    QWidget *target = qobject_cast<DetachedWindow *>(QApplication::activeWindow());
    if (!target)
        target = this;
    // Back to the state it left: maximised stays maximised.
    if (!target->isFullScreen()) {
        target->setProperty(kMaximizedBeforeFullScreen, target->isMaximized());
        target->showFullScreen();
    } else if (target->property(kMaximizedBeforeFullScreen).toBool()) {
        target->showMaximized();
    } else {
        target->showNormal();
    }
}

void MainWindow::hideToTray()
{
    m_bossKey->hide();
}

void MainWindow::comeToFront()
{
    if (m_bossKey->isInTray() && !isVisible()) {
        m_actions->restore->trigger(); // as its "还原" does, and the icon goes
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
    m_shown = true;
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
