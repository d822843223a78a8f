#pragma once
#include "core/openlimiter.h"
#include <QWebEnginePage>
#include <QWebEngineView>

class QWebEngineProfile;

// The one web view of the client: every page it shows sits in one of these,
// in the web profile its owner gives it. No context menu, plugins and
// accelerated 2D canvas on, and pages that ask for a new tab get a window of
// their own, in the same profile.
class WebView : public QWebEngineView
{
    Q_OBJECT

public:
    WebView(QWebEngineProfile *profile, QWidget *parent);
    ~WebView() override;

    // Whether the page may open `what` (a tab, a window, a dialog, a system
    // browser address) now: at most OpenLimiter::kPerSecond a second.
    bool allowOpen(const QString &what);

protected:
    // A new tab becomes a 1600 x 900 window that frees itself when closed,
    // and goes with this view (within the page's limit; beyond it none
    // opens); popups, new windows and background tabs load in this view.
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;

private:
    OpenLimiter m_openLimiter;
};
