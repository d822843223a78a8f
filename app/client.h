#pragma once
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QUrl>

class Config;
class DownloadHandler;
class LoginWindow;
class MainWindow;
class PortalApi;
class QWebEngineProfile;
class Profiles;
class QWidget;
class Reminders;

// The one object that owns the run: it opens the login window, turns a
// successful login into the main window, switches accounts, and holds what
// lives for the whole run and hands it down: the settings, the portal API,
// the web profile and its downloads. The run ends when the user quits (the
// login window closed without a login, the main window closed, the tray's
// "退出"), never because a window was hidden; main() ends the event loop on
// finished(). At destruction every window of the run goes, with its pages,
// before the web profile does.
class Client : public QObject
{
    Q_OBJECT

public:
    // profile: the main account's web profile, which outlives the client.
    explicit Client(QWebEngineProfile *profile, const QString &configFile = QString(), QObject *parent = nullptr);
    ~Client() override;

    Config *config() const { return m_config; }
    PortalApi *portalApi() const { return m_api; }
    DownloadHandler *downloads() const { return m_downloads; }
    Profiles *profiles() const { return m_profiles; }
    Reminders *reminders() const { return m_reminders; }
    LoginWindow *loginWindow() const;
    MainWindow *mainWindow() const;

    // Shows the first login window, automatic login as configured, and arms
    // the reminders.
    void start();
    // Another start of the box asked for it: the current window comes to
    // the front, shown, not minimised, raised and active (the login window
    // before the login, the main window after it, back from the tray).
    void bringToFront();
    // A fresh login window without automatic login, shown before the main
    // window closes, so that the run never stands without a window.
    void switchAccount();
    // From now on no page of the run keeps an HTTP cache (social logins and
    // the portal's message pages must never come from it), in any profile.
    void switchOffHttpCache();
    void quit();

signals:
    void mainWindowOpened(MainWindow *window);
    void finished();

private:
    void openLoginWindow(bool allowAutoLogin);
    void openMainWindow(const QString &userName);
    void windowGone();
    void logCookies(QWebEngineProfile *profile);
    // "进入游戏" on a reminder's notice: in the box, or right after the next login.
    void enterGame(const QString &title, const QUrl &url);

    Config *m_config;
    PortalApi *m_api;
    Profiles *m_profiles;
    bool m_noHttpCache = false;
    DownloadHandler *m_downloads;
    Reminders *m_reminders;
    QList<QPair<QString, QUrl>> m_gamesAfterLogin;
    QPointer<LoginWindow> m_loginWindow;
    QPointer<MainWindow> m_mainWindow;
    // Games in windows of their own, which outlive the main window that let
    // them out (after "切换账号").
    QList<QPointer<QWidget>> m_detachedWindows;
    // The current windows, only compared: whether the one that went was one
    // of them (a QPointer is already empty when its window's destroyed()
    // arrives).
    const QObject *m_currentLogin = nullptr;
    const QObject *m_currentMain = nullptr;
    bool m_finished = false;
};
