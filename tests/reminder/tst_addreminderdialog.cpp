#include "box/tabwidget.h"
#include "support/boxfixture.h"
#include "core/endpoints.h"
#include "web/gameserverchooser.h"
#include "core/listfiles.h"
#include "box/mainwindow.h"
#include "support/records.h"
#include "reminder/addreminderdialog.h"
#include "reminder/reminderlistdialog.h"
#include "reminder/reminderscheduler.h"
#include "reminder/reminders.h"
#include "support/lookup.h"
#include "support/httpfixture.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace {
void confirm(QWidget *dialog)
{
    childWithText<QPushButton>(dialog, QStringLiteral("确定"))->click();
}

// The add dialog on show (a closed one may linger until it is freed).
AddReminderDialog *shownDialog(QWidget *window)
{
    for (AddReminderDialog *dialog : window->findChildren<AddReminderDialog *>()) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

QDateTime proposed(QWidget *dialog)
{
    return QDateTime(dialog->findChild<QDateEdit *>()->date(), dialog->findChild<QTimeEdit *>()->time());
}

bool isNextWholeHour(const QDateTime &time)
{
    const qint64 ahead = time.toSecsSinceEpoch() - QDateTime::currentSecsSinceEpoch();
    return time.time().minute() == 0 && time.time().second() == 0 && ahead > 0 && ahead <= 3600;
}
} // namespace

