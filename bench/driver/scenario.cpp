#include "scenario.h"
#include "portallink.h"
#include "proctree.h"
#include "screenprobe.h"
#include "xwatch.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QJsonObject>
#include <QScreen>
#include <QTcpServer>
#include <QTimer>
#include <algorithm>

namespace {
constexpr int kSettleMs = 3000;
// The client gives freed memory back 3 s after the last tab closed.
constexpr int kClosedSettleMs = 4000;
constexpr int kIdleMs = 10000;
// Start-up itself is not what the portal-down figure is about.
constexpr int kDownWarmUpMs = 5000;
constexpr int kDownMs = 20000;
constexpr int kLoadTimeoutMs = 60000;
constexpr int kRecords = 10000;
constexpr int kPingIntervalMs = 20;
constexpr int kWatchAfterPaintMs = 2000;
constexpr int kDialogTimeoutMs = 10000;
// Other rows' text in the middle of a list: a small share of its pixels.
constexpr double kRowsChanged = 0.002;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

double mib(qint64 kib)
{
    return kib / 1024.0;
}
} // namespace

void settle(int msec)
{
    QEventLoop loop;
    QTimer::singleShot(msec, &loop, &QEventLoop::quit);
    loop.exec();
}

Scenario::Scenario(const Setup &setup, PortalLink &portal, XWatch &x)
    : m_setup(setup)
    , m_portal(portal)
    , m_x(x)
{
    for (const QJsonValue &game : m_portal.getArray(QStringLiteral("/api/allserver_series.php?act=getgame")))
        m_games.append(game.toObject().value(QStringLiteral("tag")).toString());
}

QString Scenario::folder(const QString &what, Launch::Program program, int run) const
{
    return QStringLiteral("%1/%2-%3-%4").arg(m_setup.work, what, Launch::name(program)).arg(run);
}

bool Scenario::fail(const QString &what, const Launch &launch)
{
    m_error = what + QStringLiteral("\n--- its log ends:\n") + launch.logTail();
    return false;
}

bool Scenario::warmUp()
{
    for (Launch::Program program : {Launch::Program::Client, Launch::Program::Floor}) {
        Launch launch(program, program == Launch::Program::Client ? m_setup.client : m_setup.floor,
                      folder(QStringLiteral("warmup"), program, 0), m_portal.hostPort());
        if (!startAndLogIn(launch, nullptr)) {
            m_error = Launch::name(program) + QStringLiteral(": ") + m_error;
            return false;
        }
    }
    return true;
}

bool Scenario::startAndLogIn(Launch &launch, Figures *figures)
{
    const int before = m_portal.loadCount();
    if (!launch.start())
        return fail(QStringLiteral("the program did not start"), launch);
    const auto ended = [&launch] { return !launch.isRunning(); };
    const QList<qint64> login = m_portal.waitForLoads(before, {QStringLiteral("/Kavobox2")}, kLoadTimeoutMs, ended);
    if (login.isEmpty())
        return fail(QStringLiteral("the login page did not load"), launch);
    const QList<qint64> pages = m_portal.waitForLoads(before, {QStringLiteral("/landers.html"), QStringLiteral("/search.html")},
                                                      kLoadTimeoutMs, ended);
    if (pages.isEmpty())
        return fail(QStringLiteral("the home and search pages did not load after the login"), launch);
    if (figures) {
        figures->insert(QStringLiteral("login_ms"), login.first() - launch.startedAtMs());
        figures->insert(QStringLiteral("main_ms"), *std::max_element(pages.begin(), pages.end()) - launch.startedAtMs());
    }
    return true;
}

bool Scenario::openGames(Launch &launch)
{
    const int before = m_portal.loadCount();
    QStringList pages;
    for (int i = 0; i < m_setup.games; ++i) {
        const QString path = QStringLiteral("/entergame.php?game=%1&server=s1&client=1&tobox=1").arg(m_games.value(i % qMax(1, m_games.size())));
        // Code 3: a game in a tab of its own, without maximising the window.
        if (!m_portal.send(3, QStringLiteral("bench"),
                           {{QStringLiteral("title"), QStringLiteral("游戏%1").arg(i + 1)}, {QStringLiteral("url"), m_portal.url(path)}}))
            return fail(QStringLiteral("the portal did not take the message"), launch);
        pages.append(path);
    }
    if (m_portal.waitForLoads(before, pages, kLoadTimeoutMs, [&launch] { return !launch.isRunning(); }).isEmpty())
        return fail(QStringLiteral("the games did not load"), launch);
    return true;
}

