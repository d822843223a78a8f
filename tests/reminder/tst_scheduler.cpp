#include "core/listfiles.h"
#include "records.h"
#include "reminder/mytimer.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDateTime>
#include <QJsonArray>
#include <QMediaPlayer>

namespace {
QStringList servers(const QList<MyTimer::Armed> &armed)
{
    QStringList names;
    for (const MyTimer::Armed &a : armed)
        names << a.record.server;
    names.sort();
    return names;
}
} // namespace

class TestScheduler : public TestCase
{
    Q_OBJECT
private:
    // 2030-01-01 00:00:00 UTC, and 400 ms into that second.
    static constexpr qint64 kSecond = 1893456000;
    qint64 m_now = kSecond * 1000 + 400;

    void clock(MyTimer &timer)
    {
        timer.setClock([this] { return m_now; });
    }

private slots:
    void armsTheFirstThreeStillAhead()
    {
        TempDataDir data;
        // Past, this very second, two ahead and one ahead at position 4.
        writeClockRecords({reminderRecord(QStringLiteral("s1"), kSecond - 60), reminderRecord(QStringLiteral("s2"), kSecond),
                           reminderRecord(QStringLiteral("s3"), kSecond + 1), reminderRecord(QStringLiteral("s4"), kSecond + 5)});
        const QByteArray before = data.read(QStringLiteral("clocklist.txt"));
        MyTimer timer;
        clock(timer);
        timer.start();
        QCOMPARE(servers(timer.armed()), QStringList{QStringLiteral("s3")});
        QCOMPARE(timer.armed().first().intervalMs, 600); // to the due second, not a whole one
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), before);
    }

    void longWaitsStayExactAcrossReArms()
    {
        TempDataDir data;
        const qint64 due = kSecond + 30 * 24 * 3600;
        writeClockRecords({reminderRecord(QStringLiteral("s1"), due)});
        MyTimer timer;
        clock(timer);
        timer.start();
        QCOMPARE(timer.armed().first().intervalMs, MyTimer::kLongestWaitMs);
        m_now = due * 1000 - 1500;
        timer.start();
        QCOMPARE(timer.armed().size(), 1);
        QCOMPARE(timer.armed().first().intervalMs, 1500);
        m_now = kSecond * 1000 + 400;
    }

    void reArmingFollowsTheFile()
    {
        TempDataDir data;
        QJsonArray records{reminderRecord(QStringLiteral("s1"), kSecond + 10), reminderRecord(QStringLiteral("s2"), kSecond + 20),
                           reminderRecord(QStringLiteral("s3"), kSecond + 30), reminderRecord(QStringLiteral("s4"), kSecond + 40)};
        writeClockRecords(records);
        MyTimer timer;
        clock(timer);
        timer.start();
        timer.start();
        QCOMPARE(servers(timer.armed()), (QStringList{"s1", "s2", "s3"})); // one timer each
        records.removeAt(0);
        writeClockRecords(records);
        timer.start();
        QCOMPARE(servers(timer.armed()), (QStringList{"s2", "s3", "s4"}));
    }

    void aReminderDueDuringAReArmStillRings()
    {
        TempDataDir data;
        writeClockRecords({reminderRecord(QStringLiteral("s1"), kSecond + 1)});
        MyTimer timer;
        clock(timer);
        timer.start();
        QStringList rang;
        connect(&timer, &MyTimer::rang, this, [&rang](const ClockRecord &record) { rang << record.server; });
        m_now = (kSecond + 1) * 1000; // due before its timer event came
        timer.start();
        QCOMPARE(rang, QStringList{QStringLiteral("s1")});
        QVERIFY(timer.armed().isEmpty());
        timer.start();
        QCOMPARE(rang.size(), 1); // once
        m_now = kSecond * 1000 + 400;
    }

    void badFilesAndTimesArmNothing()
    {
        TempDataDir data;
        QJsonObject text = reminderRecord(QStringLiteral("s2"), 0);
        text[QStringLiteral("time")] = QString::number(kSecond + 10);
        QJsonObject fraction = reminderRecord(QStringLiteral("s3"), 0);
        fraction[QStringLiteral("time")] = kSecond + 10.5;
        writeClockRecords({QJsonValue(QStringLiteral("not a record")), text, fraction});
        MyTimer timer;
        clock(timer);
        timer.start();
        QVERIFY(timer.armed().isEmpty());

        data.write(QStringLiteral("clocklist.txt"), "{\"gamename\": broken");
        QTest::ignoreMessage(QtWarningMsg, "clocklist.txt is not a JSON array; reading it as empty");
        timer.start();
        QVERIFY(timer.armed().isEmpty());
        QVERIFY(!timer.player()); // nothing to ring: the media framework is not started
    }

    void theAlarmPlaysOnlyWhenAskedAndTheNextStopsIt()
    {
        TempDataDir data;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const qint64 soon = now / 1000 + 1;
        writeClockRecords({reminderRecord(QStringLiteral("loud"), soon, 1), reminderRecord(QStringLiteral("quiet"), soon + 1, 0)});
        MyTimer timer;
        QList<qint64> rangAt;
        QStringList rang;
        QList<QMediaPlayer::State> sound;
        connect(&timer, &MyTimer::rang, this, [&](const ClockRecord &record) {
            rangAt << QDateTime::currentMSecsSinceEpoch();
            rang << record.server;
            sound << timer.player()->state();
        });
        timer.start();
        QTRY_COMPARE_WITH_TIMEOUT(rang.size(), 1, 3000);
        QVERIFY2(rangAt.first() >= soon * 1000, "never before its second");
        QTRY_COMPARE_WITH_TIMEOUT(rang.size(), 2, 3000);
        QCOMPARE(rang, (QStringList{"loud", "quiet"}));
        // The first plays; the second, silent, stops it.
        QCOMPARE(sound, (QList<QMediaPlayer::State>{QMediaPlayer::PlayingState, QMediaPlayer::StoppedState}));
    }
};
KAVO_TEST(TestScheduler)

#include "tst_scheduler.moc"
