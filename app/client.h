#pragma once
#include <QObject>
#include <QPointer>

class LoginWindow;
class MainWindow;
class PortalApi;
class SettingsNotice;
class DownloadHandler;

// The one object that owns the run: it opens the login window, turns a
// successful login into the main window, switches accounts, and holds what
// lives for the whole run (the portal API, the web profile's settings and
// downloads, the notice of settings changes). The run ends when the user
// quits (the login window closed without a login, the main window closed,
// the tray's "退出"), never because a window was hidden; main() ends the
// event loop on finished(). At destruction it deletes every window the
// client made, before the web profile goes.
class Client : public QObject
{
    Q_OBJECT

public:
    explicit Client(QObject *parent = nullptr);
    ~Client() override;

    PortalApi *portalApi() const { return m_api; }
    DownloadHandler *downloads() const { return m_downloads; }
    LoginWindow *loginWindow() const;
    MainWindow *mainWindow() const;

    // Shows the first login window; automatic login as configured.
    void start();
    // A fresh login window without automatic login, shown before the main
    // window closes, so that the run never stands without a window.
    void switchAccount();
    // From now on no page of the run keeps an HTTP cache (social logins and
    // the portal's message pages must never come from it).
    void switchOffHttpCache();
    void quit();

signals:
    void mainWindowOpened(MainWindow *window);
    void finished();

private:
    void openLoginWindow(bool allowAutoLogin);
    void openMainWindow(const QString &userName);
    void windowGone();

    PortalApi *m_api;
    SettingsNotice *m_settingsNotice;
    DownloadHandler *m_downloads;
    QPointer<LoginWindow> m_loginWindow;
    QPointer<MainWindow> m_mainWindow;
    // The current windows, only compared: whether the one that went was one
    // of them (a QPointer is already empty when its window's destroyed()
    // arrives).
    const QObject *m_currentLogin = nullptr;
    const QObject *m_currentMain = nullptr;
    bool m_finished = false;
};
