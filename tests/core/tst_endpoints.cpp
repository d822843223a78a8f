#include "core/endpoints.h"
#include "core/datadir.h"
#include "support/httpfixture.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>

class TestEndpoints : public TestCase
{
    Q_OBJECT
private slots:
    void init() { Endpoints::loadHosts(QString()); } // every role on the default host

    void valuesArriveWhole()
    {
        HttpFixture http;
        QVERIFY(http.start());
        Endpoints::setHost(Endpoints::Role::Member, http.hostPort());
        const QString user = QStringLiteral("玩家 a&b=c");
        const QString password = QStringLiteral("p&ss#1+2 %=中");
        const QUrl url = Endpoints::url(Endpoints::Address::LoginApi, {user, password});
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
        QCOMPARE(Endpoints::url(A::LoginPage).authority(), QStringLiteral("member.example.test:8080"));
        QCOMPARE(Endpoints::url(A::Faq).host(), QStringLiteral("portal.example.test"));
        QCOMPARE(Endpoints::url(A::PasswordReset).scheme(), QStringLiteral("https")); // a named host keeps it
        // The rejected host and the unnamed ones stay on the demo portal, which speaks http only.
        for (const QUrl &url : {Endpoints::url(A::PayHome), Endpoints::url(A::Gift), Endpoints::url(A::Home)})
            QCOMPARE(url.toString(QUrl::RemovePath), QStringLiteral("http://127.0.0.1:18765"));
    }

    void eachKeyComesFromTheFirstFileThatHasIt()
    {
        QTemporaryDir root;
        const QString data = root.filePath(QStringLiteral("home/.local/share/kavobox"));
        const QString bin = root.filePath(QStringLiteral("usr/bin")); // its data folder is elsewhere: read-only
        const QStringList machine = {root.filePath(QStringLiteral("etc/xdg/kavobox")),
                                     root.filePath(QStringLiteral("usr/etc/kavobox"))};
        const auto write = [](const QString &dir, const QByteArray &hosts) {
            return writeFile(dir + QStringLiteral("/portal.ini"), "[hosts]\n" + hosts);
        };
        QVERIFY(write(data, "member=data.test\n"));
        QVERIFY(write(bin, "member=beside.test\ncontent=beside.test\nsocial=http://bad.test/\n"));
        QVERIFY(write(machine.at(0), "content=first.test\nsocial=first.test\nvip=first.test\n"));
        QVERIFY(write(machine.at(1), "vip=second.test\npay=second.test\n"));

        const QStringList files = portalIniFiles(data, bin, machine);
        for (const QString &file : files)
            QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("reading portal hosts from ") + file));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("invalid portal host for social")));
        Endpoints::loadHosts(files);
        using R = Endpoints::Role;
        QCOMPARE(Endpoints::host(R::Member), QStringLiteral("data.test"));
        QCOMPARE(Endpoints::host(R::Content), QStringLiteral("beside.test"));
        QCOMPARE(Endpoints::host(R::Social), QStringLiteral("first.test"));
        QCOMPARE(Endpoints::host(R::Vip), QStringLiteral("first.test"));
        QCOMPARE(Endpoints::host(R::Pay), QStringLiteral("second.test"));
        QVERIFY(!Endpoints::hasNamedHost(R::Gift));

        // Installed, the file beside the executable is not ours to read.
        QVERIFY(writeFile(root.filePath(QStringLiteral("usr/share/applications/%1.desktop").arg(applicationId())), {}));
        Endpoints::loadHosts(portalIniFiles(data, bin, machine));
        QCOMPARE(Endpoints::host(R::Member), QStringLiteral("data.test"));
        QCOMPARE(Endpoints::host(R::Content), QStringLiteral("first.test"));
        QCOMPARE(Endpoints::host(R::Social), QStringLiteral("first.test"));
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
KAVO_TEST(TestEndpoints)

#include "tst_endpoints.moc"
