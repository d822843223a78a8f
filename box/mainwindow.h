#pragma once
#include <QList>
#include <QPointer>
#include <QWidget>

class AltAccounts;
class BossKey;
class BoxActions;
class Config;
class DetachedGames;
class DetachedWindow;
class GamePage;
class MainMenu;
class MessageDialog;
class PortalApi;
class Profiles;
class QTimer;
class QWebEngineProfile;
class Reminders;
class TabWidget;
class TopBar;
class UpdateChecker;

// The box itself: a frameless, rounded window with a top bar, the tabs of
// portal and game pages and a bottom bar. Its tab widget owns the tabs; the
// window wires what each page asks for in one place (setupPage) and answers
// every command of its actions in one place (setupActions). It carries the
// boss key (hide into the tray, silenced) and the full-screen key. Deletes
// itself when closed.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBorderWidth = 5;

    MainWindow(const QString &userName, Config *config, PortalApi *api, Profiles *profiles, Reminders *reminders);
    ~MainWindow() override;

    QString userName() const { return m_userName; }
    TabWidget *tabs() const { return m_tabs; }
    BoxActions *actions() const { return m_actions; }
    UpdateChecker *updateChecker() const { return m_updateChecker; }
    Reminders *reminders() const { return m_reminders; }
    DetachedGames *detachedGames() const { return m_detachedGames; }

    // A game tab, made current.
    GamePage *openGame(const QString &title, const QUrl &url);
    // The same, and the box brought to the front as the user left it.
    void openGameInFront(const QString &title, const QUrl &url);
    // Whether the window counts as maximised; the zoom icon follows.
    void setMaximizedFlag(bool maximized);
    bool maximizedFlag() const { return m_maximized; }
    // The boss key: silences every page and hides the window behind a tray icon.
    void hideToTray();
    // Back from the tray (or wherever it went): shown, raised and active,
    // maximised or at normal size, never left minimised.
    void bringBack(bool maximized);
    // The full-screen key: the active window of the box, this one or a
    // detached game, in or out of full screen, and back as it was.
    void toggleFullScreen();
    // Up front as the user left it: a hidden box comes back as with the
    // tray's "还原", a minimised one as it was before, a maximised one stays so.
    void comeToFront();

signals:
    // The user ends the client from here (the tray's "退出", a forced update).
    void quitRequested();
    // A page that must not come from a cache is about to load (the portal's
    // message and sign-in pages): the whole profile goes without one.
    void noHttpCacheWanted();
    // "切换账号": a fresh login window, then this window goes.
    void switchAccountRequested();
    // A game went into a window of its own, which may outlive this one.
    void detachedWindowOpened(DetachedWindow *window);

protected:
    // The window manager's close (Alt+F4, its close button) asks as the
    // close icon does; the box's own closes (switching accounts) do not.
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setupFrame();
    void restorePlace();
    void savePlace();
    void setupActions();
    void applyChangedHotkey(const QString &group, const QString &key);
    void setupPage(GamePage *page);
    void enterGame(const QString &title, const QUrl &url, QWebEngineProfile *profile);
    void detach(GamePage *page);
    void silenceAll(bool silenced);
    void toggleMessages();
    void openSignIn();
    void openCacheDialog();
    void confirmQuit();
    void toggleMaximized();
    void onCurrentTabChanged(int index);

    QString m_userName;
    Config *m_config;
    PortalApi *m_api;
    Profiles *m_profiles;
    bool m_maximized = false;
    bool m_searchTabReloaded = false;
    bool m_quitConfirmed = false;
    bool m_shown = false;

    BoxActions *m_actions = nullptr;
    TopBar *m_topBar = nullptr;
    TabWidget *m_tabs = nullptr;
    MainMenu *m_menu = nullptr;
    UpdateChecker *m_updateChecker = nullptr;
    BossKey *m_bossKey = nullptr;
    Reminders *m_reminders = nullptr;
    AltAccounts *m_altAccounts = nullptr;
    DetachedGames *m_detachedGames = nullptr;
    QPointer<MessageDialog> m_messageDialog;
    // Windows of their own opened from here (sign-in, cleaning): they go with this one.
    QList<QPointer<QWidget>> m_ownWindows;

    // Gives memory back once the renderers of closed tabs are gone.
    QTimer *m_memoryTimer = nullptr;
};
