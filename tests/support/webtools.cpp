#include "webtools.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>

namespace {
QWebEngineProfile *s_profile = nullptr;
}

QWebEngineProfile *testProfile()
{
    return s_profile;
}

void setTestProfile(QWebEngineProfile *profile)
{
    s_profile = profile;
}

QByteArray testPage(const QString &path)
{
    QFile file(QStringLiteral(KAVO_TESTS_DIR "/") + path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("test page %s is missing", qPrintable(file.fileName()));
    return file.readAll();
}

QVariant runJs(QWebEnginePage *page, const QString &script, int msec)
{
    // Shared with the callback, which may run after a time-out returned.
    auto state = QSharedPointer<QPair<bool, QVariant>>::create(false, QVariant());
    page->runJavaScript(script, [state](const QVariant &value) {
        state->first = true;
        state->second = value;
    });
    return QTest::qWaitFor([&] { return state->first; }, msec) ? state->second : QVariant();
}

QString jsString(const QString &text)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

bool clickElement(QWebEngineView *view, const QString &selector, Qt::MouseButton button,
                  Qt::KeyboardModifiers modifiers)
{
    const QString script = QStringLiteral("(function(){const e=document.querySelector(%1);if(!e)return null;"
                                          "const r=e.getBoundingClientRect();"
                                          "return [Math.round(r.left+r.width/2),Math.round(r.top+r.height/2)];})()")
                               .arg(jsString(selector));
    QVariantList centre;
    if (!QTest::qWaitFor([&] {
            centre = runJs(view->page(), script).toList();
            return centre.size() == 2;
        }, 10000))
        return false;
    QWidget *target = view->focusProxy() ? view->focusProxy() : view;
    const QPoint at(centre.at(0).toInt(), centre.at(1).toInt());
    QTest::mouseMove(target, at);
    QTest::mouseClick(target, button, modifiers, at);
    return true;
}

void sendFromPage(QWebEngineView *view, int code, const QString &params)
{
    runJs(view->page(), QStringLiteral("kavoBridge.send(%1, 'test', %2)").arg(code).arg(params));
}

QVariantList nextMessage(QSignalSpy &messages, int code, int *from, int msec)
{
    int next = from ? *from : 0;
    QVariantList found;
    static_cast<void>(QTest::qWaitFor([&] { // the caller checks what was found
        for (; found.isEmpty() && next < messages.size(); ++next) {
            if (messages.at(next).at(0).toInt() == code)
                found = messages.at(next);
        }
        return !found.isEmpty();
    }, msec));
    if (from)
        *from = next;
    return found;
}

bool waitForLoad(QWebEngineView *view, int msec)
{
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    return loaded.wait(msec) && loaded.last().first().toBool();
}
