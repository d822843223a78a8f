#include "boxfixture.h"
#include "box/mainwindow.h"
#include "support/webtools.h"
#include <QtTest>

BoxFixture::BoxFixture()
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
    auto *window = new MainWindow(user, &config, &api, testProfile());
    m_windows.append(window);
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
}
