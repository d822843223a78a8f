#include "account/altaccounttable.h"
#include "core/config.h"
#include "core/datadir.h"
#include "core/listfiles.h"
#include "reminder/reminderlistdialog.h"
#include "reminder/reminderscheduler.h"
#include "support/lookup.h"
#include "support/records.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "widgets/recyclinglistview.h"
#include <QDateTime>
#include <QDir>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QJsonObject>
#include <memory>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
QJsonObject reminder()
{
    return reminderRecord(QStringLiteral("s1"), 1767225600, 1);
}

// count records as the file's text, their servers (or user names) numbered
// from 0, reminders a second apart from firstTime. Written as text: growing
// a QJsonArray one element at a time takes quadratic time.
QByteArray manyRecords(bool reminders, int count, qint64 firstTime)
{
    const QJsonObject record = reminders ? reminder() : altAccountRecord(QStringLiteral("kavo"));
    const QByteArray one = jsonArrayToString(QJsonArray{record}).toUtf8().mid(1).chopped(1);
    QByteArray all = "[";
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        all += reminders ? QByteArray(one).replace("\"s1\"", "\"s" + n + '"').replace("1767225600", QByteArray::number(firstTime + i))
                         : QByteArray(one).replace("\"kavo\"", "\"kavo" + n + '"');
        all += ',';
    }
    all.back() = ']';
    return all;
}

QStringList corruptCopies(const TempDataDir &data, const QString &name)
{
    return QDir(data.path()).entryList({name + QStringLiteral(".corrupt-*")}, QDir::Files);
}
} // namespace

class TestListFiles : public TestCase
{
    Q_OBJECT
private slots:
    void recordsAreCompactSortedUtf8()
    {
        TempDataDir data;
        QVERIFY(writeReminderList(jsonArrayToString(QJsonArray{reminder()}).toUtf8()));
        QCOMPARE(QString::fromUtf8(data.read(QStringLiteral("clocklist.txt"))),
                 QStringLiteral("[{\"gamename\":\"西游降魔录\",\"musicReminds\":1,\"remark\":\"早点上线\","
                                "\"server\":\"s1\",\"servername\":\"双线s1\",\"tag\":\"xyj\",\"time\":1767225600}]"));
        QVERIFY(writeAltAccountRecords(QJsonArray{altAccountRecord(QStringLiteral("kavo_alt1"))}));
        QCOMPARE(QString::fromUtf8(data.read(QStringLiteral("xiaohaoinfolist.txt"))),
                 QStringLiteral("[{\"ckcode\":\"ck-kavo_alt1\",\"gamename\":\"西游降魔录\",\"server\":\"s1\","
                                "\"servername\":\"双线1服\",\"tag\":\"xyj\",\"username\":\"kavo_alt1\"}]"));
    }

    void orderSurvivesAppendAndRemove()
    {
        TempDataDir data;
        const QJsonArray records{reminderRecord(QStringLiteral("s1"), 1), reminderRecord(QStringLiteral("s2"), 1),
                                 reminderRecord(QStringLiteral("s3"), 1)};
        QVERIFY(writeReminderRecords(records));
        QJsonArray stored = readReminderRecords();
        stored.removeAt(0);
        QVERIFY(writeReminderRecords(stored));
        stored = readReminderRecords();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.at(0)[QStringLiteral("server")].toString(), QStringLiteral("s2"));
        QCOMPARE(stored.at(1)[QStringLiteral("server")].toString(), QStringLiteral("s3"));

