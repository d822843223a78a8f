#include "signindialog.h"
#include "app/clientwindows.h"
#include "core/endpoints.h"
#include "web/bridgeobject.h"
#include "web/webview.h"

SignInDialog::SignInDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    if (!parent)
        markClientWindow(this);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(730, 480);
    m_view = new WebView;
    installBridge(m_view); // the page finds its channel; what it says needs no answer
    m_view->load(Endpoints::url(Endpoints::Address::SignIn));
    setTitle(tr("签到"));
    setupFrame(m_view);
}
