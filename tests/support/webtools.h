#pragma once
#include <QPoint>
#include <QString>
#include <QVariant>

class QSignalSpy;
class QWidget;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

// The web profile the tests' views and clients use: one for the test run,
// in a folder of its own, so that no cookie, cache or localStorage leaks in
// from an earlier run. Made by the tests' main before any view, and gone
// after the last test.
QWebEngineProfile *testProfile();
void setTestProfile(QWebEngineProfile *profile);

// A page of the test sources, by its path under tests/ (e.g. "web/pages/talk.html").
QByteArray testPage(const QString &path);

// The result of a script, waiting up to msec; invalid on time-out.
QVariant runJs(QWebEnginePage *page, const QString &script, int msec = 10000);

// The text as a JavaScript string literal.
QString jsString(const QString &text);

// A real mouse click (a user gesture, unlike a scripted click) on the centre
// of the first element matching selector, once it exists. The view must be shown.
bool clickElement(QWebEngineView *view, const QString &selector, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Has a page that loaded the test bridge script send a message through its
// own bridge. params is JavaScript: an object, or a string sent as it stands.
void sendFromPage(QWebEngineView *view, int code, const QString &params);

// The arguments (code, str, json) of the next message with this code that a
// spy on BridgeObject::messageReceived holds, looking from *from on (which
// then moves past it), or from the first when from is null; empty when none
// came within msec.
QVariantList nextMessage(QSignalSpy &messages, int code, int *from = nullptr, int msec = 10000);

// Waits for the view's next load to finish; true when it succeeded.
bool waitForLoad(QWebEngineView *view, int msec = 20000);
