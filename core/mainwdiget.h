#pragma once
#include "core/basewidget.h"
#include "core/windowzones.h"
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QPointer>

class PageWeb;
class QLabel;
class QNetworkReply;
class QPushButton;
class QTabWidget;
class TabWidget;
class QTimer;
class QToolButton;
class QWebEnginePage;
class WebView;

// The box itself: a frameless, rounded window with a top bar, the tabs of
// portal and game pages and a bottom bar. It moves and resizes itself from
// presses on its borders and title zone, and carries the boss key (hide into
// the tray, muted) and the full-screen key. Deletes itself when closed.
class MainWdiget : public BaseWidget
{
    Q_OBJECT

public:
    static constexpr int kBorderWidth = 5;
    static constexpr int kFixedTabs = 2; // "Kavo首页" and "找游戏"
    static constexpr int kSearchTab = 1;

    explicit MainWdiget(const QString &userName);
    ~MainWdiget() override;

    // Removes a tab but keeps its widget, for a page that lives on elsewhere.
    void detachTab(int index);
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

    QString userName() const { return m_userName; }
    QTabWidget *tabWidget() const;
    PageWeb *homePage() const;
    PageWeb *searchPage() const;
    QPushButton *bossKeyButton() const { return m_bossKeyButton; }
    QPushButton *fullScreenKeyButton() const { return m_fullScreenKeyButton; }
    int updateVersionCode() const { return m_versionCode; }

public slots:
    void requestFinished(QNetworkReply *reply);
    void createTab(QString title, QString url, WebView *webview = nullptr);
    void closeTab(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *createTopBar();
    QWidget *createBottomBar();
    PageWeb *addFixedTab(const QUrl &url, const QString &title, const QString &icon);
    void onCurrentTabChanged(int index);
    void toggleMaximized();
    void updateZoomIcon();
    void handleWindowMouse(QEvent *event);
    void muteForBossKey();
    void muteUntilBack(QWebEnginePage *page);
    void restoreMuteStates();

    QString m_userName;
    QJsonObject m_updateInfo;
    int m_versionCode = 0; // "检查更新" answers "up to date" until a reply says otherwise
    bool m_maximized = false;
    bool m_searchTabReloaded = false;

    TabWidget *m_tabWidget = nullptr;
    QPointer<PageWeb> m_homePage;
    QPointer<PageWeb> m_searchPage;
    QLabel *m_minLabel = nullptr;
    QLabel *m_zoomLabel = nullptr;
    QLabel *m_closeLabel = nullptr;
    QPushButton *m_menuButton = nullptr;
    QPushButton *m_accountButton = nullptr;
    QPushButton *m_bossKeyButton = nullptr;
    QPushButton *m_fullScreenKeyButton = nullptr;
    QToolButton *m_messageButton = nullptr;

    // Each page's own mute state while the boss key keeps them all muted.
    QList<QPair<QPointer<QWebEnginePage>, bool>> m_mutedByBossKey;
    bool m_bossKeyActive = false;

    // Gives memory back once the renderers of closed tabs are gone.
    QTimer *m_memoryTimer = nullptr;

    // The drag started by the last press.
    WindowZones::Zone m_dragZone = WindowZones::Zone::None;
    QRect m_pressGeometry;
    QPoint m_pressPos;
};
