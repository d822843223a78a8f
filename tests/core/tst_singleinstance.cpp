#include "core/singleinstance.h"
#include "support/testmain.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

// One box per user and data folder.
class TestSingleInstance : public TestCase
{
    Q_OBJECT
private:
    QTemporaryDir m_data;

private slots:
    void aSecondStartHandsOverAndTheFirstHearsIt()
    {
        SingleInstance first(m_data.path());
        QVERIFY(!first.handOver());
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        QTest::ignoreMessage(QtInfoMsg, "another start of the box asked this one to come to the front");
        QTest::ignoreMessage(QtInfoMsg, "the box is already running; it was asked to come to the front");
        // The second asks from a thread of its own, as a second process would:
        // its question waits for the first one's event loop.
        bool handedOver = false;
        QThread *second = QThread::create([this, &handedOver] { handedOver = SingleInstance(m_data.path()).handOver(); });
        second->start();
        QTRY_VERIFY(second->isFinished());
        delete second;
        QVERIFY(handedOver);
        QTRY_COMPARE(asked.count(), 1);

        // Another data folder is another box.
        QTemporaryDir other;
        SingleInstance elsewhere(other.path());
        QVERIFY(!elsewhere.handOver());
        QVERIFY(elsewhere.serverName() != first.serverName());
    }

    void aSocketLeftByACrashDoesNotBlockTheStart()
    {
#ifdef Q_OS_UNIX
        QTemporaryDir data;
        const QString path = QDir::tempPath() + QLatin1Char('/') + SingleInstance(data.path()).serverName();
        // Bound, then left behind without anybody listening, as by a copy killed outright.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path));
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0);
        ::close(fd);
        QVERIFY(QFile::exists(path));

        SingleInstance next(data.path());
        QVERIFY(!next.handOver());
        QSignalSpy asked(&next, &SingleInstance::activationRequested);
        QTest::ignoreMessage(QtInfoMsg, "another start of the box asked this one to come to the front");
        QTest::ignoreMessage(QtInfoMsg, "the box is already running; it was asked to come to the front");
        bool handedOver = false;
        QThread *later = QThread::create([&data, &handedOver] { handedOver = SingleInstance(data.path()).handOver(); });
        later->start();
        QTRY_VERIFY(later->isFinished());
        delete later;
        QVERIFY(handedOver);
        QTRY_COMPARE(asked.count(), 1);
#else
        QSKIP("a crashed copy leaves no socket file here");
#endif
    }
};
KAVO_TEST(TestSingleInstance)

#include "tst_singleinstance.moc"
