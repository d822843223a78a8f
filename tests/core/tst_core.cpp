#include "core/endpoints.h"
#include "core/listfiles.h"
#include "support/httpfixture.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDir>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTemporaryDir>
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

class TestListFiles : public QObject
{
    Q_OBJECT
private slots:
    void missingListReadsEmptyAndFirstSaveCreatesIt()
    {
        TempDataDir data;
        QVERIFY(readClockList().isEmpty());
        QVERIFY(readClockRecords().isEmpty());
        QVERIFY(writeClockRecords(QJsonArray{reminder()}));
        QCOMPARE(readClockRecords().size(), 1);
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

    void emptyFileIsAnEmptyListNotACorruptOne()
    {
        TempDataDir data;
        data.write(QStringLiteral("xiaohaoinfolist.txt"), "");
        QVERIFY(readXiaohaoRecords().isEmpty());
        QVERIFY(writeXiaohaoRecords(QJsonArray{QJsonObject{{QStringLiteral("username"), QStringLiteral("a")}}}));
        QVERIFY(corruptCopies(data, QStringLiteral("xiaohaoinfolist.txt")).isEmpty());
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

class TestUtilities : public QObject
{
    Q_OBJECT
private slots:
    void dirSizeCountsVisibleFilesOfTheTree()
    {
        QTemporaryDir dir;
        auto put = [](const QString &path, int bytes) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(bytes, 'x'));
        };
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub/deeper")));
        put(dir.filePath(QStringLiteral("a")), 10);
        put(dir.filePath(QStringLiteral("sub/b")), 5);
        put(dir.filePath(QStringLiteral(".hidden")), 100);
        QCOMPARE(dirSize(dir.path()), qint64(15));

        // A link back up the tree must not send the walk round in circles.
        QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("sub/deeper/loop"))));
        QCOMPARE(dirSize(dir.path()), qint64(15));
        QCOMPARE(dirSize(dir.filePath(QStringLiteral("missing"))), qint64(0));
    }

    void parseUrlQuery_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QVariantMap>("expected");
        QTest::newRow("empty value skipped")
            << "http://h/entergame.php?game=abc&server=s12&x="
            << QVariantMap{{QStringLiteral("game"), QStringLiteral("abc")}, {QStringLiteral("server"), QStringLiteral("s12")}};
        QTest::newRow("no query") << "http://h/entergame.php" << QVariantMap();
        QTest::newRow("value stops at other characters")
            << "http://h/?server=s-12&gname=a.b&game=%E4"
            << QVariantMap{{QStringLiteral("server"), QStringLiteral("s")}, {QStringLiteral("gname"), QStringLiteral("a")}};
        QTest::newRow("letters of any script")
            << QStringLiteral("http://h/?game=西游&server=一服")
            << QVariantMap{{QStringLiteral("game"), QStringLiteral("西游")}, {QStringLiteral("server"), QStringLiteral("一服")}};
        QTest::newRow("later key wins, second ? ends the query")
            << "http://h/?game=a&game=b?server=s1"
            << QVariantMap{{QStringLiteral("game"), QStringLiteral("b")}};
    }

    void parseUrlQuery()
    {
        QFETCH(QString, url);
        QFETCH(QVariantMap, expected);
        const QMap<QString, QString> pairs = ::parseUrlQuery(url);
        QVariantMap actual;
        for (auto it = pairs.begin(); it != pairs.end(); ++it)
            actual.insert(it.key(), it.value());
        QCOMPARE(actual, expected);
    }

    void sendGetRequestDeliversAndCleansUp()
    {
        HttpFixture http;
        QVERIFY(http.start());
        http.setBody(QStringLiteral("/update/"), "{\"version_code\":3}", "application/json");

        QPointer<QNetworkAccessManager> manager = sendGetRequest(http.url(QStringLiteral("/update/")).toString());
        QByteArray body;
        connect(manager, &QNetworkAccessManager::finished, this, [&body](QNetworkReply *reply) {
            body = reply->readAll();
            reply->deleteLater();
        });
        QTRY_COMPARE(body, QByteArray("{\"version_code\":3}"));
        QTRY_VERIFY(manager.isNull());
    }
};

class TestEndpoints : public QObject
{
    Q_OBJECT
private slots:
    void init() { Endpoints::loadHosts(QString()); } // every role on the default host

