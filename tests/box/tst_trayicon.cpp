#include "app/clientwindows.h"
#include "core/config.h"
#include "boxfixture.h"
#include "box/detachedgames.h"
#include "core/portalapi.h"
#include "support/desktopsession.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "web/detachedwindow.h"
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>

class TestTray : public TestCase
{
    Q_OBJECT
private:
    TempDataDir m_data;
    PortalProcess m_portal;
    PortalApi m_api;
    DesktopSession m_desktop;

    // Hides the box with the game toolbar's boss button and returns its tray.
    static QPointer<TrayIcon> hideWithBossButton(Box &box)
    {
        box.window->tabWidget()->widget(3)->findChild<QToolButton *>(QStringLiteral("bossButton"))->click();
        return trays().value(0);
    }

    static QSystemTrayIcon *trayIcon(TrayIcon *tray) { return tray->findChild<QSystemTrayIcon *>(); }

    // Back, visible and not minimised, with each page sounding as before.
    static bool isBack(const Box &box)
    {
        return box.window->isVisible() && !box.window->isMinimized() && trays().isEmpty() && box.ownStatesBack();
    }

private slots:
    void initTestCase()
    {
        ensureHotkeyDefaults();
        QVERIFY(m_portal.start());
        m_portal.useForAllRoles();
        QVERIFY2(m_desktop.start(), qPrintable(m_desktop.why()));
    }

    void cleanup() { deleteClientWindows(); }

    void bossKeyHidesIntoOneIconAndClicksBringItBack()
    {
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        QPointer<TrayIcon> tray = hideWithBossButton(box);
        QVERIFY(tray && !tray->isVisible() && !box.window->isVisible());
        QVERIFY(trayIcon(tray)->isVisible());
        QVERIFY(box.allMuted());

        // The right button opens the menu and nothing else.
        emit trayIcon(tray)->activated(QSystemTrayIcon::Context);
        QTest::qWait(100);
        QVERIFY(tray && !box.window->isVisible());
        // A game tab opened while hidden stays silent until the box is back.
        box.window->createTab(QStringLiteral("new"), m_portal.url(QStringLiteral("/game/xyj.html")).toString());
        QWebEnginePage *opened = qobject_cast<GamePage *>(box.window->tabWidget()->widget(4))->webView()->page();
        QVERIFY(opened->isAudioMuted());

        for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick}) {
            if (reason != QSystemTrayIcon::Trigger)
                tray = hideWithBossButton(box);
            emit trayIcon(tray)->activated(reason);
            QTRY_VERIFY(tray.isNull() && isBack(box));
            QVERIFY(!(box.window->windowState() & Qt::WindowMaximized));
            QVERIFY(!opened->isAudioMuted());
        }
    }

    void menuRestoresOrMaximisesWithATruthfulZoomIcon()
    {
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        box.window->bossKeyButton()->click(); // what its shortcut does
        QPointer<TrayIcon> tray = trays().value(0);
        QVERIFY(tray && !box.window->isVisible());
        QStringList entries;
        for (QAction *action : tray->findChild<QMenu *>()->actions())
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(entries, (QStringList{QStringLiteral("最大化"), QStringLiteral("还原"), QStringLiteral("-"), QStringLiteral("退出")}));

        QLabel *zoom = windowControl(box.window, QStringLiteral("最大化"));
        for (const bool maximise : {false, true, false}) {
            tray = trays().isEmpty() ? hideWithBossButton(box) : QPointer<TrayIcon>(trays().first());
            QCOMPARE(trays().size(), 1);
            tray->findChild<QMenu *>()->actions().at(maximise ? 0 : 1)->trigger();
            QTRY_VERIFY(tray.isNull() && isBack(box));
            QTRY_COMPARE(bool(box.window->windowState() & Qt::WindowMaximized), maximise);
            QCOMPARE(box.window->maximizedFlag(), maximise);
            QVERIFY(shows(zoom, maximise ? QStringLiteral("://img/zoom_in_1") : QStringLiteral("://img/zoom_in")));
        }
        // Restored from maximised, the next double click on the top bar maximises.
        QTest::mouseDClick(box.window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        QTRY_VERIFY(box.window->windowState() & Qt::WindowMaximized);
        QVERIFY(shows(zoom, QStringLiteral("://img/zoom_in_1")));
    }

    void comesBackAfterMinimiseAndRestoreByTheDesktop()
    {
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        QTest::mousePress(windowControl(box.window, QStringLiteral("最小化")), Qt::LeftButton);
        QTRY_VERIFY(box.window->isMinimized());
        // Back from the task bar: the window manager restores it, not the box.
        DesktopSession::xdotool({QStringLiteral("windowactivate"), QString::number(box.window->winId())});
        QTRY_VERIFY(!box.window->isMinimized());

        QPointer<TrayIcon> tray = hideWithBossButton(box);
        QVERIFY(tray);
        // A real click on the icon, as a user makes it: only input that comes
        // from the user lets the window manager activate the window.
        QRect icon;
        QTRY_VERIFY(!(icon = DesktopSession::trayIconOf(QCoreApplication::applicationPid())).isNull());
        DesktopSession::xdotool({QStringLiteral("mousemove"), QString::number(icon.center().x()),
                                 QString::number(icon.center().y()), QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY(tray.isNull() && isBack(box));
        QTest::qWait(300); // a late "iconified" from the window manager would come now
        QVERIFY(isBack(box));
        // It has the keyboard: the boss key, typed, hides it again.
        DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("alt+d")});
        QTRY_VERIFY(!box.window->isVisible() && trays().size() == 1);
    }

    void detachedGamesHideAndComeBackWithTheBox()
    {
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        for (int game = 0; game < 2; ++game)
            box.window->tabWidget()->widget(2)->findChild<QToolButton *>(QStringLiteral("detachButton"))->click();
        const QList<DetachedWindow *> detached = box.window->detachedGames()->windows();
        QCOMPARE(detached.size(), 2);
        for (DetachedWindow *window : detached)
            QVERIFY(QTest::qWaitForWindowExposed(window));
        detached.at(1)->showMaximized();
        QTRY_VERIFY(detached.at(1)->isMaximized());

        box.window->bossKeyButton()->click();
        QPointer<TrayIcon> tray = trays().value(0);
        QVERIFY(tray);
        QVERIFY(!detached.at(0)->isVisible() && !detached.at(1)->isVisible());
        QVERIFY(box.mutedGame->isAudioMuted() && box.loudGame->isAudioMuted());

        emit trayIcon(tray)->activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(isBack(box));
        QVERIFY(detached.at(0)->isVisible() && detached.at(1)->isVisible());
        QTRY_VERIFY(detached.at(1)->isMaximized());
    }

    void exitCleanUpWithTheIconShown()
    {
        // The clean-up at exit must leave the icon's own window to Qt; which
        // of the two went first changed from run to run.
        for (int round = 0; round < 20; ++round) {
            QPointer<TrayIcon> tray = new TrayIcon(nullptr);
            QVERIFY(trayIcon(tray)->isVisible());
            deleteClientWindows();
            QVERIFY(tray.isNull());
        }
    }
};
KAVO_TEST(TestTray)

#include "tst_trayicon.moc"
