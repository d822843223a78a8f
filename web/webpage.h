#pragma once
#include <QWebEnginePage>

// The page of every WebView: sends the page's console to the client's log
// (category "kavo.web.js"), where a broken portal script can be seen.
class WebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit WebPage(QWebEngineProfile *profile, QObject *parent = nullptr);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;
};
