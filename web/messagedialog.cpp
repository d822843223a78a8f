#include "messagedialog.h"
#include "core/logging.h"
#include "core/bridgejson.h"
#include "core/endpoints.h"
#include "web/bridgeobject.h"
#include "web/webview.h"
#include <QDesktopServices>
#include <QWebEngineSettings>

MessageDialog::MessageDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(440, 380);
    m_view = new WebView;
    m_view->page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    m_bridgeObject = installBridge(m_view);
    connect(m_bridgeObject, &BridgeObject::SigReceivedMessFromJS, this, &MessageDialog::onMessage);
    m_view->load(Endpoints::url(Endpoints::Address::SiteMessages));
    setTitle(tr("消息"));
    setupFrame(m_view);
}

void MessageDialog::onMessage(int code, const QString &str, const QString &json)
{
    // The third value is an address as it stands, not JSON.
    const QUrl url(json);
    qCDebug(lcWidgets).noquote() << "QDebugmain" << code << bridgeJsonForLog(str) << Endpoints::urlForLog(url);
    if (!Endpoints::isWebAddress(url)) {
        qCWarning(lcWidgets).noquote() << "site message asked to open a non-web address; ignored:"
                                       << Endpoints::urlForLog(url);
        return;
    }
    if (m_view->allowOpen(QStringLiteral("browser ") + Endpoints::urlForLog(url)))
        QDesktopServices::openUrl(url);
}