    void everyAddress_data()
    {
        using A = Endpoints::Address;
        QTest::addColumn<int>("address");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("expected");
        const QString h = QStringLiteral("127.0.0.1:18765");
        auto row = [&](const char *name, A a, const QStringList &values, const QString &rest) {
            QTest::newRow(name) << int(a) << values << rest.arg(h);
        };
        row("login page", A::LoginPage, {}, QStringLiteral("http://%1/Kavobox2"));
        row("registration", A::Registration, {}, QStringLiteral("https://%1/reg_new.html?pyx_url=Kavobox_v2"));
        row("password reset", A::PasswordReset, {}, QStringLiteral("https://%1/resetpassword.html"));
        row("account security", A::AccountSecurity, {}, QStringLiteral("http://%1/userprotect.php"));
        row("game list", A::GameList, {}, QStringLiteral("http://%1/api/allserver_series.php?act=getgame"));
        row("server list", A::ServerList, {QStringLiteral("xyj")},
            QStringLiteral("http://%1/api/allserver_series.php?limit=&start=0&end=0&check=Kavobox&gamename=xyj"));
        row("login api", A::LoginApi, {QStringLiteral("kavo_alt1"), QStringLiteral("alt123")},
            QStringLiteral("http://%1/login.php?action=get_user&username=kavo_alt1&password=alt123"));
        row("enter game", A::EnterGame, {QStringLiteral("g1"), QStringLiteral("s5")},
            QStringLiteral("http://%1/entergame.php?game=g1&server=s5&client=1&tobox=1"));
        row("enter as alt", A::EnterGameAsAlt,
            {QStringLiteral("g1"), QStringLiteral("s5"), QStringLiteral("alt"), QStringLiteral("ab12")},
            QStringLiteral("http://%1/entergame.php?game=g1&server=s5&boxSmall=alt&ckcode=ab12&tobox=1"));
        row("site messages", A::SiteMessages, {}, QStringLiteral("http://%1/Kavobox2/znx.html"));
        row("home", A::Home, {}, QStringLiteral("http://%1/landers.html"));
        row("search", A::Search, {}, QStringLiteral("http://%1/search.html"));
        row("update", A::Update, {}, QStringLiteral("http://%1/update/"));
        row("qq", A::QqLogin, {},
            QStringLiteral("http://%1/api/third_api/qq_login/qq_login.php?tobox=tobox&tobox2=tobox2&cpl_url=Kavobox"));
        row("wechat", A::WeChatLogin, {},
            QStringLiteral("http://%1/api/third_api/weixin_login/wx_login.php?tobox=tobox&tobox2=tobox2&cpl_url=Kavobox"));
        row("sign-in", A::SignIn, {}, QStringLiteral("http://%1/task/qiandao.html"));
        row("pay", A::PayHome, {}, QStringLiteral("http://%1/"));
        row("pay for a game", A::PayGame, {QStringLiteral("xyj"), QStringLiteral("s1")},
            QStringLiteral("http://%1/index.php?payway=10&gname=xyj&gserver=s1"));
        row("gift", A::Gift, {}, QStringLiteral("https://%1/"));
        row("website", A::Website, {}, QStringLiteral("https://%1/"));
        row("faq", A::Faq, {}, QStringLiteral("https://%1/cjwt/"));
        row("customer service", A::CustomerService, {}, QStringLiteral("https://%1/client-service/"));
        row("download site", A::DownloadSite, {}, QStringLiteral("http://%1/"));
        QCOMPARE(Endpoints::definitions().size(), 23); // a new address needs a row here
    }

    void everyAddress()
    {
        QFETCH(int, address);
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        QCOMPARE(Endpoints::url(Endpoints::Address(address), values).toString(QUrl::FullyEncoded), expected);
    }

    void valuesArriveWhole()
    {
        HttpFixture http;
        QVERIFY(http.start());
        Endpoints::setHost(Endpoints::Role::Member, http.hostPort());
        const QString user = QStringLiteral("玩家 a&b=c");
        const QString password = QStringLiteral("p&ss#1+2 %=中");
        const QUrl url = Endpoints::url(Endpoints::Address::LoginApi, {user, password});
        QCOMPARE(url.toString(QUrl::FullyEncoded),
                 QStringLiteral("http://%1/login.php?action=get_user&username=%E7%8E%A9%E5%AE%B6%20a%26b%3Dc"
                                "&password=p%26ss%231%2B2%20%25%3D%E4%B8%AD")
                     .arg(http.hostPort()));

        QNetworkAccessManager network;
        QNetworkReply *reply = network.get(QNetworkRequest(url));
        QTRY_VERIFY(reply->isFinished());
        reply->deleteLater();
        QCOMPARE(http.requests().size(), 1);
        const HttpFixture::Request seen = http.requests().first();
        QCOMPARE(seen.path, QStringLiteral("/login.php"));
        QCOMPARE(seen.params.value(QStringLiteral("username")), user);
        QCOMPARE(seen.params.value(QStringLiteral("password")), password);
        QVERIFY(seen.target.startsWith("/login.php?action=get_user&username="));
        QVERIFY(seen.target.indexOf("&password=") > seen.target.indexOf("&username="));
    }

    void missingValuesAreSentEmpty()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("takes 2 values, given 1")));
        QCOMPARE(Endpoints::url(Endpoints::Address::EnterGame, {QStringLiteral("g1")}).query(QUrl::FullyEncoded),
                 QStringLiteral("game=g1&server=&client=1&tobox=1"));
    }

    void hostsComeFromPortalIni()
    {
        TempDataDir data;
        data.write(QStringLiteral("portal.ini"),
                   "[hosts]\nmember=member.example.test:8080\nportal=portal.example.test\n"
                   "pay=http://evil.example.test/x\n");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("invalid portal host for pay")));
        Endpoints::loadHosts(data.filePath(QStringLiteral("portal.ini")));

        using A = Endpoints::Address;
        QCOMPARE(Endpoints::url(A::LoginPage).toString(), QStringLiteral("http://member.example.test:8080/Kavobox2"));
        QCOMPARE(Endpoints::url(A::PasswordReset).toString(),
                 QStringLiteral("https://member.example.test:8080/resetpassword.html"));
        QCOMPARE(Endpoints::url(A::Faq).toString(), QStringLiteral("https://portal.example.test/cjwt/"));
        QCOMPARE(Endpoints::url(A::PayHome).toString(), QStringLiteral("http://127.0.0.1:18765/"));
        QCOMPARE(Endpoints::url(A::Home).toString(), QStringLiteral("http://127.0.0.1:18765/landers.html"));
    }
};

int main(int argc, char **argv)
{
    return runTests<TestListFiles, TestUtilities, TestEndpoints>(argc, argv);
}

#include "tst_core.moc"
