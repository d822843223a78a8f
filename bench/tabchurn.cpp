// Opens and closes game tabs of the main window in rounds, against a running
// demo portal, and prints the memory (PSS) of this process and its web-engine
// processes after each round. Closing a tab must give its page and renderer
// back, so the figure should level off instead of growing round by round.
//
//   kavo-bench-tabchurn PORT [rounds] [tabs per round]
#include "app/resources.h"
#include "app/startup.h"
#include "core/endpoints.h"
#include "core/mainwdiget.h"
#include "core/portalapi.h"
#include "web/pageweb.h"
#include "web/webview.h"
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTabWidget>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <functional>

namespace {
// Parent of a process, from /proc/PID/stat ("pid (name) state ppid ...").
qint64 parentOf(const QString &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : -1;
}

qint64 pssKiB(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

int s_processes = 0; // counted by the last treePssKiB

// PSS of pid and all its descendants, in KiB.
qint64 treePssKiB(qint64 pid, bool top = true)
{
    if (top)
        s_processes = 0;
    ++s_processes;
    qint64 total = pssKiB(pid);
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 child = entry.toLongLong(&isPid);
        if (isPid && parentOf(entry) == pid)
            total += treePssKiB(child, false);
    }
    return total;
}

// Runs the event loop until done() holds or msec pass.
bool waitFor(const std::function<bool()> &done, int msec)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(50);
    QTimer::singleShot(msec, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void settle(int msec)
{
    waitFor([] { return false; }, msec);
}
} // namespace

int main(int argc, char *argv[])
{
    disableSandboxWhenRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    initResources();
    applyWebEngineDefaults();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PORT [rounds] [tabs per round]\n", argv[0]);
        return 2;
    }
    const QString hostPort = QStringLiteral("127.0.0.1:") + QString::fromLatin1(argv[1]);
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 5;
    const int tabs = argc > 3 ? QByteArray(argv[3]).toInt() : 4;
    for (Endpoints::Role role : Endpoints::roles())
        Endpoints::setHost(role, hostPort);
    const QString game = QStringLiteral("http://%1/entergame.php?game=xyj&server=s1&client=1&tobox=1").arg(hostPort);

    PortalApi api;
    auto *window = new MainWdiget(QStringLiteral("bench"), &api);
    window->show();
    QTabWidget *tabWidget = window->tabWidget();
    int loaded = 0;
    QObject::connect(qobject_cast<PageWeb *>(window->tabWidget()->widget(0))->webView(), &QWebEngineView::loadFinished, window, [&] { ++loaded; });
    if (!waitFor([&] { return loaded > 0; }, 30000)) {
        std::fprintf(stderr, "the home page did not load\n");
        return 1;
    }
    settle(2000);
    const qint64 baseline = treePssKiB(QCoreApplication::applicationPid());
    std::printf("before any game tab: %lld MiB in %d processes\n", baseline / 1024, s_processes);
    std::printf("  (client process alone: %lld MiB)\n", pssKiB(QCoreApplication::applicationPid()) / 1024);

    qint64 first = 0;
    qint64 last = 0;
    for (int round = 1; round <= rounds; ++round) {
        int gameLoads = 0;
        for (int i = 0; i < tabs; ++i) {
            window->createTab(QStringLiteral("game %1").arg(i), game);
            auto *view = tabWidget->widget(tabWidget->count() - 1)->findChild<WebView *>();
            QObject::connect(view, &QWebEngineView::loadFinished, window, [&] { ++gameLoads; });
        }
        if (!waitFor([&] { return gameLoads >= tabs; }, 60000)) {
            std::fprintf(stderr, "round %d: the game tabs did not load\n", round);
            return 1;
        }
        const qint64 open = treePssKiB(QCoreApplication::applicationPid());
        const int openProcesses = s_processes;
        while (tabWidget->count() > MainWdiget::kFixedTabs)
            window->closeTab(tabWidget->count() - 1);
        settle(4500); // renderers exit, and the client returns what it freed
        const qint64 closed = treePssKiB(QCoreApplication::applicationPid());
        std::printf("  (client process alone: %lld MiB)\n", pssKiB(QCoreApplication::applicationPid()) / 1024);
        std::printf("round %d: %d tabs open %lld MiB in %d processes, all closed %lld MiB in %d\n", round, tabs,
                    open / 1024, openProcesses, closed / 1024, s_processes);
        std::fflush(stdout);
        if (round == 1)
            first = closed;
        last = closed;
    }
    std::printf("after closing: %+lld MiB from round 1 to round %d\n", (last - first) / 1024, rounds);
    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
