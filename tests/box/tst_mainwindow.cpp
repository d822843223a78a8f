#include "box/boxactions.h"
#include "box/gametabbar.h"
#include "box/trayicon.h"
#include "support/desktopsession.h"
#include "support/messageboxes.h"
#include "support/testmain.h"
#include "twogames.h"
#include "web/messagedialog.h"
#include "web/signindialog.h"
#include <QAccessible>
#include <QGuiApplication>
#include <QScreen>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabBar>

class TestMainWindow : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;

private slots:
    void initTestCase() { QVERIFY(m_box.startPortal()); }
    void cleanup() { m_box.closeWindows(); }

    void zoomIconAndTitleDoubleClickMaximise()
    {
        MainWindow *window = m_box.openWindow();
        QLabel *zoom = childCalled<QLabel>(window, QStringLiteral("最大化"));
        // A double click counts in the title zone only.
        QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
        QVERIFY(!window->maximizedFlag());
        for (const bool byIcon : {true, true, false, false}) {
            const bool maximise = !window->maximizedFlag();
            if (byIcon)
                QTest::mousePress(zoom, Qt::LeftButton);
            else
                QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
            QCOMPARE(window->maximizedFlag(), maximise);
            QVERIFY(shows(zoom, maximise ? QStringLiteral("://img/zoom_in_1") : QStringLiteral("://img/zoom_in")));
            QTRY_COMPARE(bool(window->windowState() & Qt::WindowMaximized), maximise);
        }
        QTest::mousePress(childCalled<QLabel>(window, QStringLiteral("最小化")), Qt::LeftButton);
        QTRY_VERIFY(window->isMinimized());
    }

    void crowdedTabsKeepTwoCharactersAndTheFixedTabsInView()
    {
        MainWindow *window = m_box.openWindow(false);
        window->resize(window->minimumSize());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QString title = QStringLiteral("西游 & 三国 之 群英荟萃 怀旧版");
        auto *games = static_cast<GameTabBar *>(window->tabs()->tabBar());
        GameTabBar *fixed = window->tabs()->fixedTabBar();
        const int homeWidth = fixed->tabRect(0).width();
        for (int i = 0; i < 20; ++i)
            window->openGame(title, QUrl());
        QCOMPARE(games->currentIndex(), 21);

        // The fixed tabs are whole and in view; the game tabs beside them
        // scroll, with both buttons at the bar's right end, the current one
        // in view.
        for (int index : {0, 1})
            QVERIFY(fixed->rect().contains(fixed->tabRect(index)));
        QCOMPARE(fixed->tabRect(0).width(), homeWidth);
        QVERIFY(fixed->isVisible() && games->geometry().left() >= fixed->geometry().right());
        const QList<QToolButton *> arrows = games->findChildren<QToolButton *>();
        QCOMPARE(arrows.size(), 2);
        for (QToolButton *arrow : arrows)
            QVERIFY(arrow->isVisible() && arrow->geometry().left() >= games->width() - 2 * arrow->width());
        QVERIFY(games->rect().contains(games->tabRect(21)));

        // Each game tab shows the first two characters of its title; screen
        // readers and the tool tip get the whole title.
        for (int index = 2; index < games->count(); ++index)
            QVERIFY2(games->shownText(index).startsWith(QStringLiteral("西游")), qPrintable(games->shownText(index)));
        QCOMPARE(QAccessible::queryAccessibleInterface(games)->child(21)->text(QAccessible::Name), title);
        QCOMPARE(games->tabToolTip(21), title);

        // Either bar selects; the other then shows none of its tabs selected.
        QTest::mouseClick(fixed, Qt::LeftButton, Qt::NoModifier, fixed->tabRect(1).center());
        QCOMPARE(window->tabs()->currentIndex(), 1);
        QVERIFY(!games->isTabVisible(games->currentIndex()));
        int shownGame = 2;
        while (!games->rect().contains(games->tabRect(shownGame).center()))
            ++shownGame;
        QTest::mouseClick(games, Qt::LeftButton, Qt::NoModifier, games->tabRect(shownGame).center());
        QCOMPARE(window->tabs()->currentIndex(), shownGame);
        QVERIFY(!fixed->isTabVisible(fixed->currentIndex()));
    }

    void messagesAndSignInBelongToTheWindow()
    {
        QPointer<MainWindow> window = m_box.openWindow();
        QToolButton *messages = childWithText<QToolButton>(window, QStringLiteral("消息"));
        messages->click();
        QPointer<MessageDialog> dialog = window->findChild<MessageDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        messages->click(); // the next press closes and frees it
        QTRY_VERIFY(dialog.isNull());
        messages->click();
        dialog = window->findChild<MessageDialog *>();
        dialog->findChild<QPushButton *>()->click(); // its own close button
        QTRY_VERIFY(dialog.isNull());
        messages->click(); // one press brings it back
        QVERIFY(window->findChild<MessageDialog *>() && window->findChild<MessageDialog *>()->isVisible());

        // Each sign-in press makes a window of its own, freed when closed;
        // the rest close with the box.
        auto *signIn = window->tabs()->widget(0)->findChild<QToolButton *>(QStringLiteral("signInButton"));
        signIn->click();
        signIn->click();
        QList<QPointer<SignInDialog>> signIns;
        for (SignInDialog *shown : topLevels<SignInDialog>())
            signIns.append(shown);
        QCOMPARE(signIns.size(), 2);
        QVERIFY(signIns.at(0)->isVisible() && signIns.at(1)->isVisible());
        signIns.at(0)->close();
        QTRY_VERIFY(signIns.at(0).isNull());
        window->close();
        QTRY_VERIFY(window.isNull() && signIns.at(1).isNull());
    }

    void hotkeysComeFromTheSettingsAndFullScreenToggles()
    {
        m_box.config.setValue(Settings::kBossKey, QStringLiteral("Ctrl+B"));
        m_box.config.setValue(Settings::kFullScreenKey, QStringLiteral("not a key"));
        QTest::ignoreMessage(QtWarningMsg, "hotkey zoomWindow is not a key sequence: not a key");
        MainWindow *window = m_box.openWindow(false);
        QCOMPARE(window->actions()->bossKey->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        QVERIFY(window->actions()->fullScreen->shortcut().isEmpty());
        m_box.config.setValue(Settings::kBossKey, QStringLiteral("Alt+D"));
        m_box.config.setValue(Settings::kFullScreenKey, QStringLiteral("F11"));

        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow()); // keys go to the active window
        QTest::keyClick(window, Qt::Key_F11);
        QTRY_VERIFY(window->isFullScreen());
        QTest::keyClick(window, Qt::Key_F11);
        QTRY_VERIFY(!window->isFullScreen());
    }

    void comesBackWhereItWasLeft()
    {
        MainWindow *window = m_box.openWindow();
        const QRect place(130, 70, 900, 700);
        window->setGeometry(place);
        window->actions()->toggleMaximized->trigger();
        QTRY_VERIFY(window->isMaximized());
        delete window;
        QCOMPARE(m_box.config.value(Settings::kWindowPlace).toString(), QStringLiteral("130,70,900,700"));
        QVERIFY(m_box.config.value(Settings::kWindowMaximized).toBool());

        // The next one opens maximised, over its normal place; full screen
        // comes back to maximised, and "restore" to the place.
        window = m_box.openWindow();
        QTRY_VERIFY(window->isMaximized());
        QVERIFY(window->maximizedFlag());
        window->toggleFullScreen();
        QTRY_VERIFY(window->isFullScreen());
        window->toggleFullScreen();
        QTRY_VERIFY(window->isMaximized() && !window->isFullScreen());
        window->actions()->toggleMaximized->trigger();
        QTRY_COMPARE(window->geometry(), place);
        delete window;
        QVERIFY(!m_box.config.value(Settings::kWindowMaximized).toBool());

        // A place no screen shows any more, or no place at all, is ignored.
        for (const char *text : {"-5000,-5000,900,700", "130,70,wide,700"}) {
            m_box.config.setValue(Settings::kWindowPlace, QLatin1String(text));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^the main window's saved place .* is ignored")));
            window = m_box.openWindow();
            QCOMPARE(window->size(), QSize(1052, 860));
            QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(window->geometry()));
            delete window;
        }
    }

    void theDesktopsCloseAsksAsTheIconDoes()
    {
        QPointer<MainWindow> window = m_box.openWindow();
        auto no = answerNextMessageBox(QStringLiteral("取消"));
        DesktopSession::closeAsTheDesktopDoes(window);
        QVERIFY(no->seen);
        QCOMPARE(no->text, QStringLiteral("确定退出Kavo游戏盒子吗?"));
        QTest::qWait(100);
        QVERIFY(window && window->isVisible());
        auto yes = answerNextMessageBox(QStringLiteral("确定"));
        DesktopSession::closeAsTheDesktopDoes(window);
        QVERIFY(yes->seen);
        QTRY_VERIFY(window.isNull());
    }

    void withoutATrayTheBossKeyMinimisesAndMutes()
    {
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QSKIP("this display has a system tray");
        TwoGames box(m_box);
        box.window->activateWindow();
        QTRY_VERIFY(box.window->isActiveWindow());

        QTest::ignoreMessage(QtWarningMsg, "no system tray: the boss key minimises the box instead of hiding it");
        QTest::keyClick(box.window, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(box.window->isMinimized());
        QVERIFY(box.window->isVisible() && !box.window->findChild<TrayIcon *>());
        QVERIFY(box.allMuted());

        box.window->showNormal();
        QTRY_VERIFY(box.ownStatesBack());
    }
};
KAVO_TEST(TestMainWindow)

#include "tst_mainwindow.moc"
