#include "support/browsercatcher.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/loadretry.h"
#include "support/lookup.h"
#include "web/downloadfailurebox.h"
#include "web/downloadhandler.h"
#include "web/webview.h"
#include "widgets/loadingdialog.h"
#include <QDBusConnection>
#include <QDir>
#include <QPushButton>
#include <QWebEnginePage>

// Stands in for the desktop's file manager on the test's own session bus.
class FileManagerStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public slots:
    Q_SCRIPTABLE void ShowItems(const QStringList &uris, const QString &) { shown += uris; }
};

// Downloads from the demo portal into a download folder that does not exist
// yet, one at a time, shown in the file manager once.
class TestDownloadHandler : public TestCase
{
    Q_OBJECT
private:
    TempDataDir m_data;
    QTemporaryDir m_home;
    PortalProcess m_portal;
    FileManagerStandIn m_fileManager;
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("standin"));
    QString m_folder;

    QUrl download(const QString &name, int size, const QString &extra = QString()) const
    {
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("name"), QString::fromUtf8(QUrl::toPercentEncoding(name)));
        query.addQueryItem(QStringLiteral("size"), QString::number(size));
        return m_portal.url(QStringLiteral("/download/file?") + query.toString(QUrl::FullyEncoded) + extra);
    }
    bool wholeFile(const QString &name, int size) const
    {
        const QByteArray bytes = readFile(QDir(m_folder).filePath(name));
        for (int i = 0; i < bytes.size(); ++i) {
            if (quint8(bytes.at(i)) != i % 251) // the portal's pattern
                return false;
        }
        return bytes.size() == size;
    }
    // The failure box on show says this, over this window.
    static bool boxSays(const DownloadHandler &downloads, const QString &name, const QString &reason, QWidget *window)
    {
        DownloadFailureBox *box = downloads.failureBox();
        return box && box->isVisible() && box->parentWidget() == window
            && childWithText<QLabel>(box, QStringLiteral("下载失败：") + name) && childWithText<QLabel>(box, reason);
    }
    bool fileManagerListens(bool on)
    {
        const QString service = QStringLiteral("org.freedesktop.FileManager1");
        return on ? m_bus.registerService(service) : m_bus.unregisterService(service);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_bus.isConnected(), "run under dbus-run-session");
        QVERIFY(m_bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &m_fileManager,
                                     QDBusConnection::ExportScriptableSlots));
        QVERIFY(writeFile(m_home.filePath(QStringLiteral(".config/user-dirs.dirs")), "XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n"));
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".config"))));
        m_folder = m_home.filePath(QStringLiteral("下载"));
        QVERIFY(m_portal.start());
    }

    void init()
    {
        m_fileManager.shown.clear();
        QVERIFY(fileManagerListens(true));
    }

    void oneAtATimeIntoTheFolderShownOnce()
    {
        BrowserCatcher browser;
        DownloadHandler downloads(testProfile());
        WebView game(testProfile(), nullptr);
        auto *retry = new LoadRetry(&game);
        game.resize(800, 600);
        game.show();
        game.load(m_portal.url(QStringLiteral("/game/xyj.html")));
        QVERIFY(waitForLoad(&game));
        runJs(game.page(), QStringLiteral("window.ticks = 0; setInterval(() => ticks++, 20)"));
        QVERIFY(!QFileInfo::exists(m_folder));

        // About 1.5 s at 200 kB/s: long enough for a second one to be refused.
        const QString name = QStringLiteral("攻略 $(x) ';y;' 1.bin");
        runJs(game.page(), QStringLiteral("location.href = %1")
                               .arg(jsString(download(name, 300000, QStringLiteral("&rate=200000")).toString())));
        QTRY_VERIFY(downloads.loadingDialog() && downloads.loadingDialog()->isVisible());
        WebView other(testProfile(), nullptr);
        other.show();
        other.load(download(QStringLiteral("second.bin"), 1000));
        QTRY_VERIFY(boxSays(downloads, QStringLiteral("second.bin"), QStringLiteral("另一个文件正在下载，请稍后再试"), &other));
        QCOMPARE(QDir(m_folder).entryList(QDir::Files).filter(QStringLiteral("second")), QStringList());

        QTRY_VERIFY_WITH_TIMEOUT(!downloads.isBusy(), 10000);
        QVERIFY(!downloads.loadingDialog()->isVisible());
        QVERIFY(wholeFile(name, 300000));
        QTRY_COMPARE(m_fileManager.shown,
                     QStringList{QUrl::fromLocalFile(QDir(m_folder).filePath(name)).toString(QUrl::FullyEncoded)});
        QTest::qWait(200);
        QCOMPARE(m_fileManager.shown.size(), 1);
        QVERIFY(browser.urls.isEmpty());

        // The game's page went on as it was.
        QVERIFY(runJs(game.page(), QStringLiteral("window.ticks")).toInt() > 20);
        QVERIFY(!retry->isPending());
        QCOMPARE(QDir(m_folder).entryList(QDir::Files), QStringList{name});
    }

    void withoutAFileManagerTheFolderOpens()
    {
        BrowserCatcher browser;
        DownloadHandler downloads(testProfile());
        QVERIFY(fileManagerListens(false));
        WebView view(testProfile(), nullptr);
        view.load(download(QStringLiteral("notes.txt"), 5000));
        QTRY_VERIFY(wholeFile(QStringLiteral("notes.txt"), 5000));
        QTRY_COMPARE(browser.urls, QList<QUrl>{QUrl::fromLocalFile(m_folder)});
        QTest::qWait(200);
        QCOMPARE(browser.urls.size(), 1);
        QVERIFY(m_fileManager.shown.isEmpty());
    }

    // Broken off every 50 kB, it is resumed by the engine a few times, then
    // the box offers to go on, its partial file kept: resumed, it completes;
    // given up, its partial file goes.
    void aBrokenDownloadIsResumedOrGivenUp()
    {
        auto downloads = std::make_unique<DownloadHandler>(testProfile());
        WebView view(testProfile(), nullptr);
        view.show();
        for (const bool resume : {true, false}) {
            const QString name = resume ? QStringLiteral("resumed.bin") : QStringLiteral("given-up.bin");
            view.load(download(name, 400000, QStringLiteral("&breakAt=50000")));
            QTRY_VERIFY_WITH_TIMEOUT(boxSays(*downloads, name, QStringLiteral("服务器中途断开了连接"), &view), 10000);
            QVERIFY(QFileInfo(QDir(m_folder).filePath(name + QStringLiteral(".download"))).size() > 0);
            QVERIFY(downloads->isBusy() && !downloads->loadingDialog()->isVisible());
            childWithText<QPushButton>(downloads->failureBox(), resume ? QStringLiteral("继续下载") : QStringLiteral("取消下载"))->click();
            QTRY_VERIFY_WITH_TIMEOUT(!downloads->isBusy(), 10000);
            if (resume)
                QVERIFY(wholeFile(name, 400000));
            QTRY_COMPARE(QDir(m_folder).entryList({name + QLatin1Char('*')}, QDir::Files | QDir::Hidden),
                         resume ? QStringList{name} : QStringList());
            QVERIFY(!downloads->failureBox());
        }
        QTRY_COMPARE(m_fileManager.shown.size(), 1);

        // Quitting mid-download cancels it, and nothing is left behind.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(
            QStringLiteral("^DownloadHandler:: quitting during the download of .*/slow.bin ; cancelled$")));
        view.load(download(QStringLiteral("slow.bin"), 400000, QStringLiteral("&rate=100000")));
        QTRY_VERIFY(downloads->loadingDialog() && downloads->loadingDialog()->isVisible());
        QTRY_VERIFY(!QDir(m_folder).entryList({QStringLiteral("slow*")}, QDir::Files).isEmpty());
        downloads.reset();
        QTRY_VERIFY(QDir(m_folder).entryList({QStringLiteral("slow*")}, QDir::Files | QDir::Hidden).isEmpty());
    }

    // A download that cannot succeed says why, over the window that asked.
    void aDownloadBeyondResumingSaysWhy()
    {
        DownloadHandler downloads(testProfile());
        WebView view(testProfile(), nullptr);
        view.show();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^DownloadHandler:: the download of .* did not complete: ")));
        view.page()->download(m_portal.url(QStringLiteral("/entergame.php?game=xyj&server=s1&boxSmall=x&ckcode=bad&tobox=1")),
                              QStringLiteral("forbidden.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(boxSays(downloads, QStringLiteral("forbidden.bin"), QStringLiteral("服务器拒绝了这次下载"), &view), 10000);
        QVERIFY(!downloads.isBusy() && !childWithText<QPushButton>(downloads.failureBox(), QStringLiteral("继续下载")));
        QVERIFY(QDir(m_folder).entryList({QStringLiteral("forbidden*")}, QDir::Files | QDir::Hidden).isEmpty());
    }

    void aFolderItCannotWriteRefuses()
    {
        DownloadHandler downloads(testProfile());
        QDir().mkpath(m_folder);
        ReadOnlyFolder readOnly(m_folder);
        QVERIFY2(readOnly.isReadOnly(), qPrintable(readOnly.why()));
        const QStringList before = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^DownloadHandler:: cannot save in .*; download refused: ")));
        WebView view(testProfile(), nullptr);
        view.show();
        view.load(download(QStringLiteral("refused.bin"), 1000));
        QTRY_VERIFY(boxSays(downloads, QStringLiteral("refused.bin"), QStringLiteral("无法写入下载文件夹 ") + m_folder, &view));
        QVERIFY(!downloads.isBusy());
        QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), before);
    }

    void namesAreFilesOfTheirOwn_data()
    {
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("saved");
        QTest::newRow("up") << "../../x" << "x";
        QTest::newRow("absolute") << "/etc/passwd" << "passwd";
        QTest::newRow("backslash") << "a\\b" << "b";
        QTest::newRow("hidden") << ".hidden" << "_hidden";
        QTest::newRow("control") << "a\tb\nc\x7f.txt" << "a_b_c_.txt";
        QTest::newRow("empty") << "" << "download";
        QTest::newRow("trailing slash") << "dir/" << "download";
        QTest::newRow("shell") << "a $(touch p) ';touch q;' b.bin" << "a $(touch p) ';touch q;' b.bin";
        QTest::newRow("taken") << "taken.txt" << "taken (2).txt";
        QTest::newRow("taken, no extension") << "taken" << "taken (1)";
        QTest::newRow("partial there") << "busy.zip" << "busy (1).zip";
    }
    void namesAreFilesOfTheirOwn()
    {
        QFETCH(QString, suggested);
        QFETCH(QString, saved);
        QTemporaryDir folder;
        for (const char *existing : {"taken.txt", "taken (1).txt", "taken", "busy.zip.download"})
            QFile(folder.filePath(QString::fromLatin1(existing))).open(QIODevice::WriteOnly);
        QCOMPARE(downloadFileName(suggested, folder.path()), saved);
    }

    void longNamesKeepTheirExtension()
    {
        QTemporaryDir folder;
        const QString name = downloadFileName(QString(200, QChar(0x4e0b)) + QStringLiteral(".tar"), folder.path());
        QVERIFY(name.endsWith(QStringLiteral(".tar")));
        QVERIFY(name.toUtf8().size() <= 240 && name.toUtf8().size() > 230);
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
        const QString next = downloadFileName(QString(200, QChar(0x4e0b)) + QStringLiteral(".tar"), folder.path());
        QVERIFY(next.endsWith(QStringLiteral(" (1).tar")) && next.toUtf8().size() <= 240);
        // A character beyond the basic plane is never cut in half.
        const QString emoji = downloadFileName(QString::fromUtf8("\xf0\x9f\x8e\xae").repeated(70), folder.path());
        QVERIFY(emoji.toUtf8().size() <= 240 && emoji.toUtf8().size() % 4 == 0);
        QVERIFY(emoji.isValidUtf16());
    }
};
KAVO_TEST(TestDownloadHandler)

#include "tst_downloadhandler.moc"
