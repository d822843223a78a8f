#include "box/boxactions.h"
#include "box/detachedgames.h"
#include "box/trayicon.h"
#include "support/desktopsession.h"
#include "support/testmain.h"
#include "twogames.h"
#include "web/detachedwindow.h"
#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

class TestTrayIcon : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;
    DesktopSession m_desktop;

    static QPointer<TrayIcon> tray(const TwoGames &box) { return box.window->findChild<TrayIcon *>(); }
    static QMenu *trayMenu(TrayIcon *tray) { return tray->icon()->contextMenu(); }

    // Hides the box with the game toolbar's boss button and returns its tray.
    static QPointer<TrayIcon> hideWithBossButton(TwoGames &box)
    {
        box.window->tabs()->widget(3)->findChild<QToolButton *>(QStringLiteral("bossButton"))->click();
        return tray(box);
    }

    // Back, visible and not minimised, with each page sounding as before.
    static bool isBack(const TwoGames &box)
    {
        return box.window->isVisible() && !box.window->isMinimized() && tray(box).isNull() && box.ownStatesBack();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_box.startPortal());
        QVERIFY2(m_desktop.start(), qPrintable(m_desktop.why()));
    }

    void cleanup() { m_box.closeWindows(); }

    void bossKeyHidesIntoOneIconAndClicksBringItBack()
    {
        TwoGames box(m_box);
        QPointer<TrayIcon> icon = hideWithBossButton(box);
        QVERIFY(icon && !box.window->isVisible());
        QVERIFY(icon->icon()->isVisible());
        QVERIFY(box.allMuted());

        // The right button opens the menu and nothing else.
        emit icon->icon()->activated(QSystemTrayIcon::Context);
        QTest::qWait(100);
        QVERIFY(icon && !box.window->isVisible());
        // A game tab opened while hidden stays silent until the box is back.
        QWebEnginePage *opened = box.window->openGame(QStringLiteral("new"), m_box.portal.url(QStringLiteral("/game/xyj.html")))->webView()->page();
        QVERIFY(opened->isAudioMuted());

        for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick}) {
            if (reason != QSystemTrayIcon::Trigger)
                icon = hideWithBossButton(box);
            emit icon->icon()->activated(reason);
            QTRY_VERIFY(icon.isNull() && isBack(box));
            QVERIFY(!(box.window->windowState() & Qt::WindowMaximized));
            QVERIFY(!opened->isAudioMuted());
        }
    }

    void menuRestoresOrMaximisesWithATruthfulZoomIcon()
    {
        TwoGames box(m_box);
        box.window->actions()->bossKey->trigger(); // what its key does
        QPointer<TrayIcon> icon = tray(box);
        QVERIFY(icon && !box.window->isVisible());
        QStringList entries;
        for (QAction *action : trayMenu(icon)->actions())
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(entries, (QStringList{QStringLiteral("最大化"), QStringLiteral("还原"), QStringLiteral("-"), QStringLiteral("退出")}));

        QLabel *zoom = box.control(QStringLiteral("最大化"));
        for (const bool maximise : {false, true, false}) {
            if (!icon)
                icon = hideWithBossButton(box);
            QCOMPARE(box.window->findChildren<TrayIcon *>().size(), 1);
            trayMenu(icon)->actions().at(maximise ? 0 : 1)->trigger();
            QTRY_VERIFY(icon.isNull() && isBack(box));
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
        TwoGames box(m_box);
        QTest::mousePress(box.control(QStringLiteral("最小化")), Qt::LeftButton);
        QTRY_VERIFY(box.window->isMinimized());
        // Back from the task bar: the window manager restores it, not the box.
        DesktopSession::xdotool({QStringLiteral("windowactivate"), QString::number(box.window->winId())});
        QTRY_VERIFY(!box.window->isMinimized());

        QPointer<TrayIcon> icon = hideWithBossButton(box);
        QVERIFY(icon);
        // A real click on the icon, as a user makes it: only input that comes
        // from the user lets the window manager activate the window.
        QRect onScreen;
        QTRY_VERIFY(!(onScreen = DesktopSession::trayIconOf(QCoreApplication::applicationPid())).isNull());
        DesktopSession::xdotool({QStringLiteral("mousemove"), QString::number(onScreen.center().x()),
                                 QString::number(onScreen.center().y()), QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY(icon.isNull() && isBack(box));
        QTest::qWait(300); // a late "iconified" from the window manager would come now
        QVERIFY(isBack(box));
        // It has the keyboard: the boss key, typed, hides it again.
        DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("alt+d")});
        QTRY_VERIFY(!box.window->isVisible() && tray(box));
    }

    void detachedGamesHideAndComeBackWithTheBox()
    {
        TwoGames box(m_box);
        for (int game = 0; game < 2; ++game)
            box.window->tabs()->widget(2)->findChild<QToolButton *>(QStringLiteral("detachButton"))->click();
        const QList<DetachedWindow *> detached = box.window->detachedGames()->windows();
        QCOMPARE(detached.size(), 2);
        for (DetachedWindow *window : detached)
            QVERIFY(QTest::qWaitForWindowExposed(window));
        detached.at(1)->showMaximized();
        QTRY_VERIFY(detached.at(1)->isMaximized());

        // The full-screen key toggles the detached game it is typed in; the
        // boss key typed there hides the whole box.
        detached.at(0)->activateWindow();
        QTRY_VERIFY(detached.at(0)->isActiveWindow());
        QTest::keyClick(detached.at(0), Qt::Key_F11);
        QTRY_VERIFY(detached.at(0)->isFullScreen());
        QVERIFY(!box.window->isFullScreen());
        QTest::keyClick(detached.at(0), Qt::Key_F11);
        QTRY_VERIFY(!detached.at(0)->isFullScreen());
        // Typed on the keyboard, with the game's page holding the keys.
        detached.at(0)->page()->webView()->setFocus();
        QTRY_VERIFY(detached.at(0)->page()->webView()->isAncestorOf(QApplication::focusWidget()));
        DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("alt+d")});
        QTRY_VERIFY(tray(box));
        QPointer<TrayIcon> icon = tray(box);
        QVERIFY(!detached.at(0)->isVisible() && !detached.at(1)->isVisible());
        QVERIFY(box.mutedGame->isAudioMuted() && box.loudGame->isAudioMuted());

        emit icon->icon()->activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(isBack(box));
        QVERIFY(detached.at(0)->isVisible() && detached.at(1)->isVisible());
        QTRY_VERIFY(detached.at(1)->isMaximized());
    }
};
KAVO_TEST(TestTrayIcon)

#include "tst_trayicon.moc"
