#include "client.h"
#include "account/loginwindow.h"
#include "box/mainwindow.h"
#include "core/config.h"
#include "core/datadir.h"
#include "core/logging.h"
#include "core/portalapi.h"
#include "reminder/reminders.h"
#include "web/detachedwindow.h"
#include "web/downloadhandler.h"
#include "web/profiles.h"
#include <QGuiApplication>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

Client::Client(QWebEngineProfile *profile, const QString &configFile, QObject *parent)
    : QObject(parent)
    , m_config(new Config(configFile, this))
    , m_api(new PortalApi(this))
    , m_profiles(new Profiles(profile, dataFilePath(QStringLiteral("profiles")), this))
    , m_downloads(new DownloadHandler(profile, this))
    , m_reminders(new Reminders(m_api, this))
{
    // Hiding the box behind the tray, or closing a window of its own, must
    // not end the run; only the user's quitting does.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    m_config->ensureHotkeyDefaults();

    // Plugins and DNS prefetch on for every page; this profile verifies
    // certificates for the whole process.
    profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    profile->settings()->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, true);
    profile->setUseForGlobalCertificateVerification(true);
    logCookies(profile);
    connect(m_profiles, &Profiles::profileAdded, this, [this](QWebEngineProfile *added) {
        m_downloads->watch(added);
        logCookies(added);
        if (m_noHttpCache)
            added->setHttpCacheType(QWebEngineProfile::NoCache);
    });
    connect(m_reminders, &Reminders::enterGameRequested, this, &Client::enterGame);
}

Client::~Client()
{
    m_finished = true; // windows going now are no reason to quit again
    delete m_downloads; // a download still running is cancelled, before its window goes
    delete m_reminders; // with its notices
    delete m_loginWindow.data();
    delete m_mainWindow.data();
    for (const QPointer<QWidget> &window : qAsConst(m_detachedWindows))
        delete window.data();
    // What those left to be deleted later (a closed tab's page, a window
    // closed by the user) goes now, before the profiles.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_profiles;
}

LoginWindow *Client::loginWindow() const
{
    return m_loginWindow;
}

MainWindow *Client::mainWindow() const
{
    return m_mainWindow;
}

void Client::start()
{
    openLoginWindow(true);
    m_reminders->rearm();
}

void Client::bringToFront()
{
    if (m_mainWindow) {
        m_mainWindow->comeToFront();
        return;
    }
    if (m_loginWindow)
        m_loginWindow->comeToFront();
}

void Client::enterGame(const QString &title, const QUrl &url)
{
    if (m_mainWindow) {
        m_mainWindow->openGameInFront(title, url);
        return;
    }
    m_gamesAfterLogin.append({title, url});
    bringToFront();
}

void Client::openLoginWindow(bool allowAutoLogin)
{
    auto *login = new LoginWindow(m_config, m_profiles->main(), allowAutoLogin);
    m_loginWindow = login;
    connect(login, &LoginWindow::socialLoginOpening, this, &Client::switchOffHttpCache);
    connect(login, &LoginWindow::loginSucceeded, this, [this, login](const QString &name) {
        openMainWindow(name);
        login->close(); // and freed, with its page and renderer
    });
    connect(login, &QObject::destroyed, this, [this, login] {
        if (m_currentLogin == login)
            m_currentLogin = nullptr;
        windowGone();
    });
    m_currentLogin = login;
    login->show();
}

void Client::openMainWindow(const QString &userName)
{
    // A login from a window opened to switch accounts replaces the old box.
    if (m_mainWindow)
        m_mainWindow->close();
    auto *window = new MainWindow(userName, m_config, m_api, m_profiles, m_reminders);
    m_mainWindow = window;
    connect(window, &MainWindow::quitRequested, this, &Client::quit);
    connect(window, &MainWindow::noHttpCacheWanted, this, &Client::switchOffHttpCache);
    connect(window, &MainWindow::switchAccountRequested, this, &Client::switchAccount);
    connect(window, &MainWindow::detachedWindowOpened, this, [this](DetachedWindow *detached) {
        m_detachedWindows.removeAll(nullptr);
        m_detachedWindows.append(detached);
    });
    connect(window, &QObject::destroyed, this, [this, window] {
        if (m_currentMain == window)
            m_currentMain = nullptr;
        windowGone();
    });
    m_currentMain = window;
    window->show();
    for (const auto &game : std::exchange(m_gamesAfterLogin, {}))
        window->openGame(game.first, game.second);
    emit mainWindowOpened(window);
}

void Client::switchAccount()
{
    QPointer<MainWindow> previous = m_mainWindow;
    openLoginWindow(false);
    if (previous)
        previous->close();
}

void Client::switchOffHttpCache()
{
    m_noHttpCache = true;
    for (QWebEngineProfile *profile : m_profiles->all())
        profile->setHttpCacheType(QWebEngineProfile::NoCache);
}

void Client::logCookies(QWebEngineProfile *profile)
{
    // Every page of a profile shares its cookie store: one line per cookie,
    // however many pages are open, and never its value.
    connect(profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, this, [](const QNetworkCookie &cookie) {
        qCDebug(lcWeb).noquote() << "Cookie Added-->" << cookie.domain() << QString::fromUtf8(cookie.name());
    });
}

void Client::windowGone()
{
    // The last of the run's windows went: the user has closed the box. (A box
    // replaced after switching accounts going later is no reason.)
    if (!m_currentLogin && !m_currentMain)
        quit();
}

void Client::quit()
{
    if (m_finished)
        return;
    m_finished = true;
    qCInfo(lcApp) << "quitting";
    emit finished();
}
