#include "core/autostart.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

// The package's postrm, run as dpkg runs it, against a temporary DPKG_ROOT.
class TestPostrm : public TestCase
{
    Q_OBJECT
private slots:
    void removesOnlyTheEntryThatStartsThePackage_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("entry"); // empty: there is none
        QTest::addColumn<bool>("removed");

        // What the installed client writes when it may write the machine's entry.
        const QByteArray own = autostartEntryText(QStringLiteral("/usr/bin/kavobox")).toUtf8();
        const QByteArray unquoted = "[Desktop Entry]\nType=Application\nName=Kavo\nExec=/usr/bin/kavobox\n";
        QTest::newRow("own, remove") << "remove" << own << true;
        QTest::newRow("own unquoted, purge") << "purge" << unquoted << true;
        QTest::newRow("own, upgrade") << "upgrade" << own << false;
        QTest::newRow("a copy elsewhere") << "remove" << autostartEntryText(QStringLiteral("/opt/kavobox/kavobox")).toUtf8()
                                          << false;
        QTest::newRow("with an option") << "remove" << QByteArray(unquoted).replace("kavobox\n", "kavobox --min\n")
                                        << false;
        QTest::newRow("none") << "remove" << QByteArray() << false;
    }

    void removesOnlyTheEntryThatStartsThePackage()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, entry);
        QFETCH(bool, removed);

        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("etc/xdg/autostart/kavobox.desktop"));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        if (!entry.isEmpty())
            QVERIFY(writeFile(path, entry));

        QProcess postrm;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DPKG_ROOT"), root.path());
        postrm.setProcessEnvironment(environment);
        postrm.setProcessChannelMode(QProcess::MergedChannels);
        postrm.start(QStringLiteral(KAVO_POSTRM), {action});
        QVERIFY(postrm.waitForFinished(10000));
        const QByteArray output = postrm.readAll();
        QVERIFY2(postrm.exitStatus() == QProcess::NormalExit && postrm.exitCode() == 0, output.constData());
        QVERIFY2(output.isEmpty(), output.constData());
        QCOMPARE(QFile::exists(path), !entry.isEmpty() && !removed);
    }
};
KAVO_TEST(TestPostrm)

#include "tst_postrm.moc"
