#pragma once
#include <QList>
#include <QObject>
#include <QUrl>

// Stands in for the system browser (and the file manager) while it exists:
// every address the client hands to QDesktopServices lands in urls.
class BrowserCatcher : public QObject
{
    Q_OBJECT
public:
    BrowserCatcher();
    ~BrowserCatcher() override;
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url);
};