bool Scenario::closeGames(Launch &launch)
{
    static const QList<ScreenProbe::Picture> closeButton = ScreenProbe::tabCloseButton();
    const QList<XWatch::Window> windows = m_x.windowsOf(launch.pid());
    if (windows.isEmpty())
        return fail(QStringLiteral("no window of the program on screen"), launch);
    // The tab bar lies in the window's top strip; the pages below it are not searched.
    QRect strip = windows.first().geometry;
    strip.setHeight(qMin(strip.height(), 200));
    strip &= QGuiApplication::primaryScreen()->geometry();
    QList<QPoint> buttons;
    for (int left = m_setup.games; left >= 0; --left) {
        // Wait for the bar to show the tabs that are left.
        QElapsedTimer waited;
        waited.start();
        while ((buttons = ScreenProbe::find(strip, closeButton)).size() != left && waited.elapsed() < 10000)
            settle(50);
        if (buttons.size() != left)
            return fail(QStringLiteral("%1 close buttons on screen where %2 game tabs should be").arg(buttons.size()).arg(left), launch);
        if (left > 0 && !ScreenProbe::click(buttons.last() + QPoint(8, 8)))
            return fail(QStringLiteral("xdotool failed"), launch);
    }
    return true;
}

double Scenario::cpuPercent(qint64 pid, int msec)
{
    const qint64 before = ProcTree::cpuTicks(pid);
    QElapsedTimer elapsed;
    elapsed.start();
    settle(msec);
    const qint64 used = ProcTree::cpuTicks(pid) - before;
    return 100.0 * used / ProcTree::ticksPerSecond() / (elapsed.elapsed() / 1000.0);
}

Scenario::Figures Scenario::main(Launch::Program program, int run)
{
    Figures figures;
    m_rounds.clear();
    Launch launch(program, program == Launch::Program::Client ? m_setup.client : m_setup.floor,
                  folder(QStringLiteral("main"), program, run), m_portal.hostPort());
    if (!startAndLogIn(launch, &figures))
        return {};
    settle(kSettleMs);
    const qint64 fixed = ProcTree::pssKiB(launch.pid());
    figures.insert(QStringLiteral("pss_fixed_mib"), mib(fixed));
    figures.insert(QStringLiteral("idle_cpu_pct"), cpuPercent(launch.pid(), kIdleMs));
    for (int round = 1; round <= m_setup.rounds; ++round) {
        if (!openGames(launch))
            return {};
        if (round == 1) {
            settle(kSettleMs);
            figures.insert(QStringLiteral("pss_games_mib"), mib(ProcTree::pssKiB(launch.pid())));
        }
        if (!closeGames(launch))
            return {};
        settle(kClosedSettleMs);
        m_rounds.append(mib(ProcTree::pssKiB(launch.pid())));
    }
    figures.insert(QStringLiteral("pss_closed_mib"), m_rounds.first());
    figures.insert(QStringLiteral("closed_vs_fixed_pct"), 100.0 * (m_rounds.first() - mib(fixed)) / mib(fixed));
    figures.insert(QStringLiteral("rounds_growth_pct"), 100.0 * (m_rounds.last() - m_rounds.first()) / m_rounds.first());
    if (!launch.stop())
        m_error = QStringLiteral("did not end on SIGTERM within 15 s and was killed");
    return figures;
}

Scenario::Figures Scenario::portalDown(Launch::Program program, int run)
{
    // A port nobody listens on: every connection is refused at once.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    Launch launch(program, program == Launch::Program::Client ? m_setup.client : m_setup.floor,
                  folder(QStringLiteral("down"), program, run), refused);
    if (!launch.start()) {
        fail(QStringLiteral("the program did not start"), launch);
        return {};
    }
    settle(kDownWarmUpMs);
    if (!launch.isRunning()) {
        fail(QStringLiteral("the program ended with the portal down"), launch);
        return {};
    }
    return {{QStringLiteral("down_cpu_pct"), cpuPercent(launch.pid(), kDownMs)}};
}

