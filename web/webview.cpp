#include "webview.h"
#include "app/clientwindows.h"
#include "core/logging.h"
#include "web/webpage.h"
#include <QMainWindow>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

WebView::WebView(QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new WebPage(QWebEngineProfile::defaultProfile(), this));
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

    auto *view = new WebView(this);
    auto *window = new QMainWindow;
    markClientWindow(window);
    // Nobody keeps a reference to these windows, so each one is its own owner.
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setCentralWidget(view);
    // Window switchers and screen readers name the window after its page.
    connect(view, &QWebEngineView::titleChanged, window, &QWidget::setWindowTitle);
    window->resize(1600, 900);
    window->show();
    qCDebug(lcWeb) << "new tab opens in a window of its own";
    return view;
}
