#include "box/detachedgames.h"
#include "box/mainwindow.h"
#include "box/tabwidget.h"
#include "core/endpoints.h"
#include "support/boxfixture.h"
#include "support/lookup.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/detachedwindow.h"
#include "web/gamepage.h"
#include "web/profiles.h"
#include "web/webview.h"
#include <QJsonDocument>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QToolButton>
#include <QWebEngineProfile>

// Alt accounts side by side: a web profile of each.
class TestProfiles : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;

    // The check code the portal gives this alt account.
    QString checkCode(const QString &user, const QString &password)
    {
        QNetworkAccessManager network;
        QNetworkReply *reply = network.get(QNetworkRequest(Endpoints::url(Endpoints::Address::LoginApi, {user, password})));
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(5000);
        reply->deleteLater();
        return QJsonDocument::fromJson(reply->readAll()).object().value(QStringLiteral("ckcode")).toString();
    }

    static QString playsAs(GamePage *page)
    {
        const QString text = runJs(page->webView()->page(), QStringLiteral("document.body ? document.body.innerText : ''")).toString();
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("当前角色：(\\S+)")).match(text);
        return match.captured(1);
    }

    static bool reloadedAs(GamePage *page, const QString &name)
    {
        page->reload();
        return waitForLoad(page->webView()) && QTest::qWaitFor([&] { return playsAs(page) == name; }, 10000);
    }

