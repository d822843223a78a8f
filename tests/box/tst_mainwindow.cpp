#include "core/config.h"
#include "boxfixture.h"
#include "core/portalapi.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "web/messagedialog.h"
#include "web/signindialog.h"
#include <QAccessible>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabBar>

class TestMainWindow : public TestCase
{
    Q_OBJECT
private:
    TempDataDir m_data;
    PortalProcess m_portal;
    PortalApi m_api;

private slots:
    void initTestCase()
    {
        ensureHotkeyDefaults();
        QVERIFY(m_portal.start());
        m_portal.useForAllRoles();
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void zoomIconAndTitleDoubleClickMaximise()
    {
        MainWindow window(QStringLiteral("x"), &m_api);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLabel *zoom = windowControl(&window, QStringLiteral("最大化"));
        // A double click counts in the title zone only.
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
        QVERIFY(!window.maximizedFlag());
        for (const bool byIcon : {true, true, false, false}) {
            const bool maximise = !window.maximizedFlag();
            if (byIcon)
                QTest::mousePress(zoom, Qt::LeftButton);
            else
                QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
            QCOMPARE(window.maximizedFlag(), maximise);
            QVERIFY(shows(zoom, maximise ? QStringLiteral("://img/zoom_in_1") : QStringLiteral("://img/zoom_in")));
            QTRY_COMPARE(bool(window.windowState() & Qt::WindowMaximized), maximise);
        }
        QTest::mousePress(windowControl(&window, QStringLiteral("最小化")), Qt::LeftButton);
        QTRY_VERIFY(window.isMinimized());
    }

    void crowdedTabsShrinkAndShowTitlesLiterally()
    {
        MainWindow window(QStringLiteral("x"), &m_api);
        window.resize(window.minimumSize());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString title = QStringLiteral("西游 & 三国 之 群英荟萃 怀旧版");
        QTabBar *bar = window.tabWidget()->tabBar();
        const int homeWidth = bar->tabRect(0).width();
        for (int i = 0; i < 12; ++i)
            window.createTab(title, QString());
        QCOMPARE(bar->currentIndex(), 13);

        // The last tab is current and the fixed tabs are still in view, whole.
        for (int index : {0, 1, 13})
            QVERIFY2(bar->rect().contains(bar->tabRect(index)), qPrintable(QString::number(index)));
        QCOMPARE(bar->tabRect(0).width(), homeWidth);
        const QList<QToolButton *> arrows = bar->findChildren<QToolButton *>();
        QVERIFY(std::none_of(arrows.begin(), arrows.end(), [](QToolButton *b) { return b->isVisible(); }));

        // What the tab shows (and tells screen readers) is the title itself;
        // the full title is the tool tip of a shrunk tab.
        QCOMPARE(QAccessible::queryAccessibleInterface(bar)->child(13)->text(QAccessible::Name), title);
        QCOMPARE(bar->tabToolTip(13), title);
    }

    void messagesAndSignInBelongToTheWindow()
    {
        QPointer<MainWindow> window = new MainWindow(QStringLiteral("x"), &m_api);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
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
        auto *signIn = window->tabWidget()->widget(0)->findChild<QToolButton *>(QStringLiteral("signInButton"));
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
        Config().SetValue(Settings::kBossKey, QStringLiteral("Ctrl+B"));
        Config().SetValue(Settings::kFullScreenKey, QStringLiteral("not a key"));
        QTest::ignoreMessage(QtWarningMsg, "hotkey zoomWindow is not a key sequence: not a key");
        {
            MainWindow window(QStringLiteral("x"), &m_api);
            QCOMPARE(window.bossKeyButton()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
            QVERIFY(window.fullScreenKeyButton()->shortcut().isEmpty());
        }
        Config().SetValue(Settings::kBossKey, QStringLiteral("Alt+D"));
        Config().SetValue(Settings::kFullScreenKey, QStringLiteral("F11"));

        MainWindow window(QStringLiteral("x"), &m_api);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QTRY_VERIFY(window.isActiveWindow()); // the key belongs to the active window only
        QTest::keyClick(&window, Qt::Key_F11);
        QTRY_VERIFY(window.isFullScreen());
        QTest::keyClick(&window, Qt::Key_F11);
        QTRY_VERIFY(!window.isFullScreen());
    }

    void withoutATrayTheBossKeyMinimisesAndMutes()
    {
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QSKIP("this display has a system tray");
        Box box(m_portal, &m_api);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        box.window->activateWindow();
        QTRY_VERIFY(box.window->isActiveWindow());

        QTest::ignoreMessage(QtWarningMsg, "no system tray: the boss key minimises the box instead of hiding it");
        QTest::keyClick(box.window, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(box.window->isMinimized());
        QVERIFY(box.window->isVisible() && trays().isEmpty());
        QVERIFY(box.allMuted());

        box.window->showNormal();
        QTRY_VERIFY(box.ownStatesBack());
    }
};
KAVO_TEST(TestMainWindow)

#include "tst_mainwindow.moc"
