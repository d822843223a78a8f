#include "messagedialog.h"
#include "core/bridgejson.h"
#include "core/endpoints.h"
#include "core/logging.h"
#include "web/bridgeobject.h"
#include "web/webview.h"
#include <QDesktopServices>
#include <QWebEngineSettings>

MessageDialog::MessageDialog(QWebEngineProfile *profile, QWidget *parent)
    : FramelessDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(440, 380);
    m_view = new WebView(profile, this);
    m_view->page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    connect(installBridge(m_view), &BridgeObject::messageReceived, this, &MessageDialog::openAddress);
    m_view->load(Endpoints::url(Endpoints::Address::SiteMessages));
    setupFrame(tr("消息"), m_view);
}

void MessageDialog::openAddress(int code, const QString &str, const QString &json)
{
    // The third value is an address as it stands, not JSON.
    const QUrl url(json);
    qCDebug(lcWeb).noquote() << "QDebugmain" << code << bridgeJsonForLog(str) << Endpoints::urlForLog(url);
    if (!Endpoints::isWebAddress(url)) {
        qCWarning(lcWeb).noquote() << "site message asked to open a non-web address; ignored:"
                                   << Endpoints::urlForLog(url);
        return;
    }
    if (m_view->allowOpen(QStringLiteral("browser ") + Endpoints::urlForLog(url)))
        QDesktopServices::openUrl(url);
}
