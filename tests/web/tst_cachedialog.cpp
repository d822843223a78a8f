#include "support/tempdata.h"
#include "support/testmain.h"
#include "web/cachedialog.h"
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QWebEngineProfile>

// The cache's size as the dialog measures it, and clearing.
class TestCacheDialog : public TestCase
{
    Q_OBJECT
private slots:
    void measuresInWholeMegabytesAndClears()
    {
        QTemporaryDir storage;
        auto *profile = new QWebEngineProfile(QStringLiteral("cleartest"));
        profile->setPersistentStoragePath(storage.filePath(QStringLiteral("storage")));
        profile->setCachePath(storage.filePath(QStringLiteral("cache")));
        const QString folder = profile->cachePath();
        // An alt account's profile with 2 MB of its own, and one off the record with none.
        auto *alt = new QWebEngineProfile(QStringLiteral("cachetest-alt"));
        alt->setCachePath(storage.filePath(QStringLiteral("alt-cache")));
        QVERIFY(writeFile(alt->cachePath() + QStringLiteral("/data_1"), QByteArray(2 * 1048576, 'a')));
        auto *offTheRecord = new QWebEngineProfile;
        const QList<QPair<int, QString>> sizes{{0, QStringLiteral("2MB")}, {1048575, QStringLiteral("2MB")},
                                               {1048576, QStringLiteral("3MB")}, {5000000, QStringLiteral("6MB")}};
        for (const auto &size : sizes) {
            QDir(folder).removeRecursively(); // none at all, the first time
            if (size.first > 0) {
                // Spread over nested folders, as the engine keeps it; a link
                // back up the tree must not send the walk round in circles.
                QVERIFY(writeFile(folder + QStringLiteral("/a/index"), "i"));
                QVERIFY(writeFile(folder + QStringLiteral("/a/b/data_1"), QByteArray(size.first - 1, 'c')));
                QVERIFY(QFile::link(folder, folder + QStringLiteral("/a/b/loop")));
            }
            QPointer<CacheDialog> dialog = new CacheDialog({profile, alt, offTheRecord});
            QCOMPARE(dialog->sizeLabel()->text(), size.second);
            if (size.first == 5000000) {
                dialog->show();
                dialog->findChild<QPushButton *>()->click();
                QCOMPARE(dialog->sizeLabel()->text(), QStringLiteral("清理完成"));
            }
            dialog->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(dialog.isNull());
        }
        QTest::qWait(500); // the engine clears in the background
        delete profile;
        delete alt;
        delete offTheRecord;
    }
};
KAVO_TEST(TestCacheDialog)

#include "tst_cachedialog.moc"
