#include "core/datadir.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {
struct Result {
    int exitCode = -1;
    QString output;
};

Result run(const QString &program, const QStringList &arguments,
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    // The system's tools, without the runtime a sanitized run preloads.
    QProcessEnvironment toolEnvironment = environment;
    toolEnvironment.remove(QStringLiteral("LD_PRELOAD"));
    QProcess process;
    process.setProcessEnvironment(toolEnvironment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Result result;
    if (!process.waitForFinished(60000)) {
        result.output = program + QStringLiteral(": ") + process.errorString();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

const QList<int> kIconSizes = {16, 32, 48, 64, 128, 256};
} // namespace

// What "cmake --install" puts under a prefix, staged with DESTDIR as a
// package build does, and the staged client run from there.
class TestInstall : public TestCase
{
    Q_OBJECT
private:
    QTemporaryDir m_stage;

    QString staged(const QString &path) const { return m_stage.filePath(path); }
    QString entryPath() const
    {
        return staged(QStringLiteral("usr/share/applications/") + applicationId() + QStringLiteral(".desktop"));
    }
    QString metadataPath() const
    {
        return staged(QStringLiteral("usr/share/metainfo/") + applicationId() + QStringLiteral(".metainfo.xml"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_stage.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), m_stage.path());
        const Result install = run(QStringLiteral(KAVO_CMAKE_COMMAND),
                                   {QStringLiteral("--install"), QStringLiteral(KAVO_BUILD_DIR),
                                    QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                   environment);
        QVERIFY2(install.exitCode == 0, qPrintable(install.output));
    }

    void installsExactlyTheDesktopFilesAndTheyValidate()
    {
        QStringList expected = {QStringLiteral("usr/bin/kavobox"), entryPath(), metadataPath()};
        for (int size : kIconSizes)
            expected << staged(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(applicationId()));
        for (QString &path : expected)
            path = QDir(m_stage.path()).relativeFilePath(path);
        QStringList installed;
        QDirIterator it(m_stage.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            installed << QDir(m_stage.path()).relativeFilePath(it.next());
        expected.sort();
        installed.sort();
        QCOMPARE(installed, expected);

        const Result entry = run(QStringLiteral("desktop-file-validate"), {entryPath()});
        QVERIFY2(entry.exitCode == 0 && entry.output.trimmed().isEmpty(), qPrintable(entry.output));
        // Infos and pedantic hints (the id's capitals) are allowed; errors and warnings are not.
        const Result metadata = run(QStringLiteral("appstreamcli"),
                                    {QStringLiteral("validate"), QStringLiteral("--no-net"), metadataPath()});
        QVERIFY2(metadata.exitCode == 0, qPrintable(metadata.output));
        QVERIFY2(!QRegularExpression(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption)
                      .match(metadata.output)
                      .hasMatch(),
                 qPrintable(metadata.output));
    }

    void entryAndMetadataPointAtTheStagedFiles()
    {
        QSettings entry(entryPath(), QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        const QString exec = entry.value(QStringLiteral("Exec")).toString();
        QCOMPARE(exec, QStringLiteral("kavobox")); // found through PATH, so any prefix works
        QVERIFY(QFileInfo(staged(QStringLiteral("usr/bin/") + exec)).isExecutable());

        const QString icon = entry.value(QStringLiteral("Icon")).toString();
        QCOMPARE(icon, applicationId());
        for (int size : kIconSizes) {
            const QString path = staged(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon));
            QImageReader reader(path);
            QCOMPARE(reader.format(), QByteArray("png"));
            QCOMPARE(reader.size(), QSize(size, size));
        }

        QFile file(metadataPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList releases;
        QString launchable;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("release"))
                releases << xml.attributes().value(QStringLiteral("version")).toString();
            else if (xml.name() == QLatin1String("launchable"))
                launchable = xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(launchable, QFileInfo(entryPath()).fileName());
        // Bumping the project's version needs a release entry, with its date.
        QCOMPARE(releases, QStringList{QStringLiteral(KAVO_PROJECT_VERSION)});
    }

    void stagedClientKeepsDataPerUserAndReadsTheMachineHosts()
    {
        PortalProcess portal;
        QVERIFY(portal.start());
        QTemporaryDir home;
        const QString machineIni = home.filePath(QStringLiteral("etc/xdg/kavobox/portal.ini"));
        QByteArray hosts = "[hosts]\n";
        for (const char *role : {"member", "content", "social", "vip", "pay", "gift", "portal", "download"})
            hosts += QByteArray(role) + '=' + portal.hostPort().toUtf8() + '\n';
        QVERIFY(writeFile(machineIni, hosts));
        const QString runtime = home.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral(".cache")));
        environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), home.filePath(QStringLiteral("etc/xdg")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);

        QProcess client;
        client.setProcessEnvironment(environment);
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(staged(QStringLiteral("usr/bin/kavobox")), {});
        QByteArray log;
        const bool loaded = QTest::qWaitFor([&] {
            log += client.readAll();
            return log.contains("finish: true") || client.state() == QProcess::NotRunning;
        }, 60000);
        client.terminate();
        if (!client.waitForFinished(30000))
            client.kill();
        client.waitForFinished();
        log += client.readAll();
        QVERIFY2(loaded && log.contains("finish: true"), log.constData());
        // SIGTERM closes it as a user's quitting does.
        QVERIFY2(client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0, log.constData());
        QVERIFY2(log.contains("received; quitting") && !log.contains("Release of profile requested"), log.constData());
        QVERIFY2(log.contains("reading portal hosts from " + machineIni.toUtf8()), log.constData());
        QVERIFY(portal.log().contains(QStringLiteral("GET /Kavobox2 200")));

        QVERIFY(QFile::exists(home.filePath(QStringLiteral(".local/share/kavobox/Config.ini"))));
        QCOMPARE(QDir(staged(QStringLiteral("usr/bin"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("kavobox")});
    }
};
KAVO_TEST(TestInstall)

#include "tst_install.moc"
