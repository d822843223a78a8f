#include "app/clientwindows.h"
#include "app/config.h"
#include "core/endpoints.h"
#include "core/listfiles.h"
#include "core/mainwdiget.h"
#include "core/mytray.h"
#include "core/windowzones.h"
#include "support/desktopsession.h"
#include "support/httpfixture.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/pageweb.h"
#include "web/webview.h"
#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
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
        row("registration", A::Registration, {}, QStringLiteral("http://%1/reg_new.html?pyx_url=Kavobox_v2"));
        row("password reset", A::PasswordReset, {}, QStringLiteral("http://%1/resetpassword.html"));
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
        row("gift", A::Gift, {}, QStringLiteral("http://%1/"));
        row("website", A::Website, {}, QStringLiteral("http://%1/"));
        row("faq", A::Faq, {}, QStringLiteral("http://%1/cjwt/"));
        row("customer service", A::CustomerService, {}, QStringLiteral("http://%1/client-service/"));
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
        // The demo portal behind the built-in default speaks http only.
        QCOMPARE(Endpoints::url(A::Gift).toString(), QStringLiteral("http://127.0.0.1:18765/"));
    }

    void onlyWebAddressesGoToTheBrowser()
    {
        for (const char *yes : {"http://a.test/x?y=1", "HTTPS://a.test", "https://127.0.0.1:8/"})
            QVERIFY2(Endpoints::isWebAddress(QUrl(QString::fromLatin1(yes))), yes);
        for (const char *no : {"file:///etc/passwd", "javascript:alert(1)", "data:text/html,x", "ftp://a.test/",
                               "", "/relative/path", "http:///nohost", "qrc:/img/icon_32x32"})
            QVERIFY2(!Endpoints::isWebAddress(QUrl(QString::fromLatin1(no))), no);
        QCOMPARE(Endpoints::urlForLog(QUrl(QStringLiteral("http://u:p@a.test/e.php?ckcode=secret#top"))),
                 QStringLiteral("http://a.test/e.php#top"));
    }
};

namespace {
using WindowZones::Zone;
QRect geometryAfter(Zone zone, const QRect &window, QPoint delta)
{
    return WindowZones::draggedGeometry(zone, window, window, delta, QSize(800, 600));
}
} // namespace

