#pragma once
#include "account/loginwindow.h"
#include "web/bridgeobject.h"
#include "web/webview.h"
#include <QtTest>

inline BridgeObject *bridgeOf(QWebEngineView *view)
{
    return view->findChild<BridgeObject *>();
}

// Waits until the window's handler has seen a message with this code.
inline bool waitForCode(QSignalSpy &spy, int code, int msec = 10000)
{
    return QTest::qWaitFor([&] {
        for (const QList<QVariant> &message : qAsConst(spy)) {
            if (message.at(0).toInt() == code)
                return true;
        }
        return false;
    }, msec);
}

// The demo portal's login page, loaded and showing its form (code 17).
inline bool waitForLoginPage(LoginWindow *login)
{
    QSignalSpy loaded(login->webView(), &QWebEngineView::loadFinished);
    QSignalSpy received(bridgeOf(login->webView()), &BridgeObject::messageReceived);
    return loaded.wait(20000) && loaded.last().first().toBool() && waitForCode(received, 17);
}
