#include "altaccountcost.h"
#include "portallink.h"
#include "screenprobe.h"
#include "session.h"
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <iterator>

namespace {
// Demo alt accounts (portal/README.md), in the order of the table's rows,
// and the server every tab plays on.
struct Account
{
    const char *name;
    const char *password;
};
const Account kAltAccounts[] = {{"kavo_alt1", "alt123"}, {"kavo_alt2", "alt456"}};
const QString kServer = QStringLiteral("s1");
// The tabs in the order they open: the main account (-1) or a row of the
// table. Every alt account's first tab lies between two main-account tabs,
// and the last tab is the first alt account's second.
const int kTabs[] = {-1, -1, 0, -1, 1, -1, 0};
const QList<int> kMainTabs{1, 3, 5}; // the first game tab (0) pays for more
const QList<int> kAltTabs{2, 4};
constexpr int kAltAgainTab = 6;
constexpr int kSettleMs = 3000;
constexpr int kTableTimeoutMs = 5000;
// The background of the buttons on the table's rows; "开始游戏" and "删除"
// are 80 x 25 each, text included.
const QRgb kRowButtonColour = qRgb(0x40, 0x9e, 0xff);
constexpr double kRowButtonPixels = 1500;
} // namespace

AltAccountCost::AltAccountCost(const Scenario::Setup &setup, PortalLink &portal, XWatch &x, const QStringList &games)
    : m_setup(setup)
    , m_portal(portal)
    , m_x(x)
    , m_games(games)
{
}

AltAccountCost::Figures AltAccountCost::failed(const Session &session)
{
    m_error = session.error();
    return {};
}

QJsonArray AltAccountCost::altAccountRecords()
{
    const QString tag = m_games.value(0);
    QString gameName = tag;
    for (const QJsonValue &game : m_portal.getArray(QStringLiteral("/api/allserver_series.php?act=getgame"))) {
        if (game.toObject().value(QStringLiteral("tag")).toString() == tag)
            gameName = game.toObject().value(QStringLiteral("gamename")).toString();
    }
    QJsonArray records;
    for (const Account &account : kAltAccounts) {
        const QString name = QLatin1String(account.name);
        const QJsonObject login = m_portal.getObject(
            QStringLiteral("/login.php?action=get_user&username=%1&password=%2").arg(name, QLatin1String(account.password)));
        const QString ckcode = login.value(QStringLiteral("ckcode")).toString();
        if (ckcode.isEmpty()) {
            m_error = QStringLiteral("the portal issued no check code for ") + name;
            return {};
        }
        records.append(QJsonObject{{QStringLiteral("ckcode"), ckcode},
                                   {QStringLiteral("gamename"), gameName},
                                   {QStringLiteral("server"), kServer},
                                   {QStringLiteral("servername"), QStringLiteral("双线1服")},
                                   {QStringLiteral("tag"), tag},
                                   {QStringLiteral("username"), name}});
    }
    return records;
}

QString AltAccountCost::mainAccountGame() const
{
    return QStringLiteral("/entergame.php?game=%1&server=%2&client=1&tobox=1").arg(m_games.value(0), kServer);
}

AltAccountCost::Figures AltAccountCost::measure(int run)
{
    const QJsonArray records = altAccountRecords();
    if (records.isEmpty())
        return {};
    Launch launch(Launch::Program::Client, m_setup.client, startFolder(m_setup.work, QStringLiteral("alt"), Launch::Program::Client, run),
                  m_portal.hostPort(), {{}, records});
    Session session(launch, m_portal, m_x, m_games);
    QList<Sample> samples;
    if (!session.startAndLogIn(nullptr) || !openTabs(session, &samples))
        return failed(session);
    if (!launch.stop())
        m_error = QStringLiteral("did not end on SIGTERM within 15 s and was killed");
    return figures(samples);
}

bool AltAccountCost::openTabs(Session &session, QList<Sample> *samples)
{
    settle(kSettleMs);
    samples->append(sample(session));
    // The first game tab: its canvas tells where every later one shows.
    if (!session.openGame(mainAccountGame()))
        return false;
    const QRect canvas = session.findCanvas();
    if (canvas.isEmpty())
        return session.fail(QStringLiteral("no game canvas on screen"));
    if (!lookAndGoHome(session, canvas, QStringLiteral("the first game")))
        return false;
    samples->append(sample(session));
    for (int i = 1; i < int(std::size(kTabs)); ++i) {
        if (!(kTabs[i] < 0 ? openAsMain(session, canvas) : openAsAlt(session, kTabs[i], canvas)))
            return false;
        samples->append(sample(session));
    }
    return true;
}

