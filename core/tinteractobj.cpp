#include "tinteractobj.h"
#include <QWebChannel>
#include <QWebEngineView>

TInteractObj::TInteractObj(QObject *parent)
    : QObject(parent)
{
}

void TInteractObj::JSSendMessage(int strParameter, QString str, QString json)
{
    emit SigReceivedMessFromJS(strParameter, str, json);
}

TInteractObj *installBridge(QWebEngineView *view)
{
    QWebEnginePage *page = view->page();
    auto *channel = new QWebChannel(page);
    auto *bridge = new TInteractObj(view);
    channel->registerObject(QStringLiteral("interactObj"), bridge);
    page->setWebChannel(channel);
    return bridge;
}
