#include "box/mainwindow.h"
#include "box/updatechecker.h"
#include "core/endpoints.h"
#include "support/boxfixture.h"
#include "support/browsercatcher.h"
#include "support/httpfixture.h"
#include "support/lookup.h"
#include "support/messageboxes.h"
#include "support/testmain.h"
#include "widgets/aboutdialog.h"
#include "widgets/hotkeyedit.h"
#include "widgets/settingsdialog.h"
#include <QLabel>
#include <QPushButton>

// The two menus of the top bar and the update prompts.
class TestMainMenu : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;
    HttpFixture m_http;

    // A shown main window whose update check got this reply.
    MainWindow *openBox(const QByteArray &updateReply)
    {
        m_http.setBody(QStringLiteral("/update/"), updateReply, "application/json");
        MainWindow *window = m_box.openWindow(false);
        QSignalSpy replied(window->updateChecker(), &UpdateChecker::replied);
        window->show();
        static_cast<void>(replied.wait(5000)); // a bad reply never comes
        return window;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        serveBareBox(m_http);
    }

    void cleanup() { m_box.closeWindows(); }

    void checkForUpdateAnswersFromTheStoredReply()
    {
        BrowserCatcher browser;
        QPointer<MainWindow> window = openBox(R"({"version_name":"v3.0.0","version_code":3,"force":0})");
        QCOMPARE(window->updateChecker()->versionCode(), 3);
        auto asked = answerNextMessageBox(QStringLiteral("确定"));
        menuEntry(window, QStringLiteral("检查更新"))->trigger();
        QVERIFY(asked->seen && asked->hasParent);
        QCOMPARE(asked->text, QStringLiteral("发现有新的版本，需要前往下载吗?"));
        QCOMPARE(browser.urls, QList<QUrl>{Endpoints::url(Endpoints::Address::DownloadSite)});
        delete window;

        // Up to date, and a reply that is no JSON object leaves the window
        // knowing nothing newer: neither prompts at start.
        const qint64 appIcon = QApplication::windowIcon().cacheKey();
        for (const QByteArray &reply : {QByteArray(R"({"version_code":2,"force":0})"), QByteArray("[3]")}) {
            if (reply.startsWith('['))
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^update check: unusable reply")));
            window = openBox(reply);
            QVERIFY(!QApplication::activeModalWidget());
            auto told = answerNextMessageBox(QStringLiteral("OK"));
            menuEntry(window, QStringLiteral("检查更新"))->trigger();
            QVERIFY(told->seen && !told->hasParent && told->hasOwnIcon);
            QCOMPARE(told->text, QStringLiteral("已经是最新版本，暂无更新"));
            QCOMPARE(QApplication::windowIcon().cacheKey(), appIcon);
            delete window;
        }
        QCOMPARE(browser.urls.size(), 1);
    }

    void aForcedUpdateStopsTheUserUnlessDismissed()
    {
        BrowserCatcher browser;
        const QByteArray forced(R"({"version_code":1,"force":1})");
        // Closing the box any other way than "同意" leaves the client running.
        auto dismissed = answerNextMessageBox(QString());
        QPointer<MainWindow> window = openBox(forced);
        QTRY_VERIFY(dismissed->seen);
        QCOMPARE(dismissed->text, QStringLiteral("发现新版本！请先更新版本，再继续使用游戏盒子！"));
        QVERIFY(window && browser.urls.isEmpty());
        delete window;

        auto agreed = answerNextMessageBox(QStringLiteral("同意"));
        m_http.setBody(QStringLiteral("/update/"), forced, "application/json");
        window = m_box.openWindow(false);
        QSignalSpy quit(window, &MainWindow::quitRequested);
        window->show();
        QTRY_COMPARE(quit.count(), 1);
        QVERIFY(agreed->seen);
        QCOMPARE(browser.urls, QList<QUrl>{Endpoints::url(Endpoints::Address::DownloadSite)});
    }

    void entriesForThePortalOpenTheBrowser()
    {
        BrowserCatcher browser;
        QPointer<MainWindow> window = openBox(R"({"version_code":2})");
        for (const char *entry : {"官方网站", "常见问题", "账号安全"})
            menuEntry(window, QString::fromUtf8(entry))->trigger();
        using A = Endpoints::Address;
        QCOMPARE(browser.urls, (QList<QUrl>{Endpoints::url(A::Website), Endpoints::url(A::Faq),
                                            Endpoints::url(A::AccountSecurity)}));
    }

    void oneSettingsAndOneAboutDialogInsideTheWindow()
    {
        QPointer<MainWindow> window = openBox(R"({"version_code":2})");
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // From the keyboard: the system menu's first entry.
        auto *menuButton = childCalled<QPushButton>(window, QStringLiteral("系统菜单"));
        QTimer::singleShot(0, this, [menuButton] {
            QTest::keyClick(menuButton->menu(), Qt::Key_Down);
            QTest::keyClick(menuButton->menu(), Qt::Key_Return);
        });
        menuButton->showMenu();
        QPointer<QWidget> first = window->findChild<SettingsDialog *>();
        QVERIFY(first && first->isVisible() && window->rect().contains(first->geometry()));
        menuEntry(window, QStringLiteral("系统设置"))->trigger();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(window->findChildren<SettingsDialog *>().size(), 1);

        menuEntry(window, QStringLiteral("关于"))->trigger();
        first = window->findChild<AboutDialog *>();
        QVERIFY(window->rect().contains(first->geometry()));
        menuEntry(window, QStringLiteral("关于"))->trigger();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(window->findChildren<AboutDialog *>().size(), 1);
    }

    void recordedAndRestoredKeysWorkAtOnce()
    {
        QPointer<MainWindow> window = openBox(R"({"version_code":2})");
        const QKeySequence recorded(Qt::CTRL | Qt::SHIFT | Qt::Key_A), initial(Qt::ALT | Qt::Key_D);
        for (const bool restore : {false, true}) {
            window->showNormal();
            window->activateWindow();
            QTRY_VERIFY(window->isActiveWindow());
            menuEntry(window, QStringLiteral("系统设置"))->trigger();
            if (restore)
                childWithText<QPushButton>(window, QStringLiteral("恢复初始设置"))->click();
            else
                QTest::keySequence(window->findChild<HotkeyEdit *>(), recorded);
            window->findChild<SettingsDialog *>()->close();
            QTest::keySequence(window, restore ? recorded : initial); // the old key does nothing now
            QVERIFY(window->isVisible() && !window->isMinimized());
            QTest::ignoreMessage(QtWarningMsg, "no system tray: the boss key minimises the box instead of hiding it");
            QTest::keySequence(window, restore ? initial : recorded);
            QTRY_VERIFY(window->isMinimized());
        }
    }
};
KAVO_TEST(TestMainMenu)

#include "tst_mainmenu.moc"
