#include "portalclient.h"
#include "support/testmain.h"

class TestPortalOptions : public TestCase
{
    Q_OBJECT
private slots:
    void updateDefaults()
    {
        PortalProcess portal;
        QVERIFY(portal.start());
        const QJsonObject update = get(portal.url(QStringLiteral("/update/"))).json().object();
        QCOMPARE(update[QStringLiteral("version_code")].toInt(), 2);
        QCOMPARE(update[QStringLiteral("force")].toInt(), 0);
    }

    void updateFromOptions()
    {
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--version-code"), QStringLiteral("7"), QStringLiteral("--force"), QStringLiteral("1")}));
        const QJsonObject update = get(portal.url(QStringLiteral("/update/"))).json().object();
        QCOMPARE(update[QStringLiteral("version_code")].toInt(), 7);
        QCOMPARE(update[QStringLiteral("force")].toInt(), 1);
    }

    void demoLoginNameReachesTheLoginPage()
    {
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--demo-login"), QStringLiteral("演示</script>\"")}));
        const QByteArray page = get(portal.url(QStringLiteral("/Kavobox2"))).body;
        QVERIFY(page.contains("qrc:///qtwebchannel/qwebchannel.js"));
        QVERIFY2(!page.contains("演示</script>"), "the name must not be able to close the script");
    }
};
KAVO_TEST(TestPortalOptions)

#include "tst_portaloptions.moc"
