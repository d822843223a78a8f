#include "manygames.h"
#include "portallink.h"
#include "report.h"
#include "screenprobe.h"
#include "session.h"
#include <QDateTime>
#include <QThread>

namespace {
constexpr int kFewGames = 5;
constexpr int kManyGames = 20;
constexpr int kSettleMs = 3000;
// Twenty pages take longer than five to go quiet after their loads.
constexpr int kManySettleMs = 5000;
// The client gives freed memory back 3 s after the last tab closed.
constexpr int kClosedSettleMs = 4000;
constexpr int kBackgroundCpuMs = 20000;
// Game tabs switched to, 0 the leftmost; the last one opened is left out,
// it was the current tab just before the home tab.
const int kSwitchTabs[] = {0, 3, 6, 9, 12, 15, 18};
// How long a game stays behind the home tab before it is switched to.
constexpr int kBehindMs = 1500;
constexpr int kSwitchTimeoutMs = 5000;
constexpr int kPageReportTimeoutMs = 3000;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}
} // namespace

ManyGames::ManyGames(const Scenario::Setup &setup, PortalLink &portal, XWatch &x, const QStringList &games)
    : m_setup(setup)
    , m_portal(portal)
    , m_x(x)
    , m_games(games)
{
}

ManyGames::Figures ManyGames::failed(const Session &session)
{
    m_error = session.error();
    return {};
}

ManyGames::Figures ManyGames::twenty(Launch::Program program, int run)
{
    m_switches.clear();
    m_pageSwitches.clear();
    Launch launch(program, m_setup.binary(program), startFolder(m_setup.work, QStringLiteral("twenty"), program, run),
                  m_portal.hostPort());
    Session session(launch, m_portal, m_x, m_games);
    Figures figures;
    if (!session.startAndLogIn(nullptr) || !measureTwenty(session, &figures))
        return failed(session);
    if (!launch.stop())
        m_error = QStringLiteral("did not end on SIGTERM within 15 s and was killed");
    return figures;
}

bool ManyGames::measureTwenty(Session &session, Figures *figures)
{
    session.useNumbersAsTitles();
    if (!session.widen() || !session.openGames(kFewGames))
        return false;
    const QRect canvas = session.findCanvas();
    if (canvas.isEmpty())
        return session.fail(QStringLiteral("no game canvas on screen"));
    if (!session.visitGames(0, kFewGames, canvas) || !session.showHome(canvas))
        return false;
    settle(kSettleMs);
    const double few = session.pssMiB();
    const double fewAnon = session.anonPssMiB();
    figures->insert(QStringLiteral("pss_five_mib"), few);
    figures->insert(QStringLiteral("own_pss_five_mib"), session.ownPssMiB());

    if (!session.openGames(kManyGames - kFewGames) || !session.visitGames(kFewGames, kManyGames - kFewGames, canvas))
        return false;
    settle(kManySettleMs);
    figures->insert(QStringLiteral("pss_twenty_mib"), session.pssMiB());
    figures->insert(QStringLiteral("own_pss_twenty_mib"), session.ownPssMiB());
    figures->insert(QStringLiteral("processes_twenty"), session.processCount());

    if (!session.showHome(canvas))
        return false;
    settle(kSettleMs);
    figures->insert(QStringLiteral("behind_cpu_pct"), session.cpuPercent(kBackgroundCpuMs));
    if (!timeSwitches(session, canvas, figures) || !session.showHome(canvas))
        return false;

    if (!session.closeGames(kManyGames - kFewGames))
        return false;
    settle(kClosedSettleMs);
    const double left = session.pssMiB();
    figures->insert(QStringLiteral("pss_left_five_mib"), left);
    figures->insert(QStringLiteral("own_pss_left_five_mib"), session.ownPssMiB());
    figures->insert(QStringLiteral("left_vs_five_pct"), 100.0 * (left - few) / few);
    figures->insert(QStringLiteral("left_vs_five_anon_pct"), 100.0 * (session.anonPssMiB() - fewAnon) / fewAnon);
    return true;
}

bool ManyGames::timeSwitches(Session &session, const QRect &canvas, Figures *figures)
{
    for (int index : kSwitchTabs) {
        if (!session.showHome(canvas))
            return false;
        settle(kBehindMs);
        if (!timeSwitch(session, index, canvas))
            return false;
    }
    figures->insert(QStringLiteral("switch_ms"), median(m_switches));
    if (!m_pageSwitches.isEmpty())
        figures->insert(QStringLiteral("switch_page_ms"), median(m_pageSwitches));
    return true;
}

bool ManyGames::timeSwitch(Session &session, int index, const QRect &canvas)
{
    const QPoint tab = session.gameTabPoint(index);
    if (tab.isNull())
        return false;
    const int shownBefore = m_portal.shownCount();
    if (!ScreenProbe::press(tab))
        return session.fail(QStringLiteral("xdotool failed"));
    const qint64 pressed = nowMs();
    qint64 onScreen = -1;
    while (onScreen < 0 && nowMs() - pressed < kSwitchTimeoutMs) {
        if (Session::showsGame(canvas))
            onScreen = nowMs() - pressed;
        else
            QThread::msleep(2); // the display server and the program need the cores more than this loop
    }
    ScreenProbe::release();
    // A game that never showed counts as the time waited for it: a miss the
    // table shows, not a run that failed.
    m_switches.append(onScreen < 0 ? kSwitchTimeoutMs : onScreen);
    const qint64 frame = m_portal.waitForShown(shownBefore, session.gamePage(index), kPageReportTimeoutMs);
    if (frame >= 0)
        m_pageSwitches.append(frame - pressed);
    return true;
}

ManyGames::Figures ManyGames::longRounds(Launch::Program program, int run, int rounds)
{
    m_roundMemory.clear();
    m_roundAnonMemory.clear();
    Launch launch(program, m_setup.binary(program), startFolder(m_setup.work, QStringLiteral("rounds"), program, run),
                  m_portal.hostPort());
    Session session(launch, m_portal, m_x, m_games);
    if (!session.startAndLogIn(nullptr))
        return failed(session);
    settle(kSettleMs);
    for (int round = 1; round <= rounds; ++round) {
        if (!session.openGames(kFewGames) || !session.closeGames(kFewGames))
            return failed(session);
        // Only the rounds that are measured wait for the freed memory to go back.
        if (round == 1 || round % 10 == 0 || round == rounds) {
            settle(kClosedSettleMs);
            m_roundMemory.append(session.pssMiB());
            m_roundAnonMemory.append(session.anonPssMiB());
        }
    }
    const auto growth = [](const QList<double> &mib) { return 100.0 * (mib.last() - mib.first()) / mib.first(); };
    const Figures figures{{QStringLiteral("long_rounds_growth_pct"), growth(m_roundMemory)},
                          {QStringLiteral("long_rounds_anon_growth_pct"), growth(m_roundAnonMemory)}};
    if (!launch.stop())
        m_error = QStringLiteral("did not end on SIGTERM within 15 s and was killed");
    return figures;
}