Scenario::Figures Scenario::alarm(int run)
{
    // Due far enough ahead for the main window to be up (and its reminders
    // armed) well before.
    const qint64 due = nowMs() / 1000 + 8;
    const QJsonArray reminders{QJsonObject{{QStringLiteral("gamename"), QStringLiteral("bench")},
                                           {QStringLiteral("musicReminds"), 1},
                                           {QStringLiteral("server"), QStringLiteral("s1")},
                                           {QStringLiteral("tag"), m_games.value(0)},
                                           {QStringLiteral("time"), due}}};
    Launch launch(Launch::Program::Client, m_setup.client, folder(QStringLiteral("alarm"), Launch::Program::Client, run),
                  m_portal.hostPort(), {reminders, {}});
    if (!startAndLogIn(launch, nullptr))
        return {};
    if (nowMs() > due * 1000 - 2000) {
        fail(QStringLiteral("the main window came up less than 2 s before the reminder was due"), launch);
        return {};
    }
    m_x.takeMaps();
    while (nowMs() < due * 1000 + 5000) {
        m_x.waitForEvents(5);
        for (const XWatch::Map &map : m_x.takeMaps()) {
            if (map.atMs >= due * 1000 - 1000 && m_x.pidOf(map.window) == launch.pid())
                return {{QStringLiteral("alarm_ms"), double(map.atMs - due * 1000)}};
        }
    }
    fail(QStringLiteral("no notice came up"), launch);
    return {};
}

bool Scenario::timeDialog(Launch &launch, const std::function<bool()> &open, const QString &key, Figures *figures)
{
    const QList<XWatch::Window> windows = m_x.windowsOf(launch.pid());
    if (windows.isEmpty())
        return fail(QStringLiteral("no window of the client on screen"), launch);
    const XWatch::Window window = windows.first();
    // Whether the window answers pings at all, and how fast when idle.
    m_x.resetPings();
    m_x.ping(window.id);
    for (int i = 0; i < 200 && m_x.longestPingWaitMs() < 2000; ++i)
        m_x.waitForEvents(10);
    const bool pings = m_x.longestPingWaitMs() < 2000;

    const QRect middle(window.geometry.center() - QPoint(100, 80), QSize(200, 160));
    const QImage before = ScreenProbe::grab(middle);
    // A light dialog over a light page changes less of the middle than a page's
    // own motion might: what the page changes by itself in a second is the
    // floor the dialog has to rise clearly above.
    settle(1000);
    const double motion = ScreenProbe::changedShare(before, ScreenProbe::grab(middle));
    const double enough = qMax(0.1, motion + 0.1);
    m_x.resetPings();
    const qint64 asked = nowMs();
    if (!open())
        return fail(QStringLiteral("could not ask for the dialog"), launch);
    qint64 painted = -1;
    qint64 lastPing = 0;
    while (nowMs() - asked < kDialogTimeoutMs && (painted < 0 || nowMs() - asked - painted < kWatchAfterPaintMs)) {
        if (pings && nowMs() - lastPing >= kPingIntervalMs) {
            m_x.ping(window.id);
            lastPing = nowMs();
        }
        m_x.waitForEvents(2);
        if (painted < 0 && ScreenProbe::changedShare(before, ScreenProbe::grab(middle)) > enough)
            painted = nowMs() - asked;
    }
    // A dialog that never showed counts as the time waited for it: a miss
    // the table shows, not a run that failed.
    figures->insert(key + QStringLiteral("_ms"), painted < 0 ? kDialogTimeoutMs : painted);
    if (pings)
        figures->insert(key + QStringLiteral("_stall_ms"), m_x.longestPingWaitMs());
    return true;
}

