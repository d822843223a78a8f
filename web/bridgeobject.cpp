#include "bridgeobject.h"
#include <QWebChannel>
#include <QWebEngineView>

BridgeObject::BridgeObject(QObject *parent)
    : QObject(parent)
{
}

void BridgeObject::JSSendMessage(int code, QString str, QString json)
{
    emit messageReceived(code, str, json);
}

BridgeObject *installBridge(QWebEngineView *view)
{
    QWebEnginePage *page = view->page();
    auto *channel = new QWebChannel(page);
    auto *bridge = new BridgeObject(view);
    channel->registerObject(QStringLiteral("interactObj"), bridge);
    page->setWebChannel(channel);
    return bridge;
}