class TestWindowZones : public QObject
{
    Q_OBJECT
private slots:
    void pressesFindTheirZone_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<int>("zone");
        const QSize big(1052, 860);
        const QSize small(800, 600);
        for (const QSize &size : {big, small}) {
            const int w = size.width();
            const int h = size.height();
            const QByteArray tag = QByteArray::number(w) + "x" + QByteArray::number(h) + ": ";
            auto row = [&](const char *name, QPoint at, Zone zone) {
                QTest::newRow((tag + name).constData()) << size << at << int(zone);
            };
            row("left edge", QPoint(0, h / 2), Zone::Left);
            row("right edge", QPoint(w - 1, h / 2), Zone::Right);
            row("top edge", QPoint(w / 2, 4), Zone::Top);
            row("bottom edge", QPoint(w / 2, h - 5), Zone::Bottom);
            row("top-left", QPoint(0, 0), Zone::TopLeft);
            row("top-right", QPoint(w - 5, 4), Zone::TopRight);
            row("bottom-left", QPoint(4, h - 1), Zone::BottomLeft);
            row("bottom-right", QPoint(w - 1, h - 1), Zone::BottomRight);
            // The left edge runs from y = 5 down, so it wins over the title zone.
            row("left edge inside the title zone", QPoint(2, 20), Zone::Left);
            row("title", QPoint(5, 5), Zone::Title);
            row("end of the title", QPoint(w - 121, 49), Zone::Title);
            row("window controls", QPoint(w - 120, 20), Zone::None);
            row("below the title", QPoint(w / 2, 50), Zone::None);
            row("inside", QPoint(w / 2, h / 2), Zone::None);
            row("just inside the border", QPoint(5, h - 6), Zone::None);
        }
    }

    void pressesFindTheirZone()
    {
        QFETCH(QSize, window);
        QFETCH(QPoint, press);
        QFETCH(int, zone);
        QCOMPARE(int(WindowZones::zoneAt(press, window, 5)), zone);
    }

    void zonesCoverTheBorderExactly()
    {
        const QSize window(1052, 860);
        QCOMPARE(WindowZones::rect(Zone::Left, window, 5), QRect(0, 5, 5, 850));
        QCOMPARE(WindowZones::rect(Zone::Right, window, 5), QRect(1047, 5, 5, 850));
        QCOMPARE(WindowZones::rect(Zone::Top, window, 5), QRect(5, 0, 1042, 5));
        QCOMPARE(WindowZones::rect(Zone::Bottom, window, 5), QRect(5, 855, 1042, 5));
        QCOMPARE(WindowZones::rect(Zone::BottomRight, window, 5), QRect(1047, 855, 5, 5));
        QCOMPARE(WindowZones::rect(Zone::Title, window, 5), QRect(0, 0, 932, 50));
        QCOMPARE(WindowZones::cursorShape(Zone::Left), Qt::SizeHorCursor);
        QCOMPARE(WindowZones::cursorShape(Zone::Bottom), Qt::SizeVerCursor);
        QCOMPARE(WindowZones::cursorShape(Zone::TopLeft), Qt::SizeFDiagCursor);
        QCOMPARE(WindowZones::cursorShape(Zone::BottomLeft), Qt::SizeBDiagCursor);
        QCOMPARE(WindowZones::cursorShape(Zone::Title), Qt::ArrowCursor);
    }

    void draggingMovesAndResizes()
    {
        const QRect w(100, 50, 1052, 860);
        QCOMPARE(geometryAfter(Zone::Title, w, QPoint(30, -20)), QRect(130, 30, 1052, 860));
        QCOMPARE(geometryAfter(Zone::Left, w, QPoint(100, 7)), QRect(200, 50, 952, 860));
        QCOMPARE(geometryAfter(Zone::Left, w, QPoint(-40, 0)), QRect(60, 50, 1092, 860));
        QCOMPARE(geometryAfter(Zone::Right, w, QPoint(48, 9)), QRect(100, 50, 1100, 860));
        QCOMPARE(geometryAfter(Zone::Top, w, QPoint(3, 60)), QRect(100, 110, 1052, 800));
        QCOMPARE(geometryAfter(Zone::Bottom, w, QPoint(3, -60)), QRect(100, 50, 1052, 800));
        QCOMPARE(geometryAfter(Zone::TopLeft, w, QPoint(52, 60)), QRect(152, 110, 1000, 800));
        QCOMPARE(geometryAfter(Zone::TopRight, w, QPoint(-52, 60)), QRect(100, 110, 1000, 800));
        QCOMPARE(geometryAfter(Zone::BottomLeft, w, QPoint(52, -60)), QRect(152, 50, 1000, 800));
        QCOMPARE(geometryAfter(Zone::BottomRight, w, QPoint(-52, -60)), QRect(100, 50, 1000, 800));
        QCOMPARE(geometryAfter(Zone::None, w, QPoint(10, 10)), w);
    }

    void edgesStopAtTheMinimumSize()
    {
        const QRect w(100, 50, 850, 640);
        // Edges that move the window leave out a step that would go below the
        // minimum rather than sliding the window.
        QCOMPARE(geometryAfter(Zone::Left, w, QPoint(50, 0)), QRect(150, 50, 800, 640));
        QCOMPARE(geometryAfter(Zone::Left, w, QPoint(51, 0)), w);
        QCOMPARE(geometryAfter(Zone::Top, w, QPoint(0, 41)), w);
        // The others stop at the minimum.
        QCOMPARE(geometryAfter(Zone::Right, w, QPoint(-200, 0)), QRect(100, 50, 800, 640));
        QCOMPARE(geometryAfter(Zone::Bottom, w, QPoint(0, -200)), QRect(100, 50, 850, 600));
        QCOMPARE(geometryAfter(Zone::BottomRight, w, QPoint(-200, -200)), QRect(100, 50, 800, 600));
        // Corners decide per dimension: a height at its minimum still lets the width change.
        QCOMPARE(geometryAfter(Zone::TopLeft, w, QPoint(40, 100)), QRect(140, 50, 810, 640));
        QCOMPARE(geometryAfter(Zone::TopLeft, w, QPoint(100, 20)), QRect(100, 70, 850, 620));
        QCOMPARE(geometryAfter(Zone::TopRight, w, QPoint(30, 100)), QRect(100, 50, 880, 640));
        QCOMPARE(geometryAfter(Zone::BottomLeft, w, QPoint(-30, -100)), QRect(70, 50, 880, 640));
    }

    void rightEdgesCountFromThePress()
    {
        // The right and bottom edges add the whole offset since the press to
        // the size at the press, whatever happened in between.
        const QRect press(100, 50, 1000, 800);
        const QRect now(100, 50, 1030, 800);
        QCOMPARE(WindowZones::draggedGeometry(Zone::Right, press, now, QPoint(40, 0), QSize(800, 600)),
                 QRect(100, 50, 1040, 800));
        QCOMPARE(WindowZones::draggedGeometry(Zone::BottomRight, press, now, QPoint(40, 10), QSize(800, 600)),
                 QRect(100, 50, 1040, 810));
    }
};


