#pragma once
#include <QPoint>
#include <QString>
#include <QVariant>

class PageWeb;
class QWidget;
class QWebEnginePage;
class QWebEngineView;

// Points the default web profile (the one the client's views use) at a
// folder of its own for this test run, so no cookie, cache or localStorage
// leaks in from an earlier run. Call before the first view is made.
void isolateDefaultProfile();

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

// The PageWeb that built a tab's widget (the widget a main-window tab holds).
PageWeb *pageWebOf(QWidget *pageWidget);
