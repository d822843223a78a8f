#pragma once
#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>

class MainWdiget;
class QToolButton;
class TInteractObj;
class WebView;

// One tab of the main window: a row of client tools above the web view of a
// portal or game page. It handles the view's bridge messages and load
// results, and it lives exactly as long as the widget it builds (closing the
// tab frees both); the PageWeb widget itself is never shown.
class PageWeb : public QWidget
{
    Q_OBJECT

public:
    explicit PageWeb(QWidget *parent = nullptr);
    ~PageWeb() override;

    void setUrl(const QString &url);
    // Builds the toolbar and the view: existingView when given (its bridge
    // and load handling move to this object), else a fresh view loading the
    // address given to setUrl. hideExtras leaves out detaching and muting (the
    // fixed tabs). The caller owns the returned widget.
    QWidget *createPageWidget(MainWdiget *mainWindow, const QString &title, int hideExtras, WebView *existingView);

    WebView *webView() const;
    QWidget *pageWidget() const;
    QString pageUrl() const { return m_pageUrl; }
    QString pageTitle() const { return m_pageTitle; }
    QToolButton *muteButton() const { return m_muteButton; }
    TInteractObj *bridgeObject() const;

signals:
    // Reaches the page (connected to its bridge).
    void SigSendMessageToJS(QString strParameter);

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
    void addpage(WebView *view);

private:
    void adoptView(WebView *view);
    void releaseView();
    void updateMuteIcon(bool muted);
    void openTab(const QJsonObject &parameters, bool enterGame);

    QString m_pageUrl;
    QString m_pageTitle;
    QString m_pendingUrl;
    QPointer<MainWdiget> m_mainWindow;
    QPointer<WebView> m_view;
    QPointer<TInteractObj> m_bridgeObject;
    QPointer<QWidget> m_pageWidget;
    QToolButton *m_muteButton = nullptr;
    // Everything wired to the view and its bridge, dropped when another
    // PageWeb takes the view over.
    QList<QMetaObject::Connection> m_viewConnections;
};
