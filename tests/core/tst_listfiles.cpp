#include "core/listfiles.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDir>
#include <QJsonObject>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {
QJsonObject reminder()
{
    return QJsonObject{{QStringLiteral("time"), 1767225600},
                       {QStringLiteral("tag"), QStringLiteral("xyj")},
                       {QStringLiteral("servername"), QStringLiteral("双线1服")},
                       {QStringLiteral("server"), QStringLiteral("s1")},
                       {QStringLiteral("remark"), QStringLiteral("早点上线")},
                       {QStringLiteral("musicReminds"), 1},
                       {QStringLiteral("gamename"), QStringLiteral("西游记")}};
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
    void missingOrEmptyListsReadEmptyAndSaveWithoutFuss()
    {
        TempDataDir data;
        QVERIFY(readClockRecords().isEmpty());
        QVERIFY(writeClockRecords(QJsonArray{reminder()}));
        QCOMPARE(readClockRecords().size(), 1);
        // An empty file is an empty list, not a corrupt one.
        data.write(QStringLiteral("xiaohaoinfolist.txt"), "");
        QVERIFY(readXiaohaoRecords().isEmpty());
        QVERIFY(writeXiaohaoRecords(QJsonArray{QJsonObject{{QStringLiteral("username"), QStringLiteral("a")}}}));
        QVERIFY(corruptCopies(data, QStringLiteral("xiaohaoinfolist.txt")).isEmpty());
    }

    void recordsAreCompactSortedUtf8()
    {
        TempDataDir data;
        QVERIFY(writeClockList(jsonArrayToString(QJsonArray{reminder()}).toUtf8()));
        QCOMPARE(QString::fromUtf8(data.read(QStringLiteral("clocklist.txt"))),
                 QStringLiteral("[{\"gamename\":\"西游记\",\"musicReminds\":1,\"remark\":\"早点上线\","
                                "\"server\":\"s1\",\"servername\":\"双线1服\",\"tag\":\"xyj\",\"time\":1767225600}]"));

        const QJsonObject alt{{QStringLiteral("username"), QStringLiteral("kavo_alt1")},
                              {QStringLiteral("tag"), QStringLiteral("xyj")},
                              {QStringLiteral("servername"), QStringLiteral("双线1服")},
                              {QStringLiteral("server"), QStringLiteral("s1")},
                              {QStringLiteral("gamename"), QStringLiteral("西游记")},
                              {QStringLiteral("ckcode"), QStringLiteral("c0ffee")}};
        QVERIFY(writeXiaohaoRecords(QJsonArray{alt}));
        QCOMPARE(QString::fromUtf8(data.read(QStringLiteral("xiaohaoinfolist.txt"))),
                 QStringLiteral("[{\"ckcode\":\"c0ffee\",\"gamename\":\"西游记\",\"server\":\"s1\","
                                "\"servername\":\"双线1服\",\"tag\":\"xyj\",\"username\":\"kavo_alt1\"}]"));
    }

    void orderSurvivesAppendAndRemove()
    {
        TempDataDir data;
        QJsonArray records;
        for (const char *server : {"s1", "s2", "s3"}) {
            QJsonObject r = reminder();
            r[QStringLiteral("server")] = QLatin1String(server);
            records.append(r);
        }
        QVERIFY(writeClockRecords(records));
        QJsonArray stored = readClockRecords();
        stored.removeAt(0);
        QVERIFY(writeClockRecords(stored));
        stored = readClockRecords();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.at(0)[QStringLiteral("server")].toString(), QStringLiteral("s2"));
        QCOMPARE(stored.at(1)[QStringLiteral("server")].toString(), QStringLiteral("s3"));

        QVERIFY(writeClockRecords(QJsonArray()));
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), QByteArray("[]"));
    }

    void unparsableListIsKeptAsideBeforeSaving_data()
    {
        QTest::addColumn<QByteArray>("broken");
        QTest::newRow("truncated") << QByteArray("[{\"gamename\":\"西游");
        QTest::newRow("object") << QByteArray("{\"gamename\":\"x\"}");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe junk", 9);
        // Qt's parser would leak the replaced value; such a file is refused whole.
        QTest::newRow("a key named twice") << QByteArray("[{\"gamename\":[\"x\"],\"gamename\":\"y\"}]");
    }

    void unparsableListIsKeptAsideBeforeSaving()
    {
        QFETCH(QByteArray, broken);
        TempDataDir data;
        data.write(QStringLiteral("clocklist.txt"), broken);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt is not a JSON array")));
        QVERIFY(readClockRecords().isEmpty());
        QCOMPARE(readClockList(), broken);
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), broken); // reading changed nothing

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept aside as")));
        QVERIFY(writeClockRecords(QJsonArray{reminder()}));
        const QStringList aside = corruptCopies(data, QStringLiteral("clocklist.txt"));
        QCOMPARE(aside.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^clocklist\\.txt\\.corrupt-\\d{8}-\\d{6}$")).match(aside.first()).hasMatch());
        QCOMPARE(data.read(aside.first()), broken);
        QCOMPARE(readClockRecords().size(), 1);
    }

    void interruptedWriteLeavesTheOldListWhole()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs a file-size limit to stand in for a full disk");
#else
        TempDataDir data;
        QVERIFY(writeClockRecords(QJsonArray{reminder()}));
        const QByteArray before = data.read(QStringLiteral("clocklist.txt"));

        // A full disk, as far as this process can tell: writes past 64 bytes fail.
        struct rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tiny = saved;
        tiny.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &tiny);

        QJsonArray many;
        for (int i = 0; i < 20; ++i)
            many.append(reminder());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt not saved")));
        const bool saved_ = writeClockRecords(many);

        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!saved_);
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), before);
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList{QStringLiteral("clocklist.txt")});
#endif
    }

    void readOnlyFolderLosesNothing()
    {
        TempDataDir data;
        QVERIFY(writeClockRecords(QJsonArray{reminder()}));
        data.write(QStringLiteral("xiaohaoinfolist.txt"), "not json");
        const QByteArray clock = data.read(QStringLiteral("clocklist.txt"));

        ReadOnlyFolder readOnly(data.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("clocklist.txt not saved")));
        QVERIFY(!writeClockRecords(QJsonArray()));
        QCOMPARE(data.read(QStringLiteral("clocklist.txt")), clock);

        // The corrupt list cannot be moved aside, so it must not be replaced either.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not keep aside")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("xiaohaoinfolist.txt not saved")));
        QVERIFY(!writeXiaohaoRecords(QJsonArray()));
        QCOMPARE(data.read(QStringLiteral("xiaohaoinfolist.txt")), QByteArray("not json"));
    }
};
KAVO_TEST(TestListFiles)

#include "tst_listfiles.moc"