AltAccountCost::Figures AltAccountCost::figures(const QList<Sample> &samples)
{
    // samples: before the first game tab, then after each tab.
    const auto cost = [&samples](const QList<int> &tabs, double Sample::*figure) {
        double sum = 0;
        for (int tab : tabs)
            sum += samples.at(tab + 1).*figure - samples.at(tab).*figure;
        return sum / tabs.size();
    };
    const double main = cost(kMainTabs, &Sample::pss);
    const double alt = cost(kAltTabs, &Sample::pss);
    return {{QStringLiteral("alt_first_main_mib"), cost({0}, &Sample::pss)},
            {QStringLiteral("alt_main_mib"), main},
            {QStringLiteral("alt_main_own_mib"), cost(kMainTabs, &Sample::own)},
            {QStringLiteral("alt_main_processes"), cost(kMainTabs, &Sample::processes)},
            {QStringLiteral("alt_tab_mib"), alt},
            {QStringLiteral("alt_tab_own_mib"), cost(kAltTabs, &Sample::own)},
            {QStringLiteral("alt_tab_processes"), cost(kAltTabs, &Sample::processes)},
            {QStringLiteral("alt_vs_main_ratio"), alt / main},
            {QStringLiteral("alt_vs_main_anon_ratio"), cost(kAltTabs, &Sample::anon) / cost(kMainTabs, &Sample::anon)},
            {QStringLiteral("alt_again_mib"), cost({kAltAgainTab}, &Sample::pss)}};
}

bool AltAccountCost::openAsMain(Session &session, const QRect &canvas)
{
    return session.openGame(mainAccountGame()) && lookAndGoHome(session, canvas, QStringLiteral("a main-account game"));
}

bool AltAccountCost::openAsAlt(Session &session, int row, const QRect &canvas)
{
    QRect table;
    if (!openTable(session, &table))
        return false;
    const int before = m_portal.loadCount();
    // The list has the keyboard when the table shows: Tab goes to the first
    // row's "开始游戏", two more to the next row's, and Space presses it;
    // keys go to the window under the pointer.
    bool keyed = ScreenProbe::hover(table.center());
    for (int tabs = 0; tabs < 1 + 2 * row; ++tabs)
        keyed = keyed && ScreenProbe::key(QStringLiteral("Tab"));
    if (!keyed || !ScreenProbe::key(QStringLiteral("space")))
        return session.fail(QStringLiteral("xdotool failed"));
    const QString page = QStringLiteral("/entergame.php?game=%1&server=%2&boxSmall=%3&ckcode=*")
                             .arg(m_games.value(0), kServer, QLatin1String(kAltAccounts[row].name));
    return session.waitForOpenedTab(before, page) && lookAndGoHome(session, canvas, QStringLiteral("the alt account's game"));
}

bool AltAccountCost::lookAndGoHome(Session &session, const QRect &canvas, const QString &which)
{
    // The game opened as the current tab.
    if (!session.waitForGame(canvas, which) || !session.showHome(canvas))
        return false;
    settle(kSettleMs);
    return true;
}

bool AltAccountCost::openTable(Session &session, QRect *table)
{
    const XWatch::Window window = session.mainWindow();
    if (window.id == 0)
        return session.fail(QStringLiteral("no window of the client on screen"));
    QRect strip = window.geometry;
    strip.setHeight(qMin(strip.height(), 200));
    // "小号", the first tool of the home tab.
    const QList<QPoint> button = ScreenProbe::find(strip, ScreenProbe::icon(m_setup.iconDir + QStringLiteral("/xiaohao")));
    if (button.size() != 1)
        return session.fail(QStringLiteral("%1 places look like the alt-account button").arg(button.size()));
    // The table is a panel over the middle of the main window, not a window
    // of its own, and as light as the page beneath: what tells it is the
    // colour of its rows' buttons, which it adds to what the page shows.
    const auto buttonPixels = [&window] {
        return ScreenProbe::colourShare(ScreenProbe::grab(window.geometry), kRowButtonColour) * window.geometry.width()
            * window.geometry.height();
    };
    const double before = buttonPixels();
    if (!ScreenProbe::click(button.first() + QPoint(8, 8)))
        return session.fail(QStringLiteral("xdotool failed"));
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kTableTimeoutMs) {
        if (buttonPixels() - before > kRowButtonPixels) {
            *table = window.geometry;
            settle(300); // the table takes the keyboard as it shows
            return true;
        }
        settle(20);
    }
    return session.fail(QStringLiteral("the alt-account table did not show"));
}

AltAccountCost::Sample AltAccountCost::sample(const Session &session) const
{
    return {session.pssMiB(), session.anonPssMiB(), session.ownPssMiB(), double(session.processCount())};
}
