#pragma once
#include "core/openlimiter.h"
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

    // Whether the page may open `what` (a tab, a window, a dialog, a system
    // browser address) now: at most OpenLimiter::kPerSecond a second.
    bool allowOpen(const QString &what);

signals:
    // Declared for the owners that wire them; the view itself emits none.
    void webActionEnabledChanged(QWebEnginePage::WebAction webAction, bool enabled);
    void favIconChanged(const QIcon &icon);
    void devToolsRequested(QWebEnginePage *source);
    void SigSendMessageToJS(QString strParameter);
    void opennewpage(WebView *webview);

protected:
    // A new tab becomes a 1600 x 900 window that frees itself when closed
    // (within the page's limit; beyond it none opens); popups, new windows
    // and background tabs load in this view instead.
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;

private:
    OpenLimiter m_openLimiter;
};