namespace {
QLabel *windowControl(MainWdiget *window, const QString &name)
{
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->accessibleName() == name)
            return label;
    }
    return nullptr;
}

bool shows(QLabel *label, const QString &image)
{
    return label->pixmap(Qt::ReturnByValue).toImage() == QPixmap(image).toImage();
}

QList<MyTray *> trays()
{
    QList<MyTray *> found;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (auto *tray = qobject_cast<MyTray *>(window))
            found.append(tray);
    }
    return found;
}

// A main window with a game tab the user has muted and one that plays.
struct Box {
    QPointer<MainWdiget> window;
    QWebEnginePage *mutedGame = nullptr;
    QWebEnginePage *loudGame = nullptr;

    explicit Box(const PortalProcess &portal)
        : window(new MainWdiget(QStringLiteral("tester")))
    {
        window->show();
        const QString url = portal.url(QStringLiteral("/game/xyj.html")).toString();
        window->createTab(QStringLiteral("muted"), url);
        window->createTab(QStringLiteral("loud"), url);
        PageWeb *muted = pageWebOf(window->tabWidget()->widget(2));
        muted->muteButton()->click();
        mutedGame = muted->webView()->page();
        loudGame = pageWebOf(window->tabWidget()->widget(3))->webView()->page();
    }
    ~Box()
    {
        delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    bool allMuted() const
    {
        const QList<QWebEngineView *> views = window->findChildren<QWebEngineView *>();
        return !views.isEmpty()
               && std::all_of(views.begin(), views.end(), [](QWebEngineView *v) { return v->page()->isAudioMuted(); });
    }
    bool ownStatesBack() const
    {
        return mutedGame->isAudioMuted() && !loudGame->isAudioMuted()
               && !window->homePage()->webView()->page()->isAudioMuted();
    }
};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    TempDataDir m_data;
    PortalProcess m_portal;

private slots:
    void initTestCase()
    {
        isolateDefaultProfile();
        ensureHotkeyDefaults();
        QVERIFY(m_portal.start({QStringLiteral("--version-code"), QStringLiteral("3")}));
        m_portal.useForAllRoles();
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void buildsTheBox()
    {
        MainWdiget window(QStringLiteral("玩家一号"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Kavo游戏盒子"));
        QCOMPARE(window.size(), QSize(1052, 860));
        QCOMPARE(window.minimumSize(), QSize(800, 600));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("userNameLabel"))->text(), QStringLiteral("玩家一号"));

        QTabWidget *tabs = window.tabWidget();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Kavo首页"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("找游戏"));
        QVERIFY(!tabs->tabIcon(0).isNull() && !tabs->tabIcon(1).isNull());
        QCOMPARE(window.homePage()->pageUrl(), Endpoints::url(Endpoints::Address::Home).toString());
        QCOMPARE(window.searchPage()->pageUrl(), Endpoints::url(Endpoints::Address::Search).toString());

        // Window controls are labels: they are named for screen readers.
        QVERIFY(windowControl(&window, QStringLiteral("最小化")));
        QVERIFY(shows(windowControl(&window, QStringLiteral("最大化")), QStringLiteral("://img/zoom_in")));
        QVERIFY(windowControl(&window, QStringLiteral("关闭")));

        // The update check went out at construction and its reply is kept.
        QTRY_COMPARE_WITH_TIMEOUT(window.updateVersionCode(), 3, 10000);
        QVERIFY(m_portal.log().contains(QStringLiteral("GET /update/ 200")));
    }

    void zoomIconAndTitleDoubleClickMaximise()
    {
        MainWdiget window(QStringLiteral("x"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLabel *zoom = windowControl(&window, QStringLiteral("最大化"));

        QTest::mousePress(zoom, Qt::LeftButton);
        QVERIFY(window.maximizedFlag());
        QVERIFY(shows(zoom, QStringLiteral("://img/zoom_in_1")));
        QTRY_VERIFY(window.windowState() & Qt::WindowMaximized);
        QTest::mousePress(zoom, Qt::LeftButton);
        QVERIFY(!window.maximizedFlag());
        QVERIFY(shows(zoom, QStringLiteral("://img/zoom_in")));
        QTRY_VERIFY(!(window.windowState() & Qt::WindowMaximized));

        // A double click counts in the title zone only.
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
        QVERIFY(!window.maximizedFlag());
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        QVERIFY(window.maximizedFlag());
        QVERIFY(shows(zoom, QStringLiteral("://img/zoom_in_1")));
        QTRY_VERIFY(window.windowState() & Qt::WindowMaximized);
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        QVERIFY(!window.maximizedFlag());
        QTRY_VERIFY(!(window.windowState() & Qt::WindowMaximized));

        QTest::mousePress(windowControl(&window, QStringLiteral("最小化")), Qt::LeftButton);
        QTRY_VERIFY(window.isMinimized());
    }

    void pressAndHoverMoveOrResize()
    {
        MainWdiget window(QStringLiteral("x"));
        window.move(100, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect start = window.geometry();
        auto hoverTo = [&](QPoint pos) {
            QHoverEvent hover(QEvent::HoverMove, pos, pos);
            QApplication::sendEvent(&window, &hover);
        };

        // The title zone moves the window: the cursor keeps its place in it.
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        hoverTo(QPoint(330, 60));
        QTRY_COMPARE(window.pos(), start.topLeft() + QPoint(30, 40));
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        hoverTo(QPoint(400, 80)); // released: nothing moves
        QCOMPARE(window.pos(), start.topLeft() + QPoint(30, 40));

        // The left edge, dragged right by 100, narrows the window by 100.
        const QRect moved = window.geometry();
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(2, 400));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        hoverTo(QPoint(102, 400));
        QTRY_COMPARE(window.geometry(), QRect(moved.x() + 100, moved.y(), moved.width() - 100, moved.height()));
        QCOMPARE(window.cursor().shape(), Qt::SizeHorCursor);
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(2, 400));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }

    void crowdedTabsShrinkAndShowTitlesLiterally()
    {
        MainWdiget window(QStringLiteral("x"));
        window.resize(window.minimumSize());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString title = QStringLiteral("西游 & 三国 之 群英荟萃 怀旧版");
        QTabBar *bar = window.tabWidget()->tabBar();
        const int homeWidth = bar->tabRect(0).width();
        for (int i = 0; i < 12; ++i)
            window.createTab(title, QString());
        QCOMPARE(bar->count(), 14);
        QCOMPARE(bar->currentIndex(), 13);

        // The last tab is current and the fixed tabs are still in view, whole.
        for (int index : {0, 1, 13}) {
            QVERIFY2(bar->rect().contains(bar->tabRect(index)), qPrintable(QString::number(index)));
        }
        QCOMPARE(bar->tabRect(0).width(), homeWidth);
        const QList<QToolButton *> arrows = bar->findChildren<QToolButton *>();
        QVERIFY(std::none_of(arrows.begin(), arrows.end(), [](QToolButton *b) { return b->isVisible(); }));

        // What the tab shows (and tells screen readers) is the title itself;
        // the full title is the tool tip of a shrunk tab.
        QAccessibleInterface *tabs = QAccessible::queryAccessibleInterface(bar);
        QCOMPARE(tabs->child(13)->text(QAccessible::Name), title);
        QCOMPARE(bar->tabToolTip(13), title);
    }

    void closeIconClosesAndFreesTheWindow()
    {
        QPointer<MainWdiget> window = new MainWdiget(QStringLiteral("x"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QPointer<WebView> home = window->homePage()->webView();
        QTest::mousePress(windowControl(window, QStringLiteral("关闭")), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
        QVERIFY(home.isNull());
    }

    void fullScreenKeyToggles()
    {
        MainWdiget window(QStringLiteral("x"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.fullScreenKeyButton()->shortcut(), QKeySequence(QStringLiteral("F11")));
        window.activateWindow();
        QTRY_VERIFY(window.isActiveWindow()); // the key belongs to the active window only
        QTest::keyClick(&window, Qt::Key_F11);
        QTRY_VERIFY(window.isFullScreen());
        QTest::keyClick(&window, Qt::Key_F11);
        QTRY_VERIFY(!window.isFullScreen());
    }

    void hotkeysComeFromTheSettings()
    {
        Config().SetValue(QStringLiteral("currectKeys"), QStringLiteral("hideGameKey"), QStringLiteral("Ctrl+B"));
        Config().SetValue(QStringLiteral("currectKeys"), QStringLiteral("zoomWindow"), QStringLiteral("not a key"));
        QTest::ignoreMessage(QtWarningMsg, "hotkey zoomWindow is not a key sequence: not a key");
        MainWdiget window(QStringLiteral("x"));
        Config().SetValue(QStringLiteral("currectKeys"), QStringLiteral("hideGameKey"), QStringLiteral("Alt+D"));
        Config().SetValue(QStringLiteral("currectKeys"), QStringLiteral("zoomWindow"), QStringLiteral("F11"));
        QCOMPARE(window.bossKeyButton()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        QVERIFY(window.fullScreenKeyButton()->shortcut().isEmpty());
    }

    void withoutATrayTheBossKeyMinimises()
    {
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QSKIP("this display has a system tray");
        Box box(m_portal);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        box.window->activateWindow();
        QTRY_VERIFY(box.window->isActiveWindow());

        QTest::ignoreMessage(QtWarningMsg, "no system tray: the boss key minimises the box instead of hiding it");
        QTest::keyClick(box.window, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(box.window->isMinimized());
        QVERIFY(box.window->isVisible());
        QVERIFY(trays().isEmpty());
        QVERIFY(box.allMuted());

        box.window->showNormal();
        QTRY_VERIFY(box.ownStatesBack());
    }
};

class TestTray : public QObject
{
    Q_OBJECT
private:
    TempDataDir m_data;
    PortalProcess m_portal;
    DesktopSession m_desktop;

    // Hides the box with the game toolbar's boss button and returns its tray.
    static QPointer<MyTray> hideWithBossButton(Box &box)
    {
        box.window->tabWidget()->widget(3)->findChild<QToolButton *>(QStringLiteral("bossButton"))->click();
        return trays().value(0);
    }

    static bool isBack(MainWdiget *window)
    {
        return window->isVisible() && !window->isMinimized();
    }

    // A real click on the icon, as a user makes it: only input that comes
    // from the user lets the window manager activate the window.
    static void clickTrayIcon()
    {
        const QRect icon = DesktopSession::trayIconOf(QCoreApplication::applicationPid());
        QVERIFY(!icon.isNull());
        DesktopSession::xdotool({QStringLiteral("mousemove"), QString::number(icon.center().x()),
                                 QString::number(icon.center().y()), QStringLiteral("click"), QStringLiteral("1")});
    }

private slots:
    void initTestCase()
    {
        isolateDefaultProfile();
        ensureHotkeyDefaults();
        QVERIFY(m_portal.start());
        m_portal.useForAllRoles();
        QVERIFY2(m_desktop.start(), qPrintable(m_desktop.why()));
    }

    void cleanup() { deleteClientWindows(); }

    void bossKeyHidesIntoOneIconAndAClickBringsItBack()
    {
        Box box(m_portal);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        QPointer<MyTray> tray = hideWithBossButton(box);
        QVERIFY(!box.window->isVisible());
        QCOMPARE(trays().size(), 1);
        QVERIFY(tray);
        QVERIFY(!tray->isVisible());
        QCOMPARE(tray->trayIcon()->toolTip(), QStringLiteral("Kavo游戏盒子"));
        QVERIFY(tray->trayIcon()->isVisible());
        QVERIFY(box.allMuted());

        emit tray->trayIcon()->activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(!(box.window->windowState() & Qt::WindowMaximized));
        QTRY_VERIFY(tray.isNull());
        QVERIFY(box.ownStatesBack());
    }

    void menuRestoresOrMaximises()
    {
        Box box(m_portal);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        box.window->bossKeyButton()->click(); // what its shortcut does
        QVERIFY(!box.window->isVisible());
        QPointer<MyTray> tray = trays().value(0);
        QVERIFY(tray);
        QStringList entries;
        for (QAction *action : tray->trayMenu()->actions())
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(entries, (QStringList{QStringLiteral("最大化"), QStringLiteral("还原"), QStringLiteral("-"),
                                       QStringLiteral("退出")}));

        tray->trayMenu()->actions().at(1)->trigger(); // 还原
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(!box.window->maximizedFlag());
        QTRY_VERIFY(tray.isNull());
        QVERIFY(box.ownStatesBack());

        tray = hideWithBossButton(box);
        QVERIFY(tray);
        QCOMPARE(trays().size(), 1);
        tray->trayMenu()->actions().at(0)->trigger(); // 最大化
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(box.window->maximizedFlag());
        QTRY_VERIFY(box.window->windowState() & Qt::WindowMaximized);
        QVERIFY(shows(windowControl(box.window, QStringLiteral("最大化")), QStringLiteral("://img/zoom_in_1")));
        QTRY_VERIFY(tray.isNull());
        QVERIFY(box.ownStatesBack());

        // Maximised, then back with "还原": normal, and the zoom icon and the
        // next double click on the top bar agree with that.
        tray = hideWithBossButton(box);
        tray->trayMenu()->actions().at(1)->trigger();
        QTRY_VERIFY(isBack(box.window) && !(box.window->windowState() & Qt::WindowMaximized));
        QVERIFY(!box.window->maximizedFlag());
        QVERIFY(shows(windowControl(box.window, QStringLiteral("最大化")), QStringLiteral("://img/zoom_in")));
        QTest::mouseDClick(box.window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        QTRY_VERIFY(box.window->windowState() & Qt::WindowMaximized);
        QVERIFY(shows(windowControl(box.window, QStringLiteral("最大化")), QStringLiteral("://img/zoom_in_1")));
    }

    void comesBackAfterMinimiseAndRestoreByTheDesktop()
    {
        Box box(m_portal);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        QTest::mousePress(windowControl(box.window, QStringLiteral("最小化")), Qt::LeftButton);
        QTRY_VERIFY(box.window->isMinimized());
        // Back from the task bar: the window manager restores it, not the box.
        DesktopSession::xdotool({QStringLiteral("windowactivate"), QString::number(box.window->winId())});
        QTRY_VERIFY(!box.window->isMinimized());

        QPointer<MyTray> tray = hideWithBossButton(box);
        QVERIFY(tray);
        QTRY_VERIFY(!DesktopSession::trayIconOf(QCoreApplication::applicationPid()).isNull());
        clickTrayIcon();
        QTRY_VERIFY(tray.isNull());
        QTRY_VERIFY(isBack(box.window));
        QTest::qWait(300); // a late "iconified" from the window manager would come now
        QVERIFY(isBack(box.window));
        // It has the keyboard: the boss key, typed, hides it again.
        DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("alt+d")});
        QTRY_VERIFY(!box.window->isVisible() && trays().size() == 1);
    }

    void otherClicksBringItBackTooButTheMenuDoesNot()
    {
        Box box(m_portal);
        QVERIFY(QTest::qWaitForWindowExposed(box.window));
        QPointer<MyTray> tray = hideWithBossButton(box);
        QVERIFY(tray);
        emit tray->trayIcon()->activated(QSystemTrayIcon::Context);
        QTest::qWait(100);
        QVERIFY(tray && !box.window->isVisible());
        QVERIFY(box.allMuted());

        // A game tab opened while hidden stays silent until the box is back.
        box.window->createTab(QStringLiteral("new"), m_portal.url(QStringLiteral("/game/xyj.html")).toString());
        QWebEnginePage *opened = pageWebOf(box.window->tabWidget()->widget(4))->webView()->page();
        QVERIFY(opened->isAudioMuted());
        emit tray->trayIcon()->activated(QSystemTrayIcon::MiddleClick);
        QTRY_VERIFY(tray.isNull());
        QTRY_VERIFY(isBack(box.window));
        QVERIFY(box.ownStatesBack());
        QVERIFY(!opened->isAudioMuted());

        tray = hideWithBossButton(box);
        emit tray->trayIcon()->activated(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(tray.isNull());
        QTRY_VERIFY(isBack(box.window));
    }

    void exitCleanUpWithTheIconShown()
    {
        // The clean-up at exit must leave the icon's own window to Qt; which
        // of the two went first changed from run to run.
        for (int round = 0; round < 20; ++round) {
            QPointer<MyTray> tray = new MyTray(nullptr);
            QVERIFY(tray->trayIcon()->isVisible());
            deleteClientWindows();
            QVERIFY(tray.isNull());
        }
    }
};

int main(int argc, char **argv)
{
    return runTests<TestListFiles, TestUtilities, TestEndpoints, TestWindowZones, TestMainWindow, TestTray>(argc, argv);
}

#include "tst_core.moc"