        QVERIFY(writeReminderRecords(QJsonArray()));
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), QByteArray("[]"));
    }

    // Whatever the two lists hold (or none at all), both dialogs open at once
    // showing every usable record, the scheduler arms only whole reminders still ahead
    // among the first three, and the next save keeps an unparsable list
    // aside first and loses no record.
    void hostileListsOpenArmAndSurviveASave_data()
    {
        QTest::addColumn<QByteArray>("clocks");
        QTest::addColumn<QByteArray>("alts");
        QTest::addColumn<QStringList>("armed");
        QTest::addColumn<int>("clockRows"); // in the file; -1: unparsable
        QTest::addColumn<int>("altRows");
        QTest::addColumn<int>("clocksShown");
        QTest::addColumn<int>("altsShown");
        const QByteArray binary("\x00\xff\xfe junk\x01", 10);
        QTest::newRow("missing") << QByteArray() << QByteArray() << QStringList() << 0 << 0 << 0 << 0;
        QTest::newRow("empty") << QByteArray("") << QByteArray("") << QStringList() << 0 << 0 << 0 << 0;
        QTest::newRow("[]") << QByteArray("[]") << QByteArray(" [ ]\n") << QStringList() << 0 << 0 << 0 << 0;
        QTest::newRow("{}") << QByteArray("{}") << QByteArray("{}") << QStringList() << -1 << -1 << 0 << 0;
        QTest::newRow("not JSON") << QByteArray("[{\"gamename\":\"西游") << QByteArray("hello") << QStringList() << -1 << -1 << 0 << 0;
        QTest::newRow("binary") << binary << binary << QStringList() << -1 << -1 << 0 << 0;
        // Qt's parser would leak the replaced value; such a list is refused whole.
        const QByteArray twice("[{\"gamename\":[\"x\"],\"gamename\":\"y\"}]");
        QTest::newRow("a key named twice") << twice << twice << QStringList() << -1 << -1 << 0 << 0;

        const qint64 ahead = QDateTime::currentSecsSinceEpoch() + 3600;
        QJsonObject textTime = reminder(), fraction = reminder();
        textTime[QStringLiteral("time")] = QString::number(ahead);
        fraction[QStringLiteral("time")] = ahead + 0.5;
        const QJsonArray oddClocks{textTime, reminderRecord(QStringLiteral("valid"), ahead), 42, fraction, QJsonObject(),
                                   reminderRecord(QStringLiteral("fourth"), ahead)};
        const QJsonArray oddAlts{QJsonObject{{QStringLiteral("username"), 5}}, QJsonObject(), QStringLiteral("x"),
                                 QJsonArray{1}};
        QTest::newRow("missing and wrong-typed keys")
            << jsonArrayToString(oddClocks).toUtf8() << jsonArrayToString(oddAlts).toUtf8()
            << QStringList{QStringLiteral("fourth"), QStringLiteral("valid")} << oddClocks.size() << oddAlts.size() << 2 << 0;

        const int count = 40000;
        const QByteArray manyClocks = manyRecords(true, count, ahead), manyAlts = manyRecords(false, count, 0);
        QVERIFY(manyClocks.size() > 5000000);
        QTest::newRow("5 MB of records") << manyClocks << manyAlts << QStringList{"s0", "s1", "s2"} << count << count
                                         << count << count;
    }

    void hostileListsOpenArmAndSurviveASave()
    {
        QFETCH(QByteArray, clocks);
        QFETCH(QByteArray, alts);
        QFETCH(QStringList, armed);
        QFETCH(int, clockRows);
        QFETCH(int, altRows);
        QFETCH(int, clocksShown);
        QFETCH(int, altsShown);
        TempDataDir data;
        if (!clocks.isNull())
            data.write(QStringLiteral("clocklist.txt"), clocks);
        if (!alts.isNull())
            data.write(QStringLiteral("xiaohaoinfolist.txt"), alts);
        // Each reader says once that it found no list: the list dialog, the
        // scheduler and the save; the table and its save.
        for (int i = 0; clockRows < 0 && i < 3; ++i)
            QTest::ignoreMessage(QtWarningMsg, "clocklist.txt is not a JSON array; reading it as empty");
        for (int i = 0; altRows < 0 && i < 2; ++i)
            QTest::ignoreMessage(QtWarningMsg, "xiaohaoinfolist.txt is not a JSON array; reading it as empty");
        const QRegularExpression broken(QStringLiteral("^\\S+: \\d+ of \\d+ records are broken; they stay in the file, unshown$"));
        for (bool some : {clocksShown < clockRows, altsShown < altRows}) {
            if (some)
                QTest::ignoreMessage(QtWarningMsg, broken);
        }

        QElapsedTimer clock;
        clock.start();
        {
            ReminderListDialog reminders(nullptr);
            AltAccountTable accounts(nullptr);
            reminders.show();
            accounts.show();
            QCOMPARE(reminders.findChild<RecyclingListView *>()->model()->rowCount(), clocksShown);
            QCOMPARE(accounts.findChild<RecyclingListView *>()->model()->rowCount(), altsShown);
        }
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));

        ReminderScheduler timer;
        timer.start();
        QStringList servers; // the nearest ones
        for (const ReminderScheduler::Armed &a : timer.armed().mid(0, 3))
            servers << a.record.server;
        servers.sort();
        QCOMPARE(servers, armed);

        if (clockRows < 0)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt kept aside as ")));
        if (altRows < 0)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("xiaohaoinfolist.txt kept aside as ")));
        QJsonArray clockRecords = readReminderRecords(), altRecords = readAltAccountRecords();
        clockRecords.append(reminder());
        altRecords.append(QJsonObject{{QStringLiteral("username"), QStringLiteral("new")}});
        QVERIFY(writeReminderRecords(clockRecords) && writeAltAccountRecords(altRecords));
        QCOMPARE(readReminderRecords().size(), qMax(clockRows, 0) + 1);
        QCOMPARE(readAltAccountRecords().size(), qMax(altRows, 0) + 1);
        for (const auto &list : {std::make_pair(QStringLiteral("clocklist.txt"), clocks),
                                 std::make_pair(QStringLiteral("xiaohaoinfolist.txt"), alts)}) {
            const QStringList aside = corruptCopies(data, list.first);
            const bool broken = (list.first.startsWith(QLatin1Char('c')) ? clockRows : altRows) < 0;
            QCOMPARE(aside.size(), broken ? 1 : 0);
            if (broken) {
                QVERIFY(QRegularExpression(QStringLiteral("^%1\\.corrupt-\\d{8}-\\d{6}$").arg(QRegularExpression::escape(list.first)))
                            .match(aside.first()).hasMatch());
                QCOMPARE(data.read(aside.first()), list.second);
            }
        }
    }

    void whatTheBoxKeepsOnlyItsUserReads()
    {
#ifdef Q_OS_UNIX
        const mode_t umaskBefore = ::umask(022);
        TempDataDir data;
        const auto privateTo = [](const QString &path) {
            return (QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser))
                == (QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        };
        QVERIFY(writeReminderRecords({reminder()}) && writeAltAccountRecords({QJsonObject{{QStringLiteral("ckcode"), QStringLiteral("c0ffee")}}}));
        Config config;
        QVERIFY(config.setValue(Settings::kAutoLogin, true));
        for (const char *name : {"clocklist.txt", "xiaohaoinfolist.txt", "Config.ini"})
            QVERIFY2(privateTo(data.filePath(QLatin1String(name))), name);

        // Left open to all (by an older version, by hand): narrowed at the next write.
        const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        for (const char *name : {"xiaohaoinfolist.txt", "Config.ini"})
            QFile::setPermissions(data.filePath(QLatin1String(name)), open);
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^narrowing the permissions of .*xiaohaoinfolist.txt")));
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^narrowing the permissions of .*Config.ini")));
        QVERIFY(writeAltAccountRecords({}) && config.setValue(Settings::kAutoLogin, false));
        for (const char *name : {"xiaohaoinfolist.txt", "Config.ini"})
            QVERIFY2(privateTo(data.filePath(QLatin1String(name))), name);

        // A list kept aside because it could not be read is private too.
        data.write(QStringLiteral("clocklist.txt"), "{broken");
        QFile::setPermissions(data.filePath(QStringLiteral("clocklist.txt")), open);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept aside as")));
        QVERIFY(writeReminderRecords({}));
        const QStringList aside = corruptCopies(data, QStringLiteral("clocklist.txt"));
        QCOMPARE(aside.size(), 1);
        QVERIFY(privateTo(data.filePath(aside.first())));

        // A data folder the box makes is its user's alone.
        const QString made = data.filePath(QStringLiteral("home/share/kavobox"));
        QCOMPARE(chooseDataDir(data.filePath(QStringLiteral("no such folder")), made), made);
        QCOMPARE(QFile::permissions(made) & (QFileDevice::ReadOther | QFileDevice::ReadGroup | QFileDevice::ExeOther), QFileDevice::Permissions());
        ::umask(umaskBefore);
#else
        QSKIP("permission bits are the owner's business elsewhere");
#endif
    }

    // Ten thousand records and two broken ones: every good one is listed, the
    // last reached with the keys, its buttons found and pressed through the
    // accessibility tree as a screen reader would; its record alone leaves
    // the file, and the broken ones stay.
    void bigListsReachAndDeleteTheirLastRecord_data()
    {
        QTest::addColumn<bool>("reminders");
        QTest::newRow("reminders") << true;
        QTest::newRow("alt accounts") << false;
    }

    void bigListsReachAndDeleteTheirLastRecord()
    {
        QFETCH(bool, reminders);
        TempDataDir data;
        const QString file = reminders ? QStringLiteral("clocklist.txt") : QStringLiteral("xiaohaoinfolist.txt");
        const int count = 10000;
        const qint64 firstTime = 1767225600;
        data.write(file, "[42,{}," + manyRecords(reminders, count, firstTime).mid(1));
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("%1: 2 of %2 records are broken; they stay in the file, unshown")
                                                          .arg(file).arg(count + 2)));
        std::unique_ptr<QWidget> dialog(reminders ? static_cast<QWidget *>(new ReminderListDialog(nullptr))
                                                  : new AltAccountTable(nullptr));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        auto *list = dialog->findChild<RecyclingListView *>();
        QCOMPARE(list->model()->rowCount(), count);
        const QRect screen(list->viewport()->mapToGlobal(QPoint()), list->viewport()->size());
        const QStringList buttons = reminders ? QStringList{"删除"} : QStringList{"开始游戏", "删除"};
        for (const QString &name : buttons) {
            const QList<QAccessibleInterface *> found = accessibleButtons(dialog.get(), name);
            QVERIFY2(!found.isEmpty() && found.size() < 20, qPrintable(name));
            for (QAccessibleInterface *button : found)
                QVERIFY(screen.intersects(button->parent()->rect())); // on a row on screen
        }

        // Tab goes on past the screen's bottom edge, to the next row's button.
        int bottom = 0;
        while (list->rowWidget(bottom + 1))
            ++bottom;
        QAbstractButton *lastOnScreen = list->rowWidget(bottom)->findChildren<QAbstractButton *>().last();
        lastOnScreen->setFocus();
        QTest::keyClick(lastOnScreen, Qt::Key_Tab);
        QVERIFY(list->rowWidget(bottom + 1) && list->window()->focusWidget()->parentWidget() == list->rowWidget(bottom + 1));

        QTest::keyClick(list, Qt::Key_End);
        QWidget *last = list->rowWidget(count - 1);
        QVERIFY(last && screen.contains(QRect(last->mapToGlobal(QPoint()), last->size())));
        const QString lastKey = reminders ? QStringLiteral("s9999") : QStringLiteral("kavo9999");
        const QString previousKey = reminders ? QStringLiteral("s9998") : QStringLiteral("kavo9998");
        const QString name = QAccessible::queryAccessibleInterface(last)->text(QAccessible::Name);
        QVERIFY2(name.contains(lastKey), qPrintable(name));
        if (reminders) {
            const QString when = QLocale::system().toString(QDateTime::fromSecsSinceEpoch(firstTime + count - 1), QLocale::ShortFormat);
            QVERIFY2(name.contains(when) && name.contains(reminder()[QStringLiteral("remark")].toString()), qPrintable(name));
        }
        QAccessibleInterface *remove = nullptr;
        for (QAccessibleInterface *button : accessibleButtons(dialog.get(), QStringLiteral("删除"))) {
            if (button->parent()->object() == last)
                remove = button;
        }
        QVERIFY(remove);
        remove->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(list->model()->rowCount(), count - 1);
        const QByteArray left = data.read(file);
        QVERIFY(!left.contains('"' + lastKey.toUtf8() + '"') && left.contains('"' + previousKey.toUtf8() + '"'));
        QVERIFY(left.startsWith("[42,{},"));
        QCOMPARE(parseListRecords(file, left).size(), count + 1);
    }

    void interruptedWriteLeavesTheOldListWhole()
    {
        TempDataDir data;
        QVERIFY(writeReminderRecords(QJsonArray{reminder()}));
        const QByteArray before = data.read(QStringLiteral("clocklist.txt"));
        QJsonArray many;
        for (int i = 0; i < 20; ++i)
            many.append(reminder());
        bool saved = true;
        {
            FileSizeLimit full(64);
            if (!full.isActive())
                QSKIP("needs a file-size limit to stand in for a full disk");
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt not saved")));
            saved = writeReminderRecords(many);
        }
        QVERIFY(!saved);
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), before);
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList{QStringLiteral("clocklist.txt")});
    }

    void readOnlyFolderLosesNothing()
    {
        TempDataDir data;
        QVERIFY(writeReminderRecords(QJsonArray{reminder()}));
        data.write(QStringLiteral("xiaohaoinfolist.txt"), "not json");
        const QByteArray clock = data.read(QStringLiteral("clocklist.txt"));

        ReadOnlyFolder readOnly(data.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt not saved")));
        QVERIFY(!writeReminderRecords(QJsonArray()));
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), clock);

        // The corrupt list cannot be moved aside, so it must not be replaced either.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not keep aside")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("xiaohaoinfolist.txt not saved")));
        QVERIFY(!writeAltAccountRecords(QJsonArray()));
        QCOMPARE(data.read(QStringLiteral("xiaohaoinfolist.txt")), QByteArray("not json"));
    }
};
KAVO_TEST(TestListFiles)

#include "tst_listfiles.moc"
