#include "box/boxactions.h"
#include "box/gametabbar.h"
#include "box/trayicon.h"
#include "support/desktopsession.h"
#include "support/messageboxes.h"
#include "reminder/reminders.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "twogames.h"
#include "web/messagedialog.h"
#include "web/signindialog.h"
#include "widgets/framelessdialog.h"
#include <QAbstractItemView>
#include <QAccessible>
#include <QGuiApplication>
#include <QScreen>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabBar>

class TestMainWindow : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;

    enum Effect { Close, Reload, Zoom, Back, Forward, Next, Previous };
    // The rows of the key table share a window: each new one costs seconds of page loads.
    QPointer<MainWindow> m_keysWindow;

private slots:
    void initTestCase() { QVERIFY(m_box.startPortal()); }
    void init()
    {
        if (m_keysWindow && qstrcmp(QTest::currentTestFunction(), "keysActOnTheCurrentTab") != 0)
            m_box.closeWindows();
    }
    void cleanup()
    {
        if (!m_keysWindow || QTest::currentTestFailed())
            m_box.closeWindows();
    }

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

    void keysActOnTheCurrentTab_data()
    {
        QTest::addColumn<QKeySequence>("key"); // none: a middle click on the tab
        QTest::addColumn<int>("effect");
        QTest::addColumn<qreal>("zoom");
        using K = QKeySequence;
        QTest::newRow("Ctrl+W") << K(Qt::CTRL | Qt::Key_W) << int(Close) << 1.0;
        QTest::newRow("middle click") << K() << int(Close) << 1.0;
        QTest::newRow("F5") << K(Qt::Key_F5) << int(Reload) << 1.0;
        QTest::newRow("Ctrl+R") << K(Qt::CTRL | Qt::Key_R) << int(Reload) << 1.0;
        QTest::newRow("Ctrl+=") << K(Qt::CTRL | Qt::Key_Equal) << int(Zoom) << 1.1;
        QTest::newRow("Ctrl++") << K(Qt::CTRL | Qt::Key_Plus) << int(Zoom) << 1.1;
        QTest::newRow("Ctrl+-") << K(Qt::CTRL | Qt::Key_Minus) << int(Zoom) << 0.9;
        QTest::newRow("Ctrl+0") << K(Qt::CTRL | Qt::Key_0) << int(Zoom) << 1.0;
        QTest::newRow("Alt+Left") << K(Qt::ALT | Qt::Key_Left) << int(Back) << 1.0;
        QTest::newRow("Alt+Right") << K(Qt::ALT | Qt::Key_Right) << int(Forward) << 1.0;
        QTest::newRow("Ctrl+Tab") << K(Qt::CTRL | Qt::Key_Tab) << int(Next) << 1.0;
        QTest::newRow("Ctrl+Shift+Tab") << K(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << int(Previous) << 1.0;
    }

    void keysActOnTheCurrentTab()
    {
        QFETCH(QKeySequence, key);
        QFETCH(int, effect);
        QFETCH(qreal, zoom);
        // "Kavo首页", "找游戏" and two games of the same host; the last one is current.
        const QUrl address = m_box.portal.url(QStringLiteral("/game/xyj.html"));
        if (!m_keysWindow)
            m_keysWindow = m_box.openWindow();
        TabWidget *tabs = m_keysWindow->tabs();
        while (tabs->count() < 4)
            m_keysWindow->openGame(QStringLiteral("game"), address);
        tabs->setCurrentIndex(3);
        for (GamePage *each : tabs->pages())
            each->resetZoom();
        QPointer<GamePage> game = tabs->currentPage();
        QWebEnginePage *page = game->webView()->page();
        const auto settled = [page](const QUrl &url) {
            return QTest::qWaitFor([&] {
                return page->url() == url && runJs(page, QStringLiteral("document.readyState")) == QStringLiteral("complete");
            }, 30000);
        };
        QUrl next = address;
        next.setQuery(QStringLiteral("next"));
        if (page->url() == next)
            page->load(address);
        if (effect == Back || effect == Forward) {
            QVERIFY(settled(address));
            page->load(next);
            QVERIFY(settled(next));
            if (effect == Forward)
                game->back();
        }
        QVERIFY(settled(effect == Back ? next : address));
        if (key == QKeySequence(Qt::CTRL | Qt::Key_0))
            page->setZoomFactor(1.5);
        // The keys are typed where a player types: into a text field of the page.
        m_keysWindow->activateWindow();
        QTRY_VERIFY(m_keysWindow->isActiveWindow());
        runJs(page, QStringLiteral("window.kept = 1; document.body.insertAdjacentHTML('afterbegin', '<input id=typed>');"
                                   "document.getElementById('typed').focus()"));
        game->webView()->setFocus();
        QTRY_VERIFY(game->webView()->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(runJs(page, QStringLiteral("document.activeElement.id")), QStringLiteral("typed"));

        const auto press = [&] {
            if (key.isEmpty()) {
                // On the tab where the user sees it: the fixed tabs have a bar of their own.
                for (QTabBar *bar : tabs->findChildren<QTabBar *>()) {
                    if (bar->isTabVisible(tabs->currentIndex()))
                        QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(tabs->currentIndex()).center());
                }
            }
            else
                QTest::keySequence(QApplication::focusWidget(), key);
        };
        press();
        switch (effect) {
        case Close:
            QTRY_VERIFY(game.isNull());
            QCOMPARE(tabs->count(), 3);
            tabs->setCurrentIndex(0); // the fixed tabs stay
            press();
            QTest::qWait(100);
            QCOMPARE(tabs->count(), 3);
            break;
        case Reload:
            QTRY_COMPARE_WITH_TIMEOUT(runJs(page, QStringLiteral("typeof kept")), QStringLiteral("undefined"), 30000);
            break;
        case Zoom:
            QTRY_COMPARE(page->zoomFactor(), zoom);
            break;
        case Back:
        case Forward:
            QVERIFY(settled(effect == Back ? address : next));
            break;
        case Next:
            QCOMPARE(tabs->currentIndex(), 0);
            break;
        case Previous:
            QCOMPARE(tabs->currentIndex(), 2);
            break;
        }
        // The zoom belongs to the tab: the other game, of the same host, keeps its own.
        for (int index : {0, 1, 2})
            QCOMPARE(tabs->page(index)->webView()->zoomFactor(), 1.0);
    }

    void escapeClosesEveryDialog_data()
    {
        QTest::addColumn<QString>("opener"); // a toolbar button, or an action's text
        QTest::addColumn<QByteArray>("altAccounts");
        QTest::newRow("about") << QStringLiteral("关于") << QByteArray();
        QTest::newRow("settings") << QStringLiteral("系统设置") << QByteArray();
        QTest::newRow("site messages") << QStringLiteral("消息") << QByteArray();
        QTest::newRow("reminder list") << QStringLiteral("clockButton") << QByteArray();
        QTest::newRow("add reminder") << QStringLiteral("开服提醒") << QByteArray();
        QTest::newRow("alt account") << QStringLiteral("xiaohaoButton") << QByteArray();
        QTest::newRow("alt-account table") << QStringLiteral("xiaohaoButton")
                                           << QByteArray(R"([{"ckcode":"c","gamename":"西游","server":"s1","servername":"一服","tag":"xyj","username":"alt"}])");
        QTest::newRow("cleaning") << QStringLiteral("clearButton") << QByteArray();
        QTest::newRow("sign-in") << QStringLiteral("signInButton") << QByteArray();
    }

    void escapeClosesEveryDialog()
    {
        QFETCH(QString, opener);
        QFETCH(QByteArray, altAccounts);
        m_box.data.write(QStringLiteral("xiaohaoinfolist.txt"), altAccounts);
        MainWindow *window = m_box.openWindow();
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        if (auto *button = window->tabs()->currentWidget()->findChild<QToolButton *>(opener))
            button->click();
        else if (opener == QStringLiteral("开服提醒"))
            window->reminders()->requestReminder(QStringLiteral("西游"), QStringLiteral("一服"),
                                                 QDateTime::currentSecsSinceEpoch() + 3600);
        else
            childWithText<QAction>(window->actions(), opener)->trigger();
        const auto isDialog = [](QWidget *w) { return qobject_cast<FramelessDialog *>(w) || qobject_cast<QDialog *>(w); };
        // A window of its own is activated by the window manager, which bare Xvfb lacks.
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && isDialog(top))
                top->activateWindow();
        }
        const auto dialogWithFocus = [&isDialog] {
            QWidget *w = QApplication::focusWidget();
            while (w && !isDialog(w))
                w = w->parentWidget();
            return w;
        };
        QPointer<QWidget> dialog;
        QTRY_VERIFY((dialog = dialogWithFocus()));
        if (auto *combo = dialog->findChild<QComboBox *>()) { // Esc on its open list closes the list alone
            combo->showPopup();
            QTest::keyClick(combo->view(), Qt::Key_Escape);
            QTRY_VERIFY(!combo->view()->isVisible());
            QVERIFY(dialog->isVisible());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!dialog || !dialog->isVisible());
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

    void quittingAsksFirst_data()
    {
        QTest::addColumn<bool>("byTheDesktop");
        QTest::newRow("the close icon") << false;
        QTest::newRow("the desktop's close") << true;
    }

    void quittingAsksFirst()
    {
        QFETCH(bool, byTheDesktop);
        QPointer<MainWindow> window = m_box.openWindow();
        QPointer<QWidget> home = window->tabs()->widget(0);
        const auto close = [&] {
            if (byTheDesktop)
                DesktopSession::closeAsTheDesktopDoes(window);
            else
                QTest::mousePress(childCalled<QLabel>(window, QStringLiteral("关闭")), Qt::LeftButton);
        };
        auto no = answerNextMessageBox(QStringLiteral("取消"));
        close();
        QVERIFY(no->seen && no->hasParent);
        QCOMPARE(no->text, QStringLiteral("确定退出Kavo游戏盒子吗?"));
        QTest::qWait(100);
        QVERIFY(window && window->isVisible());
        // Yes closes the box and frees it with its pages.
        auto yes = answerNextMessageBox(QStringLiteral("确定"));
        close();
        QVERIFY(yes->seen);
        QTRY_VERIFY(window.isNull() && home.isNull());
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
