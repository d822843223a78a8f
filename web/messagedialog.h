#pragma once
#include "widgets/framelessdialog.h"

class QWebEngineProfile;
class WebView;

// The portal's site messages, in a dialog drawn inside the main window. A
// message from its page carries an address, which opens in the system
// browser (web addresses only). Freed when closed, with its page.
class MessageDialog : public FramelessDialog
{
    Q_OBJECT

public:
    MessageDialog(QWebEngineProfile *profile, QWidget *parent);

private:
    void openAddress(int code, const QString &str, const QString &json);

    WebView *m_view = nullptr;
};
