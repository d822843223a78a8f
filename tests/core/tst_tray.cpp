#include "app/clientwindows.h"
#include "app/config.h"
#include "core/portalapi.h"
#include "support/desktopsession.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "boxfixture.h"
#include "core/detachedgames.h"
#include "web/commonwidget.h"
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
    static QPointer<MyTray> hideWithBossButton(Box &box)
    {
        box.window->tabWidget()->widget(3)->findChild<QToolButton *>(QStringLiteral("bossButton"))->click();
        return trays().value(0);
    }

    static QSystemTrayIcon *trayIcon(MyTray *tray) { return tray->findChild<QSystemTrayIcon *>(); }

    static bool isBack(MainWdiget *window)
    {
        return window->isVisible() && !window->isMinimized();
    }

    // A real click on the icon, as a user makes it: only input that comes
    // from the user lets the window manager activate the window.
    static void clickTrayIcon()
    {
        const QRect icon = DesktopSession::trayIconOf(QCoreApplication::applicationPid());
        QVERIFY(!icon.isNull());
        DesktopSession::xdotool({QStringLiteral("mousemove"), QString::number(icon.center().x()),
                                 QString::number(icon.center().y()), QStringLiteral("click"), QStringLiteral("1")});
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

    void bossKeyHidesIntoOneIconAndAClickBringsItBack()
    {
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        QPointer<MyTray> tray = hideWithBossButton(box);
        QVERIFY(!box.window->isVisible());
        QCOMPARE(trays().size(), 1);
        QVERIFY(tray);
        QVERIFY(!tray->isVisible());
        QCOMPARE(trayIcon(tray)->toolTip(), QStringLiteral("Kavo游戏盒子"));
        QVERIFY(trayIcon(tray)->isVisible());
        QVERIFY(box.allMuted());

        emit trayIcon(tray)->activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(!(box.window->windowState() & Qt::WindowMaximized));
        QTRY_VERIFY(tray.isNull());
        QVERIFY(box.ownStatesBack());
    }

    void menuRestoresOrMaximises()
    {
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        box.window->bossKeyButton()->click(); // what its shortcut does
        QVERIFY(!box.window->isVisible());
        QPointer<MyTray> tray = trays().value(0);
        QVERIFY(tray);
        QStringList entries;
        for (QAction *action : tray->findChild<QMenu *>()->actions())
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(entries, (QStringList{QStringLiteral("最大化"), QStringLiteral("还原"), QStringLiteral("-"),
                                       QStringLiteral("退出")}));

        tray->findChild<QMenu *>()->actions().at(1)->trigger(); // 还原
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(!box.window->maximizedFlag());
        QTRY_VERIFY(tray.isNull());
        QVERIFY(box.ownStatesBack());

        tray = hideWithBossButton(box);
        QVERIFY(tray);
        QCOMPARE(trays().size(), 1);
        tray->findChild<QMenu *>()->actions().at(0)->trigger(); // 最大化
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(box.window->maximizedFlag());
        QTRY_VERIFY(box.window->windowState() & Qt::WindowMaximized);
        QVERIFY(shows(windowControl(box.window, QStringLiteral("最大化")), QStringLiteral("://img/zoom_in_1")));
        QTRY_VERIFY(tray.isNull());
        QVERIFY(box.ownStatesBack());

        // Maximised, then back with "还原": normal, and the zoom icon and the
        // next double click on the top bar agree with that.
        tray = hideWithBossButton(box);
        tray->findChild<QMenu *>()->actions().at(1)->trigger();
        QTRY_VERIFY(isBack(box.window) && !(box.window->windowState() & Qt::WindowMaximized));
        QVERIFY(!box.window->maximizedFlag());
        QVERIFY(shows(windowControl(box.window, QStringLiteral("最大化")), QStringLiteral("://img/zoom_in")));
        QTest::mouseDClick(box.window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        QTRY_VERIFY(box.window->windowState() & Qt::WindowMaximized);
        QVERIFY(shows(windowControl(box.window, QStringLiteral("最大化")), QStringLiteral("://img/zoom_in_1")));
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

        QPointer<MyTray> tray = hideWithBossButton(box);
        QVERIFY(tray);
        QTRY_VERIFY(!DesktopSession::trayIconOf(QCoreApplication::applicationPid()).isNull());
        clickTrayIcon();
        QTRY_VERIFY(tray.isNull());
        QTRY_VERIFY(isBack(box.window));
        QTest::qWait(300); // a late "iconified" from the window manager would come now
        QVERIFY(isBack(box.window));
        // It has the keyboard: the boss key, typed, hides it again.
        DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("alt+d")});
        QTRY_VERIFY(!box.window->isVisible() && trays().size() == 1);
    }

    void otherClicksBringItBackTooButTheMenuDoesNot()
    {
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        QPointer<MyTray> tray = hideWithBossButton(box);
        QVERIFY(tray);
        emit trayIcon(tray)->activated(QSystemTrayIcon::Context);
        QTest::qWait(100);
        QVERIFY(tray && !box.window->isVisible());
        QVERIFY(box.allMuted());

        // A game tab opened while hidden stays silent until the box is back.
        box.window->createTab(QStringLiteral("new"), m_portal.url(QStringLiteral("/game/xyj.html")).toString());
        QWebEnginePage *opened = qobject_cast<PageWeb *>(box.window->tabWidget()->widget(4))->webView()->page();
        QVERIFY(opened->isAudioMuted());
        emit trayIcon(tray)->activated(QSystemTrayIcon::MiddleClick);
        QTRY_VERIFY(tray.isNull());
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(box.ownStatesBack());
        QVERIFY(!opened->isAudioMuted());

        tray = hideWithBossButton(box);
        emit trayIcon(tray)->activated(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(tray.isNull());
        QTRY_VERIFY(isBack(box.window));
    }

    void detachedGamesHideAndComeBackWithTheBox()
    {
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        for (int game = 0; game < 2; ++game)
            box.window->tabWidget()->widget(2)->findChild<QToolButton *>(QStringLiteral("detachButton"))->click();
        const QList<CommonWidget *> detached = box.window->detachedGames()->windows();
        QCOMPARE(detached.size(), 2);
        for (CommonWidget *window : detached)
            QVERIFY(QTest::qWaitForWindowExposed(window));
        detached.at(1)->showMaximized();
        QTRY_VERIFY(detached.at(1)->isMaximized());

        box.window->bossKeyButton()->click();
        QPointer<MyTray> tray = trays().value(0);
        QVERIFY(tray);
        QVERIFY(!detached.at(0)->isVisible() && !detached.at(1)->isVisible());
        QVERIFY(box.mutedGame->isAudioMuted() && box.loudGame->isAudioMuted());

        emit trayIcon(tray)->activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(detached.at(0)->isVisible() && detached.at(1)->isVisible());
        QTRY_VERIFY(detached.at(1)->isMaximized());
        QVERIFY(box.ownStatesBack());
    }

    void exitCleanUpWithTheIconShown()
    {
        // The clean-up at exit must leave the icon's own window to Qt; which
        // of the two went first changed from run to run.
        for (int round = 0; round < 20; ++round) {
            QPointer<MyTray> tray = new MyTray(nullptr);
            QVERIFY(trayIcon(tray)->isVisible());
            deleteClientWindows();
            QVERIFY(tray.isNull());
        }
    }
};
KAVO_TEST(TestTray)

#include "tst_tray.moc"
