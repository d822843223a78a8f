#include "account/altaccountdialog.h"
#include "core/endpoints.h"
#include "web/gameserverchooser.h"
#include "core/portalapi.h"
#include "box/updatechecker.h"
#include "support/httpfixture.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/loadretry.h"
#include "web/webview.h"
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

namespace {
enum Kind { Update, Games, Servers, Login, Page, kKinds };
enum Fault { Healthy, Refused, ServerError, Slow, Truncated, WrongTypes, Numbers, Huge, CutOff };

QString target(const QUrl &url)
{
    return url.path() + (url.hasQuery() ? QLatin1Char('?') + url.query(QUrl::FullyEncoded) : QString());
}

// What each kind is asked at, and answers when all is well. Games sort by
// name, so 仙侠 (abc) comes first and switching to 西游 (xyj) asks for the
// servers the faults hit.
struct Endpoint {
    QString target;
    QByteArray good;
};
Endpoint endpoint(Kind kind)
{
    switch (kind) {
    case Update: return {QStringLiteral("/update/"), R"({"version_code":3,"force":0,"pad":"0123456789"})"};
    case Games:
        return {target(Endpoints::url(Endpoints::Address::GameList)),
                R"([{"tag":"xyj","gamename":"西游"},{"tag":"abc","gamename":"仙侠"}])"};
    case Servers:
        return {target(Endpoints::url(Endpoints::Address::ServerList, {QStringLiteral("xyj")})),
                R"([{"server":"s1","gamename":"一服"},{"server":"s2","gamename":"二服"}])"};
    case Login: return {QStringLiteral("/login.php"), R"({"msg":1,"code":"0","ckcode":"c0ffee"})"};
    case Page: return {QStringLiteral("/page.html"), "<title>page</title><p id=here>here</p><p>0123456789</p>"};
    case kKinds: break;
    }
    return {};
}

QByteArray body(Kind kind, Fault fault)
{
    const QByteArray good = endpoint(kind).good;
    if (fault == Truncated)
        return good.left(good.size() / 2);
    if (fault == WrongTypes) {
        static const char *const wrong[] = {R"({"version_code":{"n":3},"force":[1]})",
                                            R"([{"tag":[1],"gamename":{}},{"tag":null},5])",
                                            R"([{"server":{},"gamename":[]},[]])", R"({"msg":1,"ckcode":5})",
                                            "<p>"};
        return wrong[kind];
    }
    if (fault == Numbers)
        return '[' + QByteArray("0,").repeated(99999) + "0]";
    if (fault != Huge)
        return good;
    QByteArray huge = kind == Page ? "<title>huge</title>" : "[";
    for (int i = 0; i < 100000; ++i) {
        if (kind == Page)
            huge += "<div>" + QByteArray::number(i) + "</div>";
        else if (kind == Servers)
            huge += R"({"server":"s)" + QByteArray::number(i) + R"(","gamename":")" + QByteArray::number(i) + "服\"},";
        else
            huge += R"({"tag":"g)" + QByteArray::number(i) + R"(","gamename":"游戏)" + QByteArray::number(i) + "\"},";
    }
    if (kind != Page)
        huge.back() = ']';
    return huge;
}
} // namespace

// Every kind of request the client makes, against a portal that fails in each
// way a server can, all kinds at once: no crash, the event loop keeps
// turning, the stored lists and the last good update answer survive, and
// each failure is one warning line.
class TestRequestFaults : public TestCase
{
    Q_OBJECT
private:
    TempDataDir m_data;
    HttpFixture m_http;
    PortalApi m_api;
    QStringList m_warnings;
    QString m_memberHost;
    QString m_contentHost;
    static TestRequestFaults *s_self;
    static QtMessageHandler s_previous;

    void serveAll(Fault fault)
    {
        for (int kind = 0; kind < kKinds; ++kind) {
            const Endpoint e = endpoint(Kind(kind));
            const bool json = kind != Page;
            m_http.setBody(e.target, fault == ServerError ? QByteArray("<h1>oops</h1>") : body(Kind(kind), fault),
                           json && fault != ServerError ? "application/json" : "text/html; charset=utf-8",
                           fault == ServerError ? 500 : 200);
            m_http.setDelay(e.target, fault == Slow ? 20000 : 0);
            m_http.setCutOff(e.target, fault == CutOff ? e.good.size() / 2 : -1);
        }
        // The servers of the game chosen first, which the setup waits for.
        m_http.setBody(target(Endpoints::url(Endpoints::Address::ServerList, {QStringLiteral("abc")})),
                       R"([{"server":"a1","gamename":"甲服"}])", "application/json");
    }

