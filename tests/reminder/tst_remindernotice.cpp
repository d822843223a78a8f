#include "box/tabwidget.h"
#include "support/boxfixture.h"
#include "box/mainwindow.h"
#include "support/records.h"
#include "reminder/remindernotice.h"
#include "reminder/reminderlistdialog.h"
#include "reminder/reminderscheduler.h"
#include "reminder/reminders.h"
#include "support/desktopsession.h"
#include "support/lookup.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "web/gamepage.h"
#include <QPushButton>
#include <QToolButton>

namespace {
ReminderNotice *openNotice()
{
    for (ReminderNotice *notice : topLevels<ReminderNotice>()) {
        if (notice->isVisible())
            return notice;
    }
    return nullptr;
}

void press(QWidget *notice, const QString &button)
{
    childWithText<QPushButton>(notice, button)->click();
}
} // namespace

class TestReminderNotice : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;
    DesktopSession m_desktop;

    // A box whose reminder rings now.
    static QPointer<ReminderNotice> ring(MainWindow *window, const QString &tag, const QString &server)
    {
        QJsonObject record = reminderRecord(server, 0);
        record[QStringLiteral("tag")] = tag;
        emit window->reminders()->scheduler()->rang(ReminderRecord::fromJson(record));
        return openNotice();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_box.startPortal());
        QVERIFY2(m_desktop.start(), qPrintable(m_desktop.why()));
    }

    void cleanup() { m_box.closeWindows(); }

    void sitsAtTheBottomRightOfTheFreeArea()
    {
        // Task bars at the bottom, at the top and on the left.
        for (const QRect &free : {QRect(0, 0, 1920, 1040), QRect(0, 40, 1920, 1040), QRect(60, 0, 1860, 1080)}) {
            const QRect notice(ReminderNotice::placeIn(free, QSize(300, 300)), QSize(300, 300));
            QVERIFY(free.contains(notice));
            QVERIFY(free.bottomRight().x() - notice.right() < 5 && free.bottom() - notice.bottom() < 5);
        }
    }

    void enterGameOpensTheServerInATab()
    {
        QPointer<MainWindow> window = m_box.openWindow();
        QPointer<ReminderNotice> notice = ring(window, QStringLiteral("xyj"), QStringLiteral("s1"));
        QVERIFY(notice && notice->isVisible());
        QVERIFY(notice->windowFlags() & Qt::WindowStaysOnTopHint);
        press(notice, QStringLiteral("进入游戏"));
        QTRY_VERIFY(notice.isNull());

        TabWidget *tabs = window->tabs();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(tabs->tabText(2), QStringLiteral("西游降魔录双线s1"));
        QCOMPARE(tabs->page(2)->address(),
                 m_box.portal.url(QStringLiteral("/entergame.php?game=xyj&server=s1&client=1&tobox=1")));

        // Values that need it are encoded, keys in their order.
        notice = ring(window, QStringLiteral("西游 &"), QStringLiteral("s 1"));
        press(notice, QStringLiteral("进入游戏"));
        QTRY_COMPARE(tabs->count(), 4);
        QVERIFY(tabs->page(3)->address().toString(QUrl::FullyEncoded).endsWith(
            QStringLiteral("/entergame.php?game=%E8%A5%BF%E6%B8%B8%20%26&server=s%201&client=1&tobox=1")));
    }

    void theBoxComesBackAsItWas()
    {
        QPointer<MainWindow> window = m_box.openWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->hideToTray();
        QTRY_VERIFY(!DesktopSession::trayIconOf(QCoreApplication::applicationPid()).isNull());
        press(ring(window, QStringLiteral("xyj"), QStringLiteral("s1")), QStringLiteral("进入游戏"));
        QTRY_VERIFY(window->isVisible() && !window->isMinimized());
        QTRY_VERIFY(DesktopSession::trayIconOf(QCoreApplication::applicationPid()).isNull()); // the icon went

        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        press(ring(window, QStringLiteral("xyj"), QStringLiteral("s2")), QStringLiteral("进入游戏"));
        QTRY_VERIFY(!window->isMinimized() && window->isMaximized());
        QVERIFY(window->maximizedFlag());
    }

    void theAlarmButtonShowsOneList()
    {
        QPointer<MainWindow> window = m_box.openWindow();
        auto *alarm = window->tabs()->widget(0)->findChild<QToolButton *>(QStringLiteral("clockButton"));
        alarm->click();
        QPointer<ReminderListDialog> first = window->findChild<ReminderListDialog *>();
        QVERIFY(first && first->isVisible());
        alarm->click();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(window->findChildren<ReminderListDialog *>().size(), 1);
    }

    void noticesBelongToTheRunNotToABox()
    {
        QPointer<MainWindow> window = m_box.openWindow();
        QPointer<ReminderNotice> notice = ring(window, QStringLiteral("xyj"), QStringLiteral("s1"));
        window->close(); // as "切换账号" closes it
        QTRY_VERIFY(window.isNull());
        QTest::qWait(100);
        QVERIFY(notice && notice->isVisible());
        delete notice.data();
    }
};
KAVO_TEST(TestReminderNotice)

#include "tst_remindernotice.moc"
