#pragma once
#include <QObject>
#include <QString>

class QWebEngineView;

// The one object a portal page can reach, published on the page's web channel
// as "interactObj". It forwards what the page sends unchanged; the owner of
// the page decides what a message means and checks its parameters.
class BridgeObject : public QObject
{
    Q_OBJECT

public:
    explicit BridgeObject(QObject *parent = nullptr);

    // Called by the page: the first argument is the message code. The name
    // is the one the portal's pages call.
    Q_INVOKABLE void JSSendMessage(int code, QString str, QString json);

signals:
    void messageReceived(int code, const QString &str, const QString &json);
    // Emitted towards the page, which listens to it under this name.
    void SigSendMessageToJS(QString message);
};

// Sets up the bridge of a view before it loads anything: a channel on the
// view's page with a fresh BridgeObject registered as "interactObj". Channel
// and bridge belong to the view, so a page never outlives its bridge and a
// bridge never outlives its page.
BridgeObject *installBridge(QWebEngineView *view);
