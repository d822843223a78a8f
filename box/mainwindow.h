#pragma once
#include <QWidget>
#include <QList>
#include <QPointer>

class AltAccounts;
class BossKey;
class DetachedGames;
class FramelessMover;
class MainMenu;
class MessageDialog;
class GamePage;
class PortalApi;
class TrayIcon;
class QAction;
class Reminders;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;
class SignInDialog;
class TabWidget;
class TopBar;
class UpdateChecker;
class WebView;

// The box itself: a frameless, rounded window with a top bar, the tabs of
// portal and game pages and a bottom bar. It owns its tabs and wires what
// each page asks for in one place (setupPage). It carries the boss key (hide
// into the tray, muted) and the full-screen key. Deletes itself when closed.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBorderWidth = 5;
    static constexpr int kFixedTabs = 2; // "Kavo首页" and "找游戏"
    static constexpr int kSearchTab = 1;

    MainWindow(const QString &userName, PortalApi *api);
    ~MainWindow() override;

    // Removes a tab but keeps its page, for a page that lives on elsewhere.
    void detachTab(int index);
    // A game page already wired to this window (one coming back from a
    // window of its own) as the current tab.
    void addGameTab(GamePage *page, const QString &title);
    int currentTabIndex() const;
    void switchToSearchTab();
    // Whether the window counts as maximised; the zoom icon follows.
    void setMaximizedFlag(bool maximized);
    bool maximizedFlag() const { return m_maximized; }
    // The boss key: mutes every page and hides the window behind a tray icon.
    void hideToTray();
    // Back from the tray (or wherever it went): shown, raised and active,
    // maximised or at normal size, never left minimised.
    void bringBack(bool maximized);
    void toggleFullScreen();
    // Up front as the user left it: a hidden box comes back as with the
    // tray's "还原", a minimised one as it was before, a maximised one stays so.
    void comeToFront();

    QString userName() const { return m_userName; }
    QTabWidget *tabWidget() const;
    GamePage *homePage() const;
    GamePage *searchPage() const;
    QPushButton *bossKeyButton() const;
    QPushButton *fullScreenKeyButton() const;
    UpdateChecker *updateChecker() const { return m_updateChecker; }
    Reminders *reminders() const { return m_reminders; }
    DetachedGames *detachedGames() const { return m_detachedGames; }

signals:
    // The user ends the client from here (the tray's "退出").
    void quitRequested();
    // A page that must not come from a cache is about to load (the portal's
    // message and sign-in pages): the whole profile goes without one.
    void noHttpCacheWanted();
    // "切换账号": a fresh login window, then this window goes.
    void switchAccountRequested();

public slots:
    void createTab(QString title, QString url, WebView *webview = nullptr);
    void closeTab(int index);
    // "消息": opens the site messages inside the window, or closes them.
    void btn_message();
    // The sign-in page in a window of its own, over this one.
    void openSignIn();
    // An entry of the system or account menu, by its text.
    void trigerMenu(QAction *act);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    GamePage *addFixedTab(const QUrl &url, const QString &title, const QString &icon);
    void setupPage(GamePage *page);
    void enterGame(const QString &title, const QString &url);
    void onCurrentTabChanged(int index);
    void onSettingChanged(const QString &group, const QString &key);
    void askToQuit();
    void toggleMaximized();

    QString m_userName;
    bool m_maximized = false;
    bool m_searchTabReloaded = false;

    TopBar *m_topBar = nullptr;
    TabWidget *m_tabWidget = nullptr;
    QPointer<GamePage> m_homePage;
    QPointer<GamePage> m_searchPage;
    QPointer<MessageDialog> m_messageDialog;
    QList<QPointer<SignInDialog>> m_signInDialogs; // top-level, closed with this window
    MainMenu *m_menu = nullptr;
    FramelessMover *m_mover = nullptr;
    UpdateChecker *m_updateChecker = nullptr;

    BossKey *m_bossKey = nullptr;
    Reminders *m_reminders = nullptr;
    AltAccounts *m_altAccounts = nullptr;
    DetachedGames *m_detachedGames = nullptr;

    // Gives memory back once the renderers of closed tabs are gone.
    QTimer *m_memoryTimer = nullptr;
};
