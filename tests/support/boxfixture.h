#pragma once
#include "core/config.h"
#include "core/portalapi.h"
#include "reminder/reminders.h"
#include "web/profiles.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include <QList>
#include <QPointer>

class HttpFixture;
class MainWindow;

// Canned home, search and update answers on http, and every portal role
// pointed at it: enough for a main window that needs no demo portal.
void serveBareBox(HttpFixture &http);

// What a test of the box needs before its first check: a data folder of its
// own with the run's settings (default hotkeys in place), the portal API,
// the reminders (not armed until a test asks), the demo portal for every
// role, and main windows made on them. The
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
    // Deletes the windows made here, and what they left to delete later, and
    // forgets where they were left.
    void closeWindows();

    TempDataDir data;
    Config config;
    PortalApi api;
    Reminders reminders{&api, nullptr};
    Profiles profiles;
    PortalProcess portal;

private:
    QList<QPointer<MainWindow>> m_windows;
};
