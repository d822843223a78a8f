#pragma once
#include "core/config.h"
#include "core/portalapi.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include <QList>
#include <QPointer>

class MainWindow;

// What a test of the box needs before its first check: a data folder of its
// own with the run's settings (default hotkeys in place), the portal API,
// the demo portal for every role, and main windows made on them. The
// windows go with the fixture, or earlier with closeWindows().
class BoxFixture
{
public:
    BoxFixture();
    ~BoxFixture();

    // Starts the demo portal and points every role at it.
    bool startPortal(const QStringList &options = {});
    // A main window for user on this fixture's settings and the test profile;
    // shown and exposed when show is true.
    MainWindow *openWindow(bool show = true, const QString &user = QStringLiteral("tester"));
    // Deletes the windows made here, and what they left to delete later.
    void closeWindows();

    TempDataDir data;
    Config config;
    PortalApi api;
    PortalProcess portal;

private:
    QList<QPointer<MainWindow>> m_windows;
};
