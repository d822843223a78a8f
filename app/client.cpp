#include "client.h"
#include "account/loginwindow.h"
#include "app/clientwindows.h"
#include "core/logging.h"
#include "core/settingsnotice.h"
#include "box/mainwindow.h"
#include "core/portalapi.h"
#include "web/downloadhandler.h"
#include <QGuiApplication>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

Client::Client(QObject *parent)
    : QObject(parent)
    , m_api(new PortalApi(this))
    , m_settingsNotice(new SettingsNotice(this))
    , m_downloads(new DownloadHandler(QWebEngineProfile::defaultProfile(), this))
{
    // Hiding the box behind the tray, or closing a window of its own, must
    // not end the run; only the user's quitting does.
    QGuiApplication::setQuitOnLastWindowClosed(false);

    // Every page shares the default profile's cookie store: one line per
    // cookie, however many pages are open, and never its value.
    connect(QWebEngineProfile::defaultProfile()->cookieStore(), &QWebEngineCookieStore::cookieAdded, this,
            [](const QNetworkCookie &cookie) {
                qCDebug(lcWeb).noquote() << "Cookie Added-->" << cookie.domain() << QString::fromUtf8(cookie.name());
            });
}

Client::~Client()
{
    m_finished = true; // windows going now are no reason to quit again
    delete m_downloads; // a download still running is cancelled, before its window goes
    deleteClientWindows();
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
}

void Client::openLoginWindow(bool allowAutoLogin)
{
    auto *login = new LoginWindow(allowAutoLogin);
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
    auto *window = new MainWindow(userName, m_api);
    m_mainWindow = window;
    connect(window, &MainWindow::quitRequested, this, &Client::quit);
    connect(window, &MainWindow::noHttpCacheWanted, this, &Client::switchOffHttpCache);
    connect(window, &MainWindow::switchAccountRequested, this, &Client::switchAccount);
    connect(window, &QObject::destroyed, this, [this, window] {
        if (m_currentMain == window)
            m_currentMain = nullptr;
        windowGone();
    });
    m_currentMain = window;
    window->show();
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
    QWebEngineProfile::defaultProfile()->setHttpCacheType(QWebEngineProfile::NoCache);
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
