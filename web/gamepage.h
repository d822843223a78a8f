#pragma once
#include <QPointer>
#include <QUrl>
#include <QWidget>

class MainWindow;
struct PageRequest;
class QMetaMethod;
class QToolButton;
class BridgeObject;
class WebView;

// One tab of the main window, and the tab's widget: a row of client tools
// above the web view of a portal or game page. It handles the page's bridge
// messages and load results, and asks its owner for everything else (tabs,
// the tray, the search tab, reminders, detaching) by signals, which the owner
// wires in one place. Closing the tab frees it with its view, renderer and
// bridge.
class GamePage : public QWidget
{
    Q_OBJECT

public:
    explicit GamePage(QWidget *parent = nullptr);
    ~GamePage() override;

    void setUrl(const QString &url);
    // Builds the toolbar and the view: existingView when given (it keeps its
    // bridge), else a fresh view loading the address given to setUrl.
    // hideExtras leaves out detaching and muting (the fixed tabs). Returns
    // this page, laid out; mainWindow is only the window it is built for.
    QWidget *createPageWidget(MainWindow *mainWindow, const QString &title, int hideExtras, WebView *existingView);

    // In a window of its own: no toolbar, the view all but edge to edge.
    void setDetached(bool detached);

    WebView *webView() const;
    QString pageUrl() const { return m_pageUrl; }
    QString pageTitle() const { return m_pageTitle; }
    BridgeObject *bridgeObject() const;

signals:
    // Reaches the page (connected to its bridge).
    void SigSendMessageToJS(QString strParameter);
    void openTabRequested(const QString &title, const QString &url);
    // A tab for a view the page opened itself ("充值" and the like).
    void openViewRequested(const QString &title, WebView *view);
    // A tab, and the box maximised: the player is going into a game.
    void enterGameRequested(const QString &title, const QString &url);
    void searchTabRequested();
    void hideToTrayRequested();
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

public slots:
    void OnReceiveMessageFromJS(int code, QString str, QString json);
    void maploadfinish(bool finish);
    void urlchange(const QUrl &url);
    void btn_boss();
    void btn_open_pay();
    void btn_open_kefu();
    void btn_open_gift();
    void btn_reload();
    void btn_mute();
    void btn_separationWindow();
    void btn_clearDialog();
    void addpage(WebView *view);

private:
    bool hasTaker(const QMetaMethod &signal, const QString &request) const;
    void adoptView(WebView *view);
    void updateMuteIcon(bool muted);
    void openTab(const PageRequest &request, int code);

    QString m_pageUrl;
    QString m_pageTitle;
    QString m_pendingUrl;
    QPointer<WebView> m_view;
    QPointer<BridgeObject> m_bridgeObject;
    QToolButton *m_muteButton = nullptr;
    QWidget *m_toolbar = nullptr;
};
