#include "boxfixture.h"
#include "box/mainwindow.h"
#include "core/endpoints.h"
#include "support/httpfixture.h"
#include "support/webtools.h"
#include <QtTest>

BoxFixture::BoxFixture()
    : profiles(testProfile(), data.filePath(QStringLiteral("profiles")))
{
    config.ensureHotkeyDefaults();
}

BoxFixture::~BoxFixture()
{
    closeWindows();
}

bool BoxFixture::startPortal(const QStringList &options)
{
    if (!portal.start(options))
        return false;
    portal.useForAllRoles();
    return true;
}

MainWindow *BoxFixture::openWindow(bool show, const QString &user)
{
    auto *window = new MainWindow(user, &config, &api, &profiles, &reminders);
    m_windows.append(window);
    // As the owner of the run wires them: "进入游戏" on a notice.
    QObject::connect(&reminders, &Reminders::enterGameRequested, window, &MainWindow::openGameInFront);
    if (show) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("the main window was not exposed");
    }
    return window;
}

void BoxFixture::closeWindows()
{
    for (const QPointer<MainWindow> &window : std::exchange(m_windows, {}))
        delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The next test's window opens where a first one does.
    config.setValue(Settings::kWindowPlace, QString());
    config.setValue(Settings::kWindowMaximized, false);
}

void serveBareBox(HttpFixture &http)
{
    http.setBody(QStringLiteral("/landers.html"), "<title>home</title>home");
    http.setBody(QStringLiteral("/search.html"), "<title>search</title>search");
    http.setBody(QStringLiteral("/update/"), R"({"version_code":2,"force":0})", "application/json");
    for (Endpoints::Role role : Endpoints::roles())
        Endpoints::setHost(role, http.hostPort());
}
