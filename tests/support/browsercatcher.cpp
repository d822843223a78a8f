#include "browsercatcher.h"
#include <QDesktopServices>

namespace {
const char *const kSchemes[] = {"http", "https", "file"};
}

BrowserCatcher::BrowserCatcher()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
}

BrowserCatcher::~BrowserCatcher()
{
    for (const char *scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void BrowserCatcher::open(const QUrl &url)
{
    urls.append(url);
}
