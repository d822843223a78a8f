#include "support/testmain.h"
#include "web/cleardialog.h"
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWebEngineProfile>

namespace {
void writeBytes(const QString &path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(int(size), 'c'));
}
} // namespace

// The cache's size as the dialog measures it, and clearing.
class TestClearDialog : public TestCase
{
    Q_OBJECT
private:
    QTemporaryDir m_storage;
    QWebEngineProfile *m_profile = nullptr;

private slots:
    void initTestCase()
    {
        m_profile = new QWebEngineProfile(QStringLiteral("cleartest"));
        m_profile->setPersistentStoragePath(m_storage.filePath(QStringLiteral("storage")));
        m_profile->setCachePath(m_storage.filePath(QStringLiteral("cache")));
    }

    void cleanupTestCase()
    {
        QTest::qWait(500); // the engine clears in the background
        delete m_profile;
    }

    void measuresInWholeMegabytesAndClears()
    {
        const QString folder = m_profile->cachePath();
        const QList<QPair<qint64, QString>> sizes{{0, QStringLiteral("0MB")},
                                                  {1048575, QStringLiteral("0MB")},
                                                  {1048576, QStringLiteral("1MB")},
                                                  {5000000, QStringLiteral("4MB")}};
        for (const auto &size : sizes) {
            QDir(folder).removeRecursively(); // none at all, the first time
            if (size.first > 0) {
                // Spread over nested folders, as the engine keeps it.
                writeBytes(folder + QStringLiteral("/a/index"), 1);
                writeBytes(folder + QStringLiteral("/a/b/data_1"), size.first - 1);
            }
            QPointer<ClearDialog> dialog = new ClearDialog(m_profile);
            QCOMPARE(dialog->sizeLabel()->text(), size.second);
            if (size.first == 5000000) {
                dialog->show();
                QCOMPARE(dialog->size(), QSize(360, 300));
                QCOMPARE(dialog->windowTitle(), QStringLiteral("清理"));
                dialog->findChild<QPushButton *>()->click();
                QCOMPARE(dialog->sizeLabel()->text(), QStringLiteral("清理完成"));
            }
            dialog->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(dialog.isNull());
        }
    }
};
KAVO_TEST(TestClearDialog)

#include "tst_cleardialog.moc"
