#include "core/listfiles.h"
#include "records.h"
#include "reminder/clocktabledialog.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QJsonArray>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

namespace {
// The delete buttons of the cards, top to bottom.
QList<QToolButton *> deleteButtons(QWidget *list)
{
    QList<QToolButton *> found;
    auto *cards = list->findChild<QListWidget *>();
    for (int row = 0; row < cards->count(); ++row)
        found << cards->itemWidget(cards->item(row))->findChild<QToolButton *>();
    return found;
}

QStringList storedServers()
{
    QStringList servers;
    for (const QJsonValue &record : readClockRecords())
        servers << record[QStringLiteral("server")].toString();
    return servers;
}

bool showsText(QWidget *widget, const QString &text)
{
    for (QLabel *label : widget->findChildren<QLabel *>()) {
        if (label->text() == text && label->isVisibleTo(widget))
            return true;
    }
    return false;
}
} // namespace

class TestReminderList : public TestCase
{
    Q_OBJECT
private:
    static void writeThree()
    {
        writeClockRecords({reminderRecord(QStringLiteral("s1"), 1893456000), reminderRecord(QStringLiteral("s2"), 1893456060),
                           reminderRecord(QStringLiteral("s3"), 1893456120)});
    }

private slots:
    void cardsShowTheRecordsInFileOrder()
    {
        TempDataDir data;
        QJsonObject noRemark = reminderRecord(QStringLiteral("s2"), 1893456060);
        noRemark.remove(QStringLiteral("remark"));
        writeClockRecords({reminderRecord(QStringLiteral("s1"), 1893456000), noRemark});
        clockTableDialog list;
        list.show();
        QCOMPARE(list.findChild<QListWidget *>()->count(), 2);
        QVERIFY(showsText(&list, QStringLiteral("最多只能有3个闹钟提醒(点击开服列表添加闹钟)")));
        QVERIFY(showsText(&list, QStringLiteral("西游降魔录【s1】"))); // the server's abbreviation
        QVERIFY(showsText(&list, QStringLiteral("备注：")));
        const QString when = QLocale::system().toString(QDateTime::fromSecsSinceEpoch(1893456000), QLocale::ShortFormat);
        QVERIFY(showsText(&list, when));
    }

    void deletingRemovesWhatTheCardShows()
    {
        TempDataDir data;
        writeThree();
        clockTableDialog list;
        QSignalSpy changed(&list, &clockTableDialog::recordsChanged);
        list.show();
        deleteButtons(&list).first()->click();
        deleteButtons(&list).first()->click();
        QCOMPARE(storedServers(), QStringList{QStringLiteral("s3")});
        QCOMPARE(changed.count(), 2);

        // Meanwhile another window added a reminder in front: the card still
        // deletes its own record, and the new one survives.
        writeClockRecords({reminderRecord(QStringLiteral("new"), 1893456180), reminderRecord(QStringLiteral("s3"), 1893456120)});
        deleteButtons(&list).first()->click();
        QCOMPARE(storedServers(), QStringList{QStringLiteral("new")});
        QVERIFY(!list.isVisible()); // its last card is gone
    }

    void aRecordGoneMeanwhileOrTheLastOne()
    {
        TempDataDir data;
        writeThree();
        clockTableDialog list;
        list.show();
        writeClockRecords({reminderRecord(QStringLiteral("s2"), 1893456060), reminderRecord(QStringLiteral("s3"), 1893456120)});
        deleteButtons(&list).first()->click(); // s1, deleted elsewhere already
        QCOMPARE(storedServers(), (QStringList{"s2", "s3"}));
        deleteButtons(&list).first()->click();
        deleteButtons(&list).first()->click();
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), QByteArray("[]"));
        QVERIFY(!list.isVisible());
    }

    void aFailedSaveKeepsTheCard()
    {
        TempDataDir data;
        writeThree();
        const QByteArray before = data.read(QStringLiteral("clocklist.txt"));
        clockTableDialog list;
        list.show();
        ReadOnlyFolder readOnly(data.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt not saved")));
        deleteButtons(&list).first()->click();
        QCOMPARE(list.findChild<QListWidget *>()->count(), 3);
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), before);
        QVERIFY(showsText(&list, QStringLiteral("删除失败，请稍后重试")));
    }
};
KAVO_TEST(TestReminderList)

#include "tst_reminderlist.moc"
