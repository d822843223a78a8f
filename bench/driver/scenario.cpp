#include "scenario.h"
#include "portallink.h"
#include "screenprobe.h"
#include "session.h"
#include "xwatch.h"
#include <QDateTime>
#include <QJsonObject>
#include <QTcpServer>

namespace {
constexpr int kSettleMs = 3000;
// The client gives freed memory back 3 s after the last tab closed.
constexpr int kClosedSettleMs = 4000;
constexpr int kIdleMs = 10000;
// Start-up itself is not what the portal-down figure is about.
constexpr int kDownWarmUpMs = 5000;
constexpr int kDownMs = 20000;
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

} // namespace

QString startFolder(const QString &work, const QString &what, Launch::Program program, int run)
{
    return QStringLiteral("%1/%2-%3-%4").arg(work, what, Launch::name(program)).arg(run);
}

Scenario::Scenario(const Setup &setup, PortalLink &portal, XWatch &x)
    : m_setup(setup)
    , m_portal(portal)
    , m_x(x)
{
    for (const QJsonValue &game : m_portal.getArray(QStringLiteral("/api/allserver_series.php?act=getgame")))
        m_games.append(game.toObject().value(QStringLiteral("tag")).toString());
}

Scenario::Figures Scenario::failed(const Session &session)
{
    m_error = session.error();
    return {};
}

bool Scenario::warmUp()
{
    for (Launch::Program program : {Launch::Program::Client, Launch::Program::Floor}) {
        Launch launch(program, m_setup.binary(program), startFolder(m_setup.work, QStringLiteral("warmup"), program, 0),
                      m_portal.hostPort());
        Session session(launch, m_portal, m_x, m_games);
        if (!session.startAndLogIn(nullptr)) {
            m_error = Launch::name(program) + QStringLiteral(": ") + session.error();
            return false;
        }
    }
    return true;
}

Scenario::Figures Scenario::main(Launch::Program program, int run)
{
    Figures figures;
    m_rounds.clear();
    Launch launch(program, m_setup.binary(program), startFolder(m_setup.work, QStringLiteral("main"), program, run),
                  m_portal.hostPort());
    Session session(launch, m_portal, m_x, m_games);
    if (!session.startAndLogIn(&figures))
        return failed(session);
    settle(kSettleMs);
    const double fixed = session.pssMiB();
    figures.insert(QStringLiteral("pss_fixed_mib"), fixed);
    figures.insert(QStringLiteral("idle_cpu_pct"), session.cpuPercent(kIdleMs));
    for (int round = 1; round <= m_setup.rounds; ++round) {
        if (!session.openGames(m_setup.games))
            return failed(session);
        if (round == 1) {
            settle(kSettleMs);
            figures.insert(QStringLiteral("pss_games_mib"), session.pssMiB());
        }
        if (!session.closeGames(m_setup.games))
            return failed(session);
        settle(kClosedSettleMs);
        m_rounds.append(session.pssMiB());
    }
    figures.insert(QStringLiteral("pss_closed_mib"), m_rounds.first());
    figures.insert(QStringLiteral("closed_vs_fixed_pct"), 100.0 * (m_rounds.first() - fixed) / fixed);
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
    Launch launch(program, m_setup.binary(program), startFolder(m_setup.work, QStringLiteral("down"), program, run), refused);
    Session session(launch, m_portal, m_x, m_games);
    if (!launch.start()) {
        session.fail(QStringLiteral("the program did not start"));
        return failed(session);
    }
    settle(kDownWarmUpMs);
    if (!launch.isRunning()) {
        session.fail(QStringLiteral("the program ended with the portal down"));
        return failed(session);
    }
    return {{QStringLiteral("down_cpu_pct"), session.cpuPercent(kDownMs)}};
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
    Launch launch(Launch::Program::Client, m_setup.client,
                  startFolder(m_setup.work, QStringLiteral("alarm"), Launch::Program::Client, run), m_portal.hostPort(),
                  {reminders, {}});
    Session session(launch, m_portal, m_x, m_games);
    if (!session.startAndLogIn(nullptr))
        return failed(session);
    if (nowMs() > due * 1000 - 2000) {
        session.fail(QStringLiteral("the main window came up less than 2 s before the reminder was due"));
        return failed(session);
    }
    m_x.takeMaps();
    while (nowMs() < due * 1000 + 5000) {
        m_x.waitForEvents(5);
        for (const XWatch::Map &map : m_x.takeMaps()) {
            if (map.atMs >= due * 1000 - 1000 && m_x.pidOf(map.window) == launch.pid())
                return {{QStringLiteral("alarm_ms"), double(map.atMs - due * 1000)}};
        }
    }
    session.fail(QStringLiteral("no notice came up"));
    return failed(session);
}

