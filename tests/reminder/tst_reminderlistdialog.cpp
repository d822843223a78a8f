#include "core/listfiles.h"
#include "support/records.h"
#include "reminder/reminderlistdialog.h"
#include "support/lookup.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "widgets/recyclinglistview.h"
#include <QJsonArray>
#include <QToolButton>

namespace {
// Deletes the top card's record.
void deleteTopCard(QWidget *list)
{
    list->findChild<RecyclingListView *>()->rowWidget(0)->findChild<QToolButton *>()->click();
}

int cardCount(QWidget *list)
{
    return list->findChild<RecyclingListView *>()->model()->rowCount();
}

QStringList storedServers()
{
    QStringList servers;
    for (const QJsonValue &record : readReminderRecords())
        servers << record[QStringLiteral("server")].toString();
    return servers;
}

bool showsText(QWidget *widget, const QString &text)
{
    QLabel *label = childWithText<QLabel>(widget, text);
    return label && label->isVisibleTo(widget);
}

QJsonArray three()
{
    return {reminderRecord(QStringLiteral("s1"), 1893456000), reminderRecord(QStringLiteral("s2"), 1893456060),
            reminderRecord(QStringLiteral("s3"), 1893456120)};
}
} // namespace

class TestReminderList : public TestCase
{
    Q_OBJECT
private slots:
    void cardsShowTheRecordsInFileOrder()
    {
        TempDataDir data;
        QJsonObject noRemark = reminderRecord(QStringLiteral("s2"), 1893456060);
        noRemark.remove(QStringLiteral("remark"));
        writeReminderRecords({reminderRecord(QStringLiteral("s1"), 1893456000), noRemark});
        ReminderListDialog list(nullptr);
        list.show();
        QCOMPARE(cardCount(&list), 2);
        QVERIFY(showsText(&list, QStringLiteral("西游降魔录【s1】"))); // the server's abbreviation
        QVERIFY(showsText(&list, QStringLiteral("备注：")));
        QVERIFY(showsText(&list, QLocale::system().toString(QDateTime::fromSecsSinceEpoch(1893456000), QLocale::ShortFormat)));
    }

    void deletingRemovesWhatTheCardShows()
    {
        TempDataDir data;
        writeReminderRecords(three());
        ReminderListDialog list(nullptr);
        QSignalSpy changed(&list, &ReminderListDialog::recordsChanged);
        list.show();
        deleteTopCard(&list);
        QCOMPARE(storedServers(), (QStringList{"s2", "s3"}));
        // Meanwhile another window added a reminder in front: the card still
        // deletes its own record, and the new one survives.
        writeReminderRecords({reminderRecord(QStringLiteral("new"), 1893456180), three().at(1), three().at(2)});
        deleteTopCard(&list);
        QCOMPARE(storedServers(), (QStringList{"new", "s3"}));
        QCOMPARE(changed.count(), 2);
        // And deleted s3 already: nothing else goes.
        writeReminderRecords({reminderRecord(QStringLiteral("new"), 1893456180)});
        deleteTopCard(&list);
        QCOMPARE(storedServers(), QStringList{QStringLiteral("new")});
        QVERIFY(!list.isVisible()); // its last card is gone
    }

    void aFailedSaveKeepsTheCard()
    {
        TempDataDir data;
        writeReminderRecords(three());
        const QByteArray before = data.read(QStringLiteral("clocklist.txt"));
        ReminderListDialog list(nullptr);
        list.show();
        ReadOnlyFolder readOnly(data.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt not saved")));
        deleteTopCard(&list);
        QCOMPARE(cardCount(&list), 3);
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), before);
        QVERIFY(showsText(&list, QStringLiteral("删除失败，请稍后重试")));
    }
};
KAVO_TEST(TestReminderList)

#include "tst_reminderlistdialog.moc"
