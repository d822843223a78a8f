#pragma once
#include <QPointer>
#include <QUrl>
#include <QWidget>

class BridgeObject;
struct BridgeMessage;
struct PageRequest;
class QAction;
class QToolButton;
class QWebEngineProfile;
class WebView;

// One tab of the main window, and the tab's widget: a row of client tools
// above the web view of a portal or game page. It handles the page's bridge
// messages and load results, and asks its owner for everything else (tabs,
// the boss key, the search tab, reminders, detaching) by signals, which the
// owner wires in one place. Freed with its view, renderer and bridge.
class GamePage : public QWidget
{
    Q_OBJECT

public:
    // The fixed tabs ("Kavo首页", "找游戏") leave out detaching and muting.
    enum class Kind { Home, Search, Game };

    // Starts loading url at once.
    GamePage(const QUrl &url, const QString &title, Kind kind, QWebEngineProfile *profile, QWidget *parent = nullptr);
    ~GamePage() override;

    Kind kind() const { return m_kind; }
    bool isFixed() const { return m_kind != Kind::Game; }
    QString title() const { return m_title; }
    // The address the page was opened with; the view may have moved on.
    QUrl address() const { return m_address; }
    WebView *webView() const { return m_view; }
    QWebEngineProfile *profile() const;
    BridgeObject *bridgeObject() const { return m_bridge; }

    void reload();
    // The page's zoom, this tab's own: in and out by the step of Ctrl+wheel,
    // or back to 100 %.
    void zoomIn();
    void zoomOut();
    void resetZoom();
    // Through the page's history, where there is a step to take.
    void back();
    void forward();
    // "静音": the user's own choice for this page.
    void toggleMuted();
    // The boss key: silent whatever the user chose, until it is lifted.
    void setSilenced(bool silenced);
    // In a window of its own: no toolbar, the view all but edge to edge.
    void setDetached(bool detached);
    // Its window has no main window any more (after "切换账号"): what only a
    // main window can do (tabs, the search tab, reminders) is dropped.
    void setStandalone();

signals:
    void openTabRequested(const QString &title, const QUrl &url);
    // A tab, and the box maximised: the player is going into a game.
    void enterGameRequested(const QString &title, const QUrl &url);
    void searchTabRequested();
    void bossKeyRequested();
    void signInRequested();
    // "清理": the web cache's size, and clearing it.
    void clearCacheRequested();
    // "窗口分离": this page into a window of its own.
    void detachRequested();
    // "小号": the alt accounts.
    void altAccountsRequested();
    // "闹钟": the list of reminders.
    void remindersRequested();
    // The page offers a reminder of a server's opening (time in Unix seconds).
    void reminderRequested(const QString &game, const QString &server, qint64 time);

private:
    QWidget *createToolbar();
    void handleBridgeMessage(int code, const QString &str, const QString &json);
    bool hasOwner(int code) const;
    void openTab(const PageRequest &request, int code);
    void applyMuted();
    void setZoom(qreal factor);

    Kind m_kind;
    QString m_title;
    QUrl m_address;
    WebView *m_view = nullptr;
    BridgeObject *m_bridge = nullptr;
    QWidget *m_toolbar = nullptr;
    QAction *m_muteAction = nullptr;
    bool m_userMuted = false;
    bool m_silenced = false;
    bool m_standalone = false;
};
