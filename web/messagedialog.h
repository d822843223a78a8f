#pragma once
#include "widgets/framelessdialog.h"

class BridgeObject;
class WebView;

// The portal's site messages, in a dialog drawn inside the main window. A
// message from its page carries an address, which opens in the system
// browser (web addresses only). Freed when closed, with its page.
class MessageDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit MessageDialog(QWidget *parent = nullptr);

private:
    void onMessage(int code, const QString &str, const QString &json);

    BridgeObject *m_bridgeObject = nullptr;
    WebView *m_view = nullptr;
};
