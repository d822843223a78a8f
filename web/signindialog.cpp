#include "signindialog.h"
#include "core/endpoints.h"
#include "web/bridgeobject.h"
#include "web/webview.h"

SignInDialog::SignInDialog(QWebEngineProfile *profile)
    : FramelessDialog(nullptr)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(730, 480);
    auto *view = new WebView(profile, this);
    installBridge(view); // the page finds its channel; what it says needs no answer
    view->load(Endpoints::url(Endpoints::Address::SignIn));
    setupFrame(tr("签到"), view);
}
