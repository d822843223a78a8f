#include "core/endpoints.h"
#include "web/bridgeobject.h"
#include "support/browsercatcher.h"
#include "support/httpfixture.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/messagedialog.h"
#include "web/signindialog.h"

// The portal's message and sign-in pages in their dialogs, in a real engine.
class TestWebDialogs : public TestCase
{
    Q_OBJECT
private:
    HttpFixture m_http;

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        const QByteArray page = testPage(QStringLiteral("web/pages/sends-addresses.html"));
        m_http.setBody(QStringLiteral("/Kavobox2/znx.html"), page);
        m_http.setBody(QStringLiteral("/task/qiandao.html"), page);
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());
        Endpoints::setHost(Endpoints::Role::Vip, m_http.hostPort());
    }

    void siteMessagesOpenOnlyWebAddresses()
    {
        BrowserCatcher browser;
        QTest::ignoreMessage(QtWarningMsg, "site message asked to open a non-web address; ignored: javascript:alert(1)");
        QTest::ignoreMessage(QtWarningMsg, "site message asked to open a non-web address; ignored: file:///etc/passwd");
        QTest::ignoreMessage(QtWarningMsg, "site message asked to open a non-web address; ignored: ");
        MessageDialog dialog(testProfile(), nullptr);
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(browser.urls.size(), 1, 20000);
        QCOMPARE(browser.urls.first(), QUrl(QStringLiteral("http://host.test/path?a=1")));
    }

    void signInMessagesChangeNothing()
    {
        BrowserCatcher browser;
        SignInDialog dialog(testProfile());
        QSignalSpy received(dialog.findChild<BridgeObject *>(), &BridgeObject::messageReceived);
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 4, 20000);
        QTest::qWait(200);
        QVERIFY(browser.urls.isEmpty());
    }
};
KAVO_TEST(TestWebDialogs)

#include "tst_webdialogs.moc"