bool Scenario::timeDialog(Session &session, const std::function<bool()> &open, const QString &key, Figures *figures)
{
    const XWatch::Window window = session.mainWindow();
    if (window.id == 0)
        return session.fail(QStringLiteral("no window of the client on screen"));
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
        return session.fail(QStringLiteral("could not ask for the dialog"));
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

bool Scenario::timeScrollToEnd(Session &session, const QString &key, Figures *figures)
{
    const XWatch::Window window = session.mainWindow();
    if (window.id == 0)
        return session.fail(QStringLiteral("no window of the client on screen"));
    const QRect middle(window.geometry.center() - QPoint(100, 80), QSize(200, 160));
    if (!ScreenProbe::hover(middle.center()))
        return session.fail(QStringLiteral("could not move the pointer"));
    settle(500);
    const QImage before = ScreenProbe::grab(middle);
    const qint64 asked = nowMs();
    if (!ScreenProbe::key(QStringLiteral("End")))
        return session.fail(QStringLiteral("could not press End"));
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
    // Reminders a month ahead: listed and armed, not rung.
    const qint64 ahead = nowMs() / 1000 + 30 * 86400;
    QJsonArray records;
    for (int i = 0; i < kRecords; ++i) {
        QJsonObject record{{QStringLiteral("gamename"), QStringLiteral("游戏%1").arg(i)},
                           {QStringLiteral("server"), QStringLiteral("s1")},
                           {QStringLiteral("servername"), QStringLiteral("双线1服")},
                           {QStringLiteral("tag"), tag}};
        if (reminders) {
            record.insert(QStringLiteral("musicReminds"), 0);
            record.insert(QStringLiteral("remark"), QStringLiteral("备注 %1").arg(i));
            record.insert(QStringLiteral("time"), ahead + i);
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
    Launch launch(Launch::Program::Client, m_setup.client,
                  startFolder(m_setup.work, QStringLiteral("reminders"), Launch::Program::Client, run), m_portal.hostPort(),
                  {bigList(true), {}});
    Session session(launch, m_portal, m_x, m_games);
    Figures figures;
    if (!session.startAndLogIn(nullptr))
        return failed(session);
    settle(kSettleMs);
    // A page asking for a reminder while the list is full gets the list.
    const QString tag = m_games.value(0);
    const auto open = [this, tag] {
        return m_portal.send(100, QStringLiteral("bench"),
                             {{QStringLiteral("game"), tag}, {QStringLiteral("server"), QStringLiteral("s1")},
                              {QStringLiteral("time"), QString::number(nowMs() / 1000 + 3600)}});
    };
    if (!timeDialog(session, open, QStringLiteral("list_reminders"), &figures)
        || !timeScrollToEnd(session, QStringLiteral("list_reminders"), &figures))
        return failed(session);
    return figures;
}

Scenario::Figures Scenario::accountTable(int run)
{
    Launch launch(Launch::Program::Client, m_setup.client,
                  startFolder(m_setup.work, QStringLiteral("accounts"), Launch::Program::Client, run), m_portal.hostPort(),
                  {{}, bigList(false)});
    Session session(launch, m_portal, m_x, m_games);
    Figures figures;
    if (!session.startAndLogIn(nullptr))
        return failed(session);
    settle(kSettleMs);
    const XWatch::Window window = session.mainWindow();
    if (window.id == 0) {
        session.fail(QStringLiteral("no window of the client on screen"));
        return failed(session);
    }
    QRect strip = window.geometry;
    strip.setHeight(qMin(strip.height(), 200));
    // "小号", the first tool of the home tab.
    const QList<QPoint> button = ScreenProbe::find(strip, ScreenProbe::icon(m_setup.iconDir + QStringLiteral("/xiaohao")));
    if (button.size() != 1) {
        session.fail(QStringLiteral("%1 places look like the alt-account button").arg(button.size()));
        return failed(session);
    }
    const auto open = [&button] { return ScreenProbe::click(button.first() + QPoint(8, 8)); };
    if (!timeDialog(session, open, QStringLiteral("list_accounts"), &figures)
        || !timeScrollToEnd(session, QStringLiteral("list_accounts"), &figures))
        return failed(session);
    return figures;
}
