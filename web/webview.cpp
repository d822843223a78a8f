#include "webview.h"
#include "core/logging.h"
#include "web/webpage.h"
#include <QMainWindow>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

WebView::WebView(QWebEngineProfile *profile, QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new WebPage(profile, this));
    settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    settings()->setAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled, true);
    setContextMenuPolicy(Qt::NoContextMenu);
}

WebView::~WebView() = default;

bool WebView::allowOpen(const QString &what)
{
    return m_openLimiter.allow(what);
}

QWebEngineView *WebView::createWindow(QWebEnginePage::WebWindowType type)
{
    if (type != QWebEnginePage::WebBrowserTab) {
        qCDebug(lcWeb) << "new window of type" << type << "loads in the same view";
        return this;
    }
    if (!allowOpen(QStringLiteral("window")))
        return nullptr;

    auto *window = new QMainWindow;
    auto *view = new WebView(page()->profile(), window);
    // Closed by the user, it frees itself; otherwise it goes with the page
    // that opened it, so that no page outlives its profile.
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &QObject::destroyed, window, [window = QPointer<QMainWindow>(window)] { delete window.data(); });
    window->setCentralWidget(view);
    // Window switchers and screen readers name the window after its page.
    connect(view, &QWebEngineView::titleChanged, window, &QWidget::setWindowTitle);
    window->resize(1600, 900);
    window->show();
    qCDebug(lcWeb) << "new tab opens in a window of its own";
    return view;
}
