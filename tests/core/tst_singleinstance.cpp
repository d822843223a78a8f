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

    // A second start on folder hands over to the running one, which hears it.
    // It asks from a thread of its own, as a second process would: its
    // question waits for the running one's event loop.
    static void secondStartHandsOverTo(SingleInstance &running, const QString &folder)
    {
        QSignalSpy asked(&running, &SingleInstance::activationRequested);
        QTest::ignoreMessage(QtInfoMsg, "another start of the box asked this one to come to the front");
        QTest::ignoreMessage(QtInfoMsg, "the box is already running; it was asked to come to the front");
        bool handedOver = false;
        QThread *second = QThread::create([&folder, &handedOver] { handedOver = SingleInstance(folder).handOver(); });
        second->start();
        QTRY_VERIFY(second->isFinished());
        delete second;
        QVERIFY(handedOver);
        QTRY_COMPARE(asked.count(), 1);
    }

private slots:
    void aSecondStartHandsOverAndTheFirstHearsIt()
    {
        SingleInstance first(m_data.path());
        QVERIFY(!first.handOver());
        secondStartHandsOverTo(first, m_data.path());

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
        secondStartHandsOverTo(next, data.path());
#else
        QSKIP("a crashed copy leaves no socket file here");
#endif
    }
};
KAVO_TEST(TestSingleInstance)

#include "tst_singleinstance.moc"