private slots:
    void initTestCase() { QVERIFY(m_box.startPortal()); }
    void cleanup() { m_box.closeWindows(); }

    void folderNamesAreSafeStableAndDistinct()
    {
        const QStringList names{QStringLiteral("kavo_alt1"), QStringLiteral("a/b"), QStringLiteral("ab"),
                                QStringLiteral(".."), QString(QChar(0)) + QStringLiteral("x"), QStringLiteral("x"),
                                QString(5000, QLatin1Char('n')), QString(5001, QLatin1Char('n')), QStringLiteral("玩家 a&b")};
        QSet<QString> folders;
        for (const QString &name : names) {
            const QString folder = Profiles::folderName(name);
            QVERIFY2(QRegularExpression(QStringLiteral("^[A-Za-z0-9_-]{1,64}$")).match(folder).hasMatch(), qPrintable(folder));
            QCOMPARE(Profiles::folderName(name), folder);
            folders.insert(folder);
        }
        QCOMPARE(folders.size(), names.size());
    }

    void madeOnFirstUseAndNeverTheMainOne()
    {
        TempDataDir data;
        Profiles profiles(testProfile(), data.filePath(QStringLiteral("profiles")));
        QCOMPARE(profiles.all(), QList<QWebEngineProfile *>{testProfile()});
        QSignalSpy added(&profiles, &Profiles::profileAdded);
        QWebEngineProfile *alt = profiles.forAccount(QStringLiteral("kavo_alt1"));
        QCOMPARE(profiles.forAccount(QStringLiteral("kavo_alt1")), alt);
        QVERIFY(alt != testProfile() && !alt->isOffTheRecord());
        QCOMPARE(added.count(), 1);
        QVERIFY(alt->persistentStoragePath().startsWith(data.filePath(QStringLiteral("profiles/alt-kavo_alt1-"))));
        QCOMPARE(profiles.all().size(), 2);

        // A data folder nobody can write to: a profile of its own all the same.
        ReadOnlyFolder readOnly(data.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^the profile folder .* cannot be written")));
        QWebEngineProfile *unwritable = profiles.forAccount(QStringLiteral("kavo_alt2"));
        QVERIFY(unwritable->isOffTheRecord() && unwritable != testProfile() && unwritable != alt);
    }

    void aForgottenAccountsFolderGoesWithItsLastPage()
    {
        TempDataDir data;
        auto profiles = std::make_unique<Profiles>(testProfile(), data.filePath(QStringLiteral("profiles")));
        QWebEngineProfile *alt = profiles->forAccount(QStringLiteral("gone"));
        const QString folder = data.filePath(QStringLiteral("profiles/") + Profiles::folderName(QStringLiteral("gone")));
        auto *view = new WebView(alt, nullptr);
        view->load(m_box.portal.url(QStringLiteral("/game/xyj.html")));
        QVERIFY(waitForLoad(view));
        QVERIFY(QFileInfo::exists(folder));
        profiles->forget(QStringLiteral("gone"));
        QTest::qWait(100);
        QVERIFY(QFileInfo::exists(folder)); // a page still plays in it
        delete view;
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder), 30000);
        QCOMPARE(profiles->all().size(), 1);
        // The account back soon after, its new folder is left alone.
        view = new WebView(profiles->forAccount(QStringLiteral("gone")), nullptr);
        view->load(m_box.portal.url(QStringLiteral("/game/xyj.html")));
        QVERIFY(waitForLoad(view));
        QTest::qWait(2500);
        QVERIFY(QFileInfo::exists(folder));
        delete view;
        profiles->forget(QStringLiteral("never played")); // nothing to do
    }

    void eachAccountStaysItselfAfterAReload()
    {
        MainWindow *window = m_box.openWindow();
        // The main account logs in, as its login page does.
        GamePage *home = window->tabs()->page(0);
        QVERIFY(waitForLoad(home->webView()));
        runJs(home->webView()->page(), QStringLiteral("fetch('/Kavobox2/session?username=demo&password=demo123')"
                                                      ".then(r => window.loggedIn = r.ok)"));
        QTRY_VERIFY(runJs(home->webView()->page(), QStringLiteral("window.loggedIn === true")).toBool());

        // The main account and two alt accounts on the same server.
        const QStringList server{QStringLiteral("xyj"), QStringLiteral("s1")};
        GamePage *main = window->openGame(QStringLiteral("main"), Endpoints::url(Endpoints::Address::EnterGame, server));
        QList<GamePage *> alts;
        for (const auto &[user, password] : {std::pair{QStringLiteral("kavo_alt1"), QStringLiteral("alt123")},
                                             std::pair{QStringLiteral("kavo_alt2"), QStringLiteral("alt456")}}) {
            const QUrl url = Endpoints::url(Endpoints::Address::EnterGameAsAlt, server + QStringList{user, checkCode(user, password)});
            alts << window->tabs()->openGame(user, url, m_box.profiles.forAccount(user));
        }
        const QList<QPair<GamePage *, QString>> expected{{main, QStringLiteral("demo")}, {alts.at(0), QStringLiteral("kavo_alt1")},
                                                         {alts.at(1), QStringLiteral("kavo_alt2")}};
        for (const auto &[page, name] : expected)
            QTRY_COMPARE_WITH_TIMEOUT(playsAs(page), name, 15000);
        for (const auto &[page, name] : expected)
            QVERIFY2(reloadedAs(page, name), qPrintable(name + QStringLiteral(" plays as ") + playsAs(page)));

        // A game the alt account's page opens is the alt account's too.
        emit alts.at(0)->openTabRequested(QStringLiteral("again"), alts.at(0)->webView()->url());
        QTRY_COMPARE(window->tabs()->count(), 6);
        QCOMPARE(window->tabs()->page(5)->profile(), alts.at(0)->profile());

        // Out into a window of its own and back: still itself.
        alts.at(1)->findChild<QToolButton *>(QStringLiteral("detachButton"))->click();
        DetachedWindow *detached = window->detachedGames()->windows().value(0);
        QVERIFY(detached && detached->page() == alts.at(1));
        QVERIFY(reloadedAs(alts.at(1), QStringLiteral("kavo_alt2")));
        QTest::mousePress(childCalled<QLabel>(detached, QStringLiteral("窗口合并")), Qt::LeftButton);
        QTRY_COMPARE(window->tabs()->currentWidget(), alts.at(1));
        QVERIFY(reloadedAs(alts.at(1), QStringLiteral("kavo_alt2")));
        QVERIFY(reloadedAs(main, QStringLiteral("demo")));
    }
};
KAVO_TEST(TestProfiles)

#include "tst_profiles.moc"