    void pointAt(const QString &hostPort)
    {
        Endpoints::setHost(Endpoints::Role::Member, hostPort);
        Endpoints::setHost(Endpoints::Role::Content, hostPort);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_memberHost = Endpoints::host(Endpoints::Role::Member);
        m_contentHost = Endpoints::host(Endpoints::Role::Content);
        s_self = this;
        s_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type == QtWarningMsg && context.category && qstrncmp(context.category, "kavo.", 5) == 0)
                s_self->m_warnings << text;
            s_previous(type, context, text);
        });
    }

    void cleanupTestCase()
    {
        qInstallMessageHandler(s_previous);
        Endpoints::setHost(Endpoints::Role::Member, m_memberHost);
        Endpoints::setHost(Endpoints::Role::Content, m_contentHost);
    }

    void everyKindSurvivesEachFault_data()
    {
        const QString failed = QStringLiteral("^Failed: http://127.0.0.1:\\d+%1 %2$");
        const QString lists = QStringLiteral("/api/allserver_series.php");
        auto failedAll = [&](const QString &why) {
            return QStringList{failed.arg(QStringLiteral("/update/"), why), failed.arg(lists, why),
                               failed.arg(lists, why), failed.arg(QStringLiteral("/login.php"), why)};
        };
        const QString retry = QStringLiteral("^page failed to load: http://127.0.0.1:\\d+/page.html - retrying after 1 s$");
        auto unusable = [](const QString &why) {
            return QStringList{QStringLiteral("^update check: unusable reply, ") + why,
                               QStringLiteral("^game list: unusable reply, ") + why,
                               QStringLiteral("^server list: unusable reply, ") + why,
                               QStringLiteral("^alt-account login: unusable reply, ") + why};
        };

        // One warning per kind, in kind order; for the page "" is a
        // successful load and "-" a case that does not apply.
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("refused") << int(Refused)
                                 << failedAll(QStringLiteral("ConnectionRefusedError")) + QStringList{retry};
        QTest::newRow("500") << int(ServerError) << failedAll(QStringLiteral("InternalServerError")) + QStringList{retry};
        QTest::newRow("truncated JSON") << int(Truncated) << unusable(QStringLiteral("not JSON")) + QStringList{"-"};
        QTest::newRow("wrong types") << int(WrongTypes)
                                     << QStringList{QStringLiteral("^update check: unusable reply, version_code"),
                                                    QStringLiteral("^game list: unusable reply, no usable entry"),
                                                    QStringLiteral("^server list: unusable reply, no usable entry"),
                                                    QStringLiteral("^alt-account login: unusable reply, an accepted login without"),
                                                    QStringLiteral("-")};
        QTest::newRow("100 000 elements")
            << int(Numbers)
            << QStringList{QStringLiteral("^update check: unusable reply, not a JSON object"),
                           QStringLiteral("^game list: unusable reply, no usable entry among 100000"),
                           QStringLiteral("^server list: unusable reply, no usable entry among 100000"),
                           QStringLiteral("^alt-account login: unusable reply, not a JSON object"), QStringLiteral("-")};
        // 100 000 whole records; the page is 100 000 elements.
        QTest::newRow("5 MB") << int(Huge) << failedAll(QStringLiteral("reply larger than 1024 KB")) + QStringList{""};
        QTest::newRow("cut off mid-body")
            << int(CutOff) << failedAll(QStringLiteral("RemoteHostClosedError")) + QStringList{retry};
        QTest::newRow("answers after 20 s") << int(Slow) << failedAll(QStringLiteral("no answer within 15 s")) + QStringList{""};
    }

    void everyKindSurvivesEachFault()
    {
        QFETCH(int, fault);
        QFETCH(QStringList, lines);

        // Before the fault: stored lists, a good update answer, a chooser
        // with its games and an alt-account dialog ready to send.
        pointAt(m_http.hostPort());
        serveAll(Healthy);
        const QByteArray clocks = R"([{"gamename":"西游","server":"s1","tag":"xyj","time":1893456000}])";
        const QByteArray alts = R"([{"ckcode":"old","server":"s1","tag":"xyj","username":"kept"}])";
        m_data.write(QStringLiteral("clocklist.txt"), clocks);
        m_data.write(QStringLiteral("xiaohaoinfolist.txt"), alts);
        UpdateChecker checker(&m_api);
        QSignalSpy replied(&checker, &UpdateChecker::replied);
        checker.check();
        QVERIFY(replied.wait());
        GameServerChooser switching(&m_api);
        QSignalSpy servers(&switching, &GameServerChooser::serversArrived);
        QVERIFY(servers.wait());
        AltAccountDialog dialog(&m_api, nullptr);
        auto *dialogChooser = dialog.findChild<GameServerChooser *>();
        QTRY_VERIFY(!dialogChooser->currentServer().code.isEmpty());
        dialog.findChildren<QLineEdit *>().at(0)->setText(QStringLiteral("alt"));
        dialog.findChildren<QLineEdit *>().at(1)->setText(QStringLiteral("pw"));
        replied.clear();

        const QString closedHost = unusedHostPort();
        if (fault == Refused)
            pointAt(closedHost);
        serveAll(Fault(fault));
        for (const QString &line : lines) {
            if (line.size() > 1)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(line));
        }
        m_warnings.clear();

        // The event loop's longest stall while the replies come in.
        QElapsedTimer sinceTick;
        qint64 longestStall = 0;
        QTimer ticks;
        connect(&ticks, &QTimer::timeout, this, [&] { longestStall = qMax(longestStall, sinceTick.restart()); });
        sinceTick.start();
        ticks.start(20);

        // All kinds at once.
        checker.check();
        GameServerChooser fresh(&m_api);
        auto *gameBox = switching.findChildren<QComboBox *>().at(0);
        gameBox->setCurrentIndex(gameBox->findData(QStringLiteral("xyj")));
        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            if (button->text() == QStringLiteral("确定"))
                button->click();
        }
        auto view = std::make_unique<WebView>(testProfile(), nullptr);
        new LoadRetry(view.get());
        QSignalSpy loaded(view.get(), &QWebEngineView::loadFinished);
        view->show();
        if (lines.at(Page) != QLatin1String("-"))
            view->load(QUrl(QStringLiteral("http://%1/page.html").arg(fault == Refused ? closedHost : m_http.hostPort())));

        auto seen = [&](const QString &line) {
            return m_warnings.filter(QRegularExpression(line)).size() >= lines.filter(line).size();
        };
        auto done = [&] {
            for (int kind = 0; kind < Page; ++kind) {
                if (!seen(lines.at(kind)))
                    return false;
            }
            const QString page = lines.at(Page);
            return page == QLatin1String("-") || (page.isEmpty() ? !loaded.isEmpty() && loaded.last().first().toBool() : seen(page));
        };
        QTRY_VERIFY_WITH_TIMEOUT(done(), 30000);
        ticks.stop();
        const QStringList warnings = m_warnings;
        view.reset(); // no further retries

        QVERIFY2(longestStall < 1000, qPrintable(QString::number(longestStall)));
        QVERIFY2(warnings.size() == lines.size() - lines.count(QString()) - lines.count(QStringLiteral("-")),
                 qPrintable(warnings.join(QLatin1Char('\n'))));
        QCOMPARE(checker.versionCode(), 3);
        QVERIFY(replied.isEmpty());
        QCOMPARE(m_data.read(QStringLiteral("clocklist.txt")), clocks);
        QCOMPARE(m_data.read(QStringLiteral("xiaohaoinfolist.txt")), alts);
        QCOMPARE(fresh.findChildren<QComboBox *>().at(0)->count(), 0);
        // No server of the game chosen before stays up under the new one.
        QCOMPARE(switching.currentServer().code, QString());
    }
};
TestRequestFaults *TestRequestFaults::s_self = nullptr;
QtMessageHandler TestRequestFaults::s_previous = nullptr;
KAVO_TEST(TestRequestFaults)

#include "tst_requestfaults.moc"
