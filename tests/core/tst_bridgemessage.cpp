#include "core/bridgejson.h"
#include "support/testmain.h"
#include <QJsonObject>

// What a page's message means to the client, and what of it the log shows.
class TestBridgeMessage : public TestCase
{
    Q_OBJECT
private slots:
    void parametersMustBeOneObject_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("name");
        QTest::newRow("object") << R"({"name":"abc","extra":1})" << true << "abc";
        QTest::newRow("key of another type") << R"({"name":42})" << true << "";
        QTest::newRow("array") << R"([{"name":"abc"}])" << false << "";
        QTest::newRow("bare address") << "http://127.0.0.1/news/1.html" << false << "";
        QTest::newRow("truncated") << "{\"name\":\"ab" << false << "";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("a key named twice") << R"({"name":["a"],"name":"b"})" << false << "";
        QTest::newRow("the same key escaped") << "{\"name\":\"a\",\"n\\u0061me\":\"b\"}" << false << "";
        QTest::newRow("the same key escaped otherwise") << R"({"a/b":1,"a\/b":2})" << false << "";
        QTest::newRow("ends in a backslash") << "{\"name\":\"a\\" << false << "";
        QTest::newRow("one key in two objects") << R"({"name":"a","x":{"name":1},"y":[{"name":2}]})" << true << "a";
    }

    void parametersMustBeOneObject()
    {
        QFETCH(QString, json);
        QFETCH(bool, ok);
        QFETCH(QString, name);
        bool parsed = !ok;
        const QJsonObject parameters = BridgeMessage::parse(3, QString(), json).parameters(&parsed);
        QCOMPARE(parsed, ok);
        QCOMPARE(parameters.value(QStringLiteral("name")).toString(), name);
    }

    void secretsNeverReachTheLog_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QStringList>("secrets");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("password") << R"({"name":"abc","password":"hunter2"})" << QStringList{"hunter2"}
                                  << QStringList{R"("name":"abc")"};
        QTest::newRow("check code and token") << R"({"ckcode":"c0ffee","access_token":"t0k","title":"x"})"
                                              << QStringList{"c0ffee", "t0k"} << QStringList{R"("title":"x")"};
        QTest::newRow("numbers and nesting")
            << R"({"user":{"ckcode":123456,"list":[{"Token":["a1","b2"]}]},"pass":{"x":"deep"}})"
            << QStringList{"123456", "a1", "b2", "deep"} << QStringList{R"("user":)"};
        QTest::newRow("plain keys") << R"({"title":"password reset","url":"x.test"})" << QStringList{}
                                    << QStringList{R"("title":"password reset")", R"("url":"x.test")"};
        QTest::newRow("query text") << "user=abc&password=hunter2&ckcode=c0ffee&x=1" << QStringList{"hunter2", "c0ffee"}
                                    << QStringList{"user=abc", "x=1"};
        QTest::newRow("not JSON") << "{pwd: 'hunter2', \"ckcode\" : \"s3 cr\\\"et\"" << QStringList{"hunter2", "s3 cr"}
                                  << QStringList{};
        QTest::newRow("a key named twice") << R"({"pwd":"hunter2","pwd":"c0ffee","game":"g"})"
                                           << QStringList{"hunter2", "c0ffee"} << QStringList{R"("game":"g")"};
        const QString pad(1 << 20, QLatin1Char('x'));
        QTest::newRow("a megabyte") << QStringLiteral("{\"ckcode\":\"t0k\",\"pad\":\"") + pad + QStringLiteral("\"}") << QStringList{"t0k", pad.left(3000)}
                                    << QStringList{"(1048601 characters)"};
    }

    void secretsNeverReachTheLog()
    {
        QFETCH(QString, json);
        QFETCH(QStringList, secrets);
        QFETCH(QStringList, kept);
        // The message's own line, from its one parse, and any text on its own.
        const QString logged = BridgeMessage::parse(3, json, json).forLog();
        for (const QString &secret : secrets)
            QVERIFY2(!logged.contains(secret), qPrintable(logged));
        for (const QString &text : kept)
            QVERIFY2(logged.contains(text), qPrintable(logged));
        QCOMPARE(logged.contains(QStringLiteral("***")), !secrets.isEmpty());
    }
};
KAVO_TEST(TestBridgeMessage)

#include "tst_bridgemessage.moc"
