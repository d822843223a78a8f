#pragma once
#include "account/loginwindow.h"
#include "web/bridgeobject.h"
#include "support/webtools.h"
#include "web/webview.h"
#include <QtTest>

inline BridgeObject *bridgeOf(QWebEngineView *view)
{
    return view->findChild<BridgeObject *>();
}

// The demo portal's login page, loaded and showing its form (code 17).
inline bool waitForLoginPage(LoginWindow *login)
{
    QSignalSpy loaded(login->webView(), &QWebEngineView::loadFinished);
    QSignalSpy received(bridgeOf(login->webView()), &BridgeObject::messageReceived);
    return loaded.wait(20000) && loaded.last().first().toBool() && !nextMessage(received, 17).isEmpty();
}
