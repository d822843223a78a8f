#include "core/listfiles.h"
#include "support/records.h"
#include "reminder/reminderscheduler.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDateTime>
#include <QJsonArray>
#include <QMediaPlayer>

namespace {
QStringList servers(const QList<ReminderScheduler::Armed> &armed)
{
    QStringList names;
    for (const ReminderScheduler::Armed &a : armed)
        names << a.record.server;
    names.sort();
    return names;
}
} // namespace

class TestReminderScheduler : public TestCase
{
    Q_OBJECT
private:
    // 2030-01-01 00:00:00 UTC, and 400 ms into that second.
    static constexpr qint64 kSecond = 1893456000;
    qint64 m_now = kSecond * 1000 + 400;
    TempDataDir *m_data = nullptr;
    ReminderScheduler *m_timer = nullptr;

    QJsonObject at(const QString &server, qint64 offset) { return reminderRecord(server, kSecond + offset); }

private slots:
    void init()
    {
        m_now = kSecond * 1000 + 400;
        m_data = new TempDataDir;
        m_timer = new ReminderScheduler;
        m_timer->setClock([this] { return m_now; });
    }

    void cleanup()
    {
        delete m_timer;
        delete m_data;
    }

    void armsEveryOneAheadToTheMillisecondAndRingsThePastOnceAtStart()
    {
        // Two whose moment passed while the box was not running, two ahead.
        writeReminderRecords({at(QStringLiteral("s1"), -60), at(QStringLiteral("s2"), 0), at(QStringLiteral("s3"), 1),
                              at(QStringLiteral("s4"), 5)});
        const QByteArray before = m_data->read(QStringLiteral("clocklist.txt"));
        QStringList rang;
        connect(m_timer, &ReminderScheduler::rang, this, [&rang](const ReminderRecord &record) { rang << record.server; });
        m_timer->start();
        QCOMPARE(servers(m_timer->armed()), (QStringList{"s3", "s4"}));
        QCOMPARE(m_timer->armed().first().intervalMs, 600); // to the due second, not a whole one
        QCOMPARE(rang, (QStringList{"s1", "s2"}));
        QCOMPARE(m_data->read(QStringLiteral("clocklist.txt")), before); // taking them off is the owner's
        m_timer->start(); // still in the file: once a run all the same
        QCOMPARE(rang.size(), 2);

        // A long wait is split, and stays exact when re-armed later.
        writeReminderRecords({at(QStringLiteral("s5"), 30 * 24 * 3600)});
        m_timer->start();
        QCOMPARE(m_timer->armed().first().intervalMs, ReminderScheduler::kLongestWaitMs);
        m_now = (kSecond + 30 * 24 * 3600) * 1000 - 1500;
        m_timer->start();
        QCOMPARE(m_timer->armed().size(), 1);
        QCOMPARE(m_timer->armed().first().intervalMs, 1500);
    }

    void reArmingFollowsTheFile()
    {
        QJsonArray records{at(QStringLiteral("s1"), 10), at(QStringLiteral("s2"), 20), at(QStringLiteral("s3"), 30)};
        writeReminderRecords(records);
        m_timer->start();
        m_timer->start();
        QCOMPARE(servers(m_timer->armed()), (QStringList{"s1", "s2", "s3"})); // one timer each
        records.removeAt(0);
        writeReminderRecords(records);
        m_timer->start();
        QCOMPARE(servers(m_timer->armed()), (QStringList{"s2", "s3"}));
    }

    void aReminderDueDuringAReArmStillRingsOnce()
    {
        writeReminderRecords({at(QStringLiteral("s1"), 1)});
        m_timer->start();
        QStringList rang;
        connect(m_timer, &ReminderScheduler::rang, this, [&rang](const ReminderRecord &record) { rang << record.server; });
        m_now = (kSecond + 1) * 1000; // due before its timer event came
        m_timer->start();
        QCOMPARE(rang, QStringList{QStringLiteral("s1")});
        QVERIFY(m_timer->armed().isEmpty());
        m_timer->start();
        QCOMPARE(rang.size(), 1);
    }

    void badFilesAndTimesArmNothing()
    {
        QJsonObject text = at(QStringLiteral("s2"), 0);
        text[QStringLiteral("time")] = QString::number(kSecond + 10);
        QJsonObject fraction = at(QStringLiteral("s3"), 0);
        fraction[QStringLiteral("time")] = kSecond + 10.5;
        writeReminderRecords({QJsonValue(QStringLiteral("not a record")), text, fraction});
        m_timer->start();
        QVERIFY(m_timer->armed().isEmpty());

        m_data->write(QStringLiteral("clocklist.txt"), "{\"gamename\": broken");
        QTest::ignoreMessage(QtWarningMsg, "clocklist.txt is not a JSON array; reading it as empty");
        m_timer->start();
        QVERIFY(m_timer->armed().isEmpty());
        QVERIFY(!m_timer->player()); // nothing to ring: the media framework is not started
    }

    void theAlarmPlaysOnlyWhenAskedAndTheNextStopsIt()
    {
        const qint64 soon = QDateTime::currentMSecsSinceEpoch() / 1000 + 1;
        writeReminderRecords({reminderRecord(QStringLiteral("loud"), soon, 1), reminderRecord(QStringLiteral("quiet"), soon + 1, 0)});
        ReminderScheduler timer; // on the real clock
        QList<qint64> rangAt;
        QStringList rang;
        QList<QMediaPlayer::State> sound;
        connect(&timer, &ReminderScheduler::rang, this, [&](const ReminderRecord &record) {
            rangAt << QDateTime::currentMSecsSinceEpoch();
            rang << record.server;
            sound << timer.player()->state();
        });
        timer.start();
        QTRY_COMPARE_WITH_TIMEOUT(rang.size(), 2, 5000);
        QVERIFY2(rangAt.first() >= soon * 1000, "never before its second");
        QCOMPARE(rang, (QStringList{"loud", "quiet"}));
        // The first plays; the second, silent, stops it.
        QCOMPARE(sound, (QList<QMediaPlayer::State>{QMediaPlayer::PlayingState, QMediaPlayer::StoppedState}));
    }
};
KAVO_TEST(TestReminderScheduler)

#include "tst_reminderscheduler.moc"