class TestAddReminderDialog : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;
    QPointer<MainWindow> m_window;

    AddReminderDialog *openDialog(const QString &game, const QString &server, qint64 time)
    {
        m_window->reminders()->requestReminder(game, server, time);
        AddReminderDialog *dialog = shownDialog(m_window);
        QSignalSpy servers(dialog->findChild<GameServerChooser *>(), &GameServerChooser::serversArrived);
        return servers.wait(5000) ? dialog : nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_box.startPortal());
    }

    void init()
    {
        writeReminderRecords(QJsonArray());
        m_window = m_box.openWindow();
    }

    void cleanup() { m_box.closeWindows(); }

    void savesWhatTheUserChose()
    {
        const qint64 future = QDateTime::currentSecsSinceEpoch() + 3600;
        AddReminderDialog *dialog = openDialog(QStringLiteral("西游降魔录"), QStringLiteral("双线3服"), future);
        QVERIFY(dialog);
        QCOMPARE(proposed(dialog).toSecsSinceEpoch(), future); // untouched editors give the time back
        QCOMPARE(dialog->findChild<GameServerChooser *>()->currentServer().code, QStringLiteral("s3"));

        // The user picks another server, asks for the sound, writes a remark.
        auto *servers = dialog->findChild<GameServerChooser *>()->findChildren<QComboBox *>().at(1);
        servers->setCurrentIndex(servers->findText(QStringLiteral("双线5服")));
        dialog->findChild<QCheckBox *>()->setChecked(true);
        dialog->findChild<QLineEdit *>()->setText(QStringLiteral("抢首充"));
        QPointer<AddReminderDialog> gone = dialog;
        confirm(dialog);
        QTRY_VERIFY(gone.isNull());

        const QJsonArray stored = readReminderRecords();
        QCOMPARE(stored.size(), 1);
        QJsonObject expected = reminderRecord(QStringLiteral("s5"), future, 1);
        expected[QStringLiteral("remark")] = QStringLiteral("抢首充");
        expected[QStringLiteral("servername")] = QStringLiteral("双线5服"); // the choice, not the page's proposal
        QCOMPARE(stored.at(0).toObject(), expected);
        // The list shows it, and it rings.
        QCOMPARE(m_window->findChildren<ReminderListDialog *>().size(), 1);
        QCOMPARE(m_window->reminders()->scheduler()->armed().size(), 1);
    }

    void farMissingAndPastTimes()
    {
        AddReminderDialog *dialog = openDialog(QString(), QString(), 4102444800); // 2100
        QCOMPARE(proposed(dialog).toSecsSinceEpoch(), 2147483647);
        dialog->findChild<QTimeEdit *>()->setTime(QTime(23, 59, 59)); // past the end on the last day
        confirm(dialog);
        QTRY_COMPARE(readReminderRecords().size(), 1);
        QCOMPARE(readReminderRecords().at(0)[QStringLiteral("time")].toInt(), 2147483647);

        QCOMPARE(m_window->reminders()->scheduler()->armed().size(), 1);
        QCOMPARE(m_window->reminders()->scheduler()->armed().first().record.time, 2147483647);

        // No usable time: the next whole hour is proposed. A time that has
        // passed, which would never ring, is not saved.
        for (qint64 none : {0, -500}) {
            dialog = openDialog(QString(), QString(), none);
            QVERIFY2(isNextWholeHour(proposed(dialog)), qPrintable(proposed(dialog).toString()));
        }
        dialog->findChild<QDateEdit *>()->setDate(QDate::currentDate().addDays(-1));
        confirm(dialog);
        QCOMPARE(errorLine(dialog), QStringLiteral("提醒时间已过"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(readReminderRecords().size(), 1);
    }

    // With the portal down the dialog says so and "确定" stays off; shown
    // again, it asks for the lists once more.
    void withoutTheListsNothingIsSaved()
    {
        Endpoints::setHost(Endpoints::Role::Member, unusedHostPort());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Failed: .*/api/allserver_series.php ")));
        m_window->reminders()->requestReminder(QStringLiteral("西游降魔录"), QStringLiteral("双线3服"), 1893456000);
        AddReminderDialog *dialog = shownDialog(m_window);
        QTRY_COMPARE(errorLine(dialog), QStringLiteral("无法连接到服务器，请稍后重试"));
        auto *button = childWithText<QPushButton>(dialog, QStringLiteral("确定"));
        QVERIFY(!button->isEnabled());
        button->click();
        QVERIFY(readReminderRecords().isEmpty());

        m_box.portal.useForAllRoles();
        QSignalSpy servers(dialog->findChild<GameServerChooser *>(), &GameServerChooser::serversArrived);
        dialog->hide();
        dialog->show();
        QTRY_VERIFY_WITH_TIMEOUT(servers.count() > 0, 15000);
        QVERIFY(button->isEnabled() && errorLine(dialog).isEmpty());
    }

    void theLimitDuplicatesAndAFailedSaveKeepTheDialog()
    {
        const qint64 future = QDateTime::currentSecsSinceEpoch() + 3600;
        AddReminderDialog *dialog = openDialog(QStringLiteral("西游降魔录"), QStringLiteral("双线1服"), future);
        // Three still to come (and one long rung, that does not count), meanwhile, elsewhere.
        writeReminderRecords({reminderRecord(QStringLiteral("s0"), 1), reminderRecord(QStringLiteral("s2"), future),
                              reminderRecord(QStringLiteral("s3"), future), reminderRecord(QStringLiteral("s4"), future)});
        const QByteArray three = m_box.data.read(QStringLiteral("clocklist.txt"));
        confirm(dialog);
        QCOMPARE(errorLine(dialog), QStringLiteral("最多只能有3个闹钟提醒"));
        QCOMPARE(m_box.data.read(QStringLiteral("clocklist.txt")), three);

        // The same game, server and time again stores nothing.
        writeReminderRecords({reminderRecord(QStringLiteral("s1"), future)});
        const QByteArray one = m_box.data.read(QStringLiteral("clocklist.txt"));
        confirm(dialog);
        QCOMPARE(errorLine(dialog), QStringLiteral("该提醒已存在"));
        QCOMPARE(m_box.data.read(QStringLiteral("clocklist.txt")), one);

        writeReminderRecords({reminderRecord(QStringLiteral("s9"), future)});
        const QByteArray before = m_box.data.read(QStringLiteral("clocklist.txt"));
        ReadOnlyFolder readOnly(m_box.data.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt not saved")));
        confirm(dialog);
        QCOMPARE(errorLine(dialog), QStringLiteral("保存失败，请稍后重试"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_box.data.read(QStringLiteral("clocklist.txt")), before);
    }

    void aPagesRequestOpensTheDialogOrTheList()
    {
        WebView *home = m_window->tabs()->page(0)->webView();
        QVERIFY(waitForLoad(home));
        writeReminderRecords({reminderRecord(QStringLiteral("s1"), 1), reminderRecord(QStringLiteral("s2"), 2)});
        sendFromPage(home, 100, QStringLiteral("{game: '西游降魔录', server: '双线2服', time: 1893456000}"));
        QTRY_VERIFY(shownDialog(m_window));
        QPointer<AddReminderDialog> first = shownDialog(m_window);
        QCOMPARE(proposed(first).toSecsSinceEpoch(), 1893456000);
        QSignalSpy servers(first->findChild<GameServerChooser *>(), &GameServerChooser::serversArrived);
        QVERIFY(servers.wait(5000));
        QCOMPARE(first->findChild<GameServerChooser *>()->currentServer().name, QStringLiteral("双线2服"));

        // A second request replaces it; time as text, or no time at all.
        sendFromPage(home, 100, QStringLiteral("{game: 'x', server: 'y', time: '1893456060'}"));
        QTRY_VERIFY(first.isNull());
        QTRY_VERIFY(shownDialog(m_window));
        QCOMPARE(proposed(shownDialog(m_window)).toSecsSinceEpoch(), 1893456060);
        QTest::ignoreMessage(QtWarningMsg, "reminder request without a time in whole seconds; proposing none");
        sendFromPage(home, 100, QStringLiteral("{game: 'x', server: 'y', time: 'soon'}"));
        QTRY_VERIFY(shownDialog(m_window) && isNextWholeHour(proposed(shownDialog(m_window))));

        // Three to come: the list, and no dialog.
        const qint64 future = QDateTime::currentSecsSinceEpoch() + 3600;
        writeReminderRecords({reminderRecord(QStringLiteral("s1"), future), reminderRecord(QStringLiteral("s2"), future),
                              reminderRecord(QStringLiteral("s3"), future)});
        sendFromPage(home, 100, QStringLiteral("{game: 'x', server: 'y', time: 1}"));
        QTRY_VERIFY(m_window->findChild<ReminderListDialog *>());
        QTRY_VERIFY(!shownDialog(m_window));
    }
};
KAVO_TEST(TestAddReminderDialog)

#include "tst_addreminderdialog.moc"