bool Scenario::timeScrollToEnd(Launch &launch, const QString &key, Figures *figures)
{
    const QList<XWatch::Window> windows = m_x.windowsOf(launch.pid());
    if (windows.isEmpty())
        return fail(QStringLiteral("no window of the client on screen"), launch);
    const QRect middle(windows.first().geometry.center() - QPoint(100, 80), QSize(200, 160));
    if (!ScreenProbe::hover(middle.center()))
        return fail(QStringLiteral("could not move the pointer"), launch);
    settle(500);
    const QImage before = ScreenProbe::grab(middle);
    const qint64 asked = nowMs();
    if (!ScreenProbe::key(QStringLiteral("End")))
        return fail(QStringLiteral("could not press End"), launch);
    qint64 painted = -1;
    while (painted < 0 && nowMs() - asked < kDialogTimeoutMs) {
        m_x.waitForEvents(2);
        if (ScreenProbe::changedShare(before, ScreenProbe::grab(middle)) > kRowsChanged)
            painted = nowMs() - asked;
    }
    figures->insert(key + QStringLiteral("_end_ms"), painted < 0 ? kDialogTimeoutMs : painted);
    return true;
}

QJsonArray Scenario::bigList(bool reminders) const
{
    const QString tag = m_games.value(0);
    // Reminders of the past: listed, never rung.
    const qint64 past = nowMs() / 1000 - 86400;
    QJsonArray records;
    for (int i = 0; i < kRecords; ++i) {
        QJsonObject record{{QStringLiteral("gamename"), QStringLiteral("游戏%1").arg(i)},
                           {QStringLiteral("server"), QStringLiteral("s1")},
                           {QStringLiteral("servername"), QStringLiteral("双线1服")},
                           {QStringLiteral("tag"), tag}};
        if (reminders) {
            record.insert(QStringLiteral("musicReminds"), 0);
            record.insert(QStringLiteral("remark"), QStringLiteral("备注 %1").arg(i));
            record.insert(QStringLiteral("time"), past - i);
        } else {
            record.insert(QStringLiteral("ckcode"), QStringLiteral("%1").arg(i, 32, 16, QLatin1Char('0')));
            record.insert(QStringLiteral("username"), QStringLiteral("alt%1").arg(i));
        }
        records.append(record);
    }
    return records;
}

Scenario::Figures Scenario::reminderList(int run)
{
    Launch launch(Launch::Program::Client, m_setup.client, folder(QStringLiteral("reminders"), Launch::Program::Client, run),
                  m_portal.hostPort(), {bigList(true), {}});
    Figures figures;
    if (!startAndLogIn(launch, nullptr))
        return {};
    settle(kSettleMs);
    // A page asking for a reminder while the list is full gets the list.
    const QString tag = m_games.value(0);
    const auto open = [this, tag] {
        return m_portal.send(100, QStringLiteral("bench"),
                             {{QStringLiteral("game"), tag}, {QStringLiteral("server"), QStringLiteral("s1")},
                              {QStringLiteral("time"), QString::number(nowMs() / 1000 + 3600)}});
    };
    if (!timeDialog(launch, open, QStringLiteral("list_reminders"), &figures)
        || !timeScrollToEnd(launch, QStringLiteral("list_reminders"), &figures))
        return {};
    return figures;
}

Scenario::Figures Scenario::accountTable(int run)
{
    Launch launch(Launch::Program::Client, m_setup.client, folder(QStringLiteral("accounts"), Launch::Program::Client, run),
                  m_portal.hostPort(), {{}, bigList(false)});
    Figures figures;
    if (!startAndLogIn(launch, nullptr))
        return {};
    settle(kSettleMs);
    const QList<XWatch::Window> windows = m_x.windowsOf(launch.pid());
    if (windows.isEmpty()) {
        fail(QStringLiteral("no window of the client on screen"), launch);
        return {};
    }
    QRect strip = windows.first().geometry;
    strip.setHeight(qMin(strip.height(), 200));
    // "小号", the first tool of the home tab.
    const QList<QPoint> button = ScreenProbe::find(strip, ScreenProbe::icon(m_setup.iconDir + QStringLiteral("/xiaohao")));
    if (button.size() != 1) {
        fail(QStringLiteral("%1 places look like the alt-account button").arg(button.size()), launch);
        return {};
    }
    const auto open = [&button] { return ScreenProbe::click(button.first() + QPoint(8, 8)); };
    if (!timeDialog(launch, open, QStringLiteral("list_accounts"), &figures)
        || !timeScrollToEnd(launch, QStringLiteral("list_accounts"), &figures))
        return {};
    return figures;
}
