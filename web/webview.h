#pragma once
#include <QWebEnginePage>
#include <QWebEngineView>

// The one web view of the client: every page it shows sits in one of these.
// No context menu, plugins and accelerated 2D canvas on, and pages that ask
// for a new tab get a window of their own.
class WebView : public QWebEngineView
{
    Q_OBJECT

public:
    explicit WebView(QWidget *parent = nullptr);
    ~WebView() override;

signals:
    // Declared for the owners that wire them; the view itself emits none.
    void webActionEnabledChanged(QWebEnginePage::WebAction webAction, bool enabled);
    void favIconChanged(const QIcon &icon);
    void devToolsRequested(QWebEnginePage *source);
    void SigSendMessageToJS(QString strParameter);
    void opennewpage(WebView *webview);

protected:
    // A new tab becomes a 1600 x 900 window that frees itself when closed;
    // popups, new windows and background tabs load in this view instead.
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;
};
