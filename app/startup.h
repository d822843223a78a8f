#pragma once
#include <QByteArray>
#include <QStringList>

class QTranslator;

// The steps of start-up that set process-wide state, in the order main()
// runs them.

// Chromium refuses to run as root unless its sandbox is off. True when the
// process is root and nothing has switched the sandbox off yet.
bool sandboxMustBeDisabled(bool isRoot, const QByteArray &disableSandboxVar, const QByteArray &chromiumFlags);
// Before the application object: switches the sandbox off for this process
// (with one warning) when sandboxMustBeDisabled says so.
void disableSandboxWhenRoot();

// "微软雅黑" 9 pt for every widget, and the installed CJK faces standing in
// for it (and for "Microsoft YaHei") where it is missing, as on Linux.
void applyApplicationFont();
QStringList cjkFallbackFamilies();

// Loads the first translation that matches one of the interface languages
// and installs it. False when none matched (nothing is installed).
bool installTranslation(QTranslator *translator, const QStringList &uiLanguages);

// SIGTERM and SIGINT (a session logging out, Ctrl+C in a terminal) end the
// event loop like a normal quit, so windows and pages still close in order.
// Does nothing where there are no such signals.
void quitOnTerminationSignals();
