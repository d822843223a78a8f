#include "session.h"
#include "launch.h"
#include "portallink.h"
#include "proctree.h"
#include "screenprobe.h"
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {
constexpr int kLoadTimeoutMs = 60000;
constexpr int kBarTimeoutMs = 10000;
// The client lets one page open at most five tabs within any second and
// drops the rest, as a guard against pages that flood it; a row of games
// therefore goes in bursts of five, each a second after the last one loaded.
constexpr int kOpenBurst = 5;
constexpr int kBurstGapMs = 1100;
// Servers s1 to s3 exist for every demo game.
constexpr int kServersPerGame = 3;
// Where a click lands on a tab: left of its close button, on its title.
const QPoint kTabFromCloseButton(-14, 8);
const QPoint kCloseButtonMiddle(8, 8);
// The home tab is the first on the bar, at least this wide in both programs.
constexpr int kHomeTabX = 30;
const QRgb kCanvasColour = qRgb(0x1d, 0x23, 0x33);
constexpr int kBandHeight = 40;
constexpr double kCanvasShown = 0.5;
constexpr double kCanvasGone = 0.05;
constexpr int kShowTimeoutMs = 5000;

double mib(qint64 kib)
{
    return kib / 1024.0;
}

double canvasShare(const QRect &band)
{
    return ScreenProbe::colourShare(ScreenProbe::grab(band), kCanvasColour);
}
} // namespace

void settle(int msec)
{
    QEventLoop loop;
    QTimer::singleShot(msec, &loop, &QEventLoop::quit);
    loop.exec();
}

Session::Session(Launch &launch, PortalLink &portal, XWatch &x, const QStringList &games)
    : m_launch(launch)
    , m_portal(portal)
    , m_x(x)
    , m_games(games)
{
}

bool Session::fail(const QString &what)
{
    m_error = what + QStringLiteral("\n--- its log ends:\n") + m_launch.logTail();
    return false;
}

bool Session::startAndLogIn(Figures *figures)
{
    const int before = m_portal.loadCount();
    if (!m_launch.start())
        return fail(QStringLiteral("the program did not start"));
    const auto ended = [this] { return !m_launch.isRunning(); };
    const QList<qint64> login = m_portal.waitForLoads(before, {QStringLiteral("/Kavobox2")}, kLoadTimeoutMs, ended);
    if (login.isEmpty())
        return fail(QStringLiteral("the login page did not load"));
    const QList<qint64> pages = m_portal.waitForLoads(before, {QStringLiteral("/landers.html"), QStringLiteral("/search.html")},
                                                      kLoadTimeoutMs, ended);
    if (pages.isEmpty())
        return fail(QStringLiteral("the home and search pages did not load after the login"));
    if (figures) {
        figures->insert(QStringLiteral("login_ms"), login.first() - m_launch.startedAtMs());
        figures->insert(QStringLiteral("main_ms"), *std::max_element(pages.begin(), pages.end()) - m_launch.startedAtMs());
    }
    return true;
}

QString Session::gamePath(int index) const
{
    const int games = qMax(1, m_games.size());
    return QStringLiteral("/entergame.php?game=%1&server=s%2&client=1&tobox=1")
        .arg(m_games.value(index % games))
        .arg(index / games % kServersPerGame + 1);
}

bool Session::openGames(int count)
{
    for (int done = 0; done < count; done += kOpenBurst) {
        if (done > 0)
            settle(kBurstGapMs);
        const int before = m_portal.loadCount();
        QStringList pages;
        for (int i = 0; i < qMin(kOpenBurst, count - done); ++i) {
            const QString path = gamePath(m_open.size() + pages.size());
            if (!askForGame(path, m_open.size() + pages.size()))
                return false;
            pages.append(path);
        }
        if (m_portal.waitForLoads(before, pages, kLoadTimeoutMs, [this] { return !m_launch.isRunning(); }).isEmpty())
            return fail(QStringLiteral("the games did not load"));
        m_open += pages;
    }
    return true;
}

bool Session::openGame(const QString &path)
{
    const int before = m_portal.loadCount();
    return askForGame(path, m_open.size()) && waitForOpenedTab(before, path);
}

bool Session::askForGame(const QString &path, int index)
{
    const QString title = m_numberTitles ? QString::number(index + 1) : QStringLiteral("游戏%1").arg(index + 1);
    // Code 3: a game in a tab of its own, without maximising the window.
    if (!m_portal.send(3, QStringLiteral("bench"), {{QStringLiteral("title"), title}, {QStringLiteral("url"), m_portal.url(path)}}))
        return fail(QStringLiteral("the portal did not take the message"));
    return true;
}

bool Session::waitForOpenedTab(int loadsBefore, const QString &page)
{
    if (m_portal.waitForLoads(loadsBefore, {page}, kLoadTimeoutMs, [this] { return !m_launch.isRunning(); }).isEmpty())
        return fail(QStringLiteral("the game did not load: ") + page);
    m_open.append(page);
    return true;
}

XWatch::Window Session::mainWindow()
{
    const QList<XWatch::Window> windows = m_x.windowsOf(m_launch.pid());
    return windows.isEmpty() ? XWatch::Window() : windows.first();
}

QRect Session::tabStrip()
{
    // The tab bar lies in the window's top strip; the pages below it are not searched.
    QRect strip = mainWindow().geometry;
    strip.setHeight(qMin(strip.height(), 200));
    return strip & QGuiApplication::primaryScreen()->geometry();
}

bool Session::waitForCloseButtons(int count, QList<QPoint> *buttons)
{
    static const QList<ScreenProbe::Picture> closeButton = ScreenProbe::tabCloseButton();
    const QRect strip = tabStrip();
    QList<QPoint> found;
    QElapsedTimer waited;
    waited.start();
    while ((found = ScreenProbe::find(strip, closeButton)).size() != count && waited.elapsed() < kBarTimeoutMs)
        settle(50);
    if (found.size() != count)
        return fail(QStringLiteral("%1 close buttons on screen where %2 game tabs should be").arg(found.size()).arg(count));
    if (buttons)
        *buttons = found;
    return true;
}

bool Session::closeGames(int count)
{
    if (mainWindow().id == 0)
        return fail(QStringLiteral("no window of the program on screen"));
    const int keep = m_open.size() - qMin(count, m_open.size());
    QList<QPoint> buttons;
    for (int left = m_open.size();; --left) {
        // Wait for the bar to show the tabs that are left.
        if (!waitForCloseButtons(left, &buttons))
            return false;
        if (left == keep)
            return true;
        if (!ScreenProbe::click(buttons.last() + kCloseButtonMiddle))
            return fail(QStringLiteral("xdotool failed"));
        m_open.removeLast();
    }
}

bool Session::widen()
{
    const XWatch::Window window = mainWindow();
    if (window.id == 0)
        return fail(QStringLiteral("no window of the program on screen"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect wide(screen.left(), window.geometry.top(), screen.width(), window.geometry.height());
    m_x.setGeometry(window.id, wide);
    QElapsedTimer waited;
    waited.start();
    while (mainWindow().geometry != wide && waited.elapsed() < kBarTimeoutMs)
        settle(50);
    if (mainWindow().geometry != wide)
        return fail(QStringLiteral("the window did not take the screen's width"));
    settle(500); // the bar and the pages lay themselves out anew
    return true;
}

bool Session::clickHomeTab()
{
    if (m_open.isEmpty())
        return fail(QStringLiteral("no game tab to find the tab bar by"));
    QList<QPoint> buttons;
    if (!waitForCloseButtons(m_open.size(), &buttons))
        return false;
    const QPoint home(mainWindow().geometry.left() + kHomeTabX, buttons.first().y() + kCloseButtonMiddle.y());
    return ScreenProbe::click(home) || fail(QStringLiteral("xdotool failed"));
}

QRect Session::findCanvas()
{
    const QRect page = mainWindow().geometry & QGuiApplication::primaryScreen()->geometry();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kShowTimeoutMs) {
        const QRect bounds = ScreenProbe::colourBounds(ScreenProbe::grab(page), kCanvasColour).translated(page.topLeft());
        if (bounds.width() >= 200 && bounds.height() >= 150)
            return QRect(bounds.left(), bounds.center().y() - kBandHeight / 2, bounds.width(), kBandHeight);
        settle(100);
    }
    return {};
}

bool Session::showsGame(const QRect &canvas)
{
    return canvasShare(canvas) >= kCanvasShown;
}

bool Session::waitForGame(const QRect &canvas, const QString &which)
{
    QElapsedTimer waited;
    waited.start();
    while (!showsGame(canvas)) {
        if (waited.elapsed() > kShowTimeoutMs)
            return fail(which + QStringLiteral(" did not come on screen"));
        settle(20);
    }
    return true;
}

bool Session::visitGames(int first, int count, const QRect &canvas)
{
    for (int index = first; index < first + count; ++index) {
        const QPoint tab = gameTabPoint(index);
        if (tab.isNull())
            return false;
        if (!ScreenProbe::click(tab))
            return fail(QStringLiteral("xdotool failed"));
        if (!waitForGame(canvas, QStringLiteral("game %1").arg(index + 1)))
            return false;
    }
    return true;
}

bool Session::showHome(const QRect &canvas)
{
    if (!clickHomeTab())
        return false;
    QElapsedTimer waited;
    waited.start();
    while (canvasShare(canvas) > kCanvasGone) {
        if (waited.elapsed() > kShowTimeoutMs)
            return fail(QStringLiteral("the home tab did not come to the front"));
        settle(20);
    }
    return true;
}

QPoint Session::gameTabPoint(int index)
{
    QList<QPoint> buttons;
    waitForCloseButtons(m_open.size(), &buttons);
    return index < buttons.size() ? buttons.at(index) + kTabFromCloseButton : QPoint();
}

double Session::pssMiB() const
{
    return mib(ProcTree::pssKiB(m_launch.pid()));
}

double Session::ownPssMiB() const
{
    return mib(ProcTree::ownPssKiB(m_launch.pid()));
}

double Session::anonPssMiB() const
{
    return mib(ProcTree::anonPssKiB(m_launch.pid()));
}

int Session::processCount() const
{
    return ProcTree::members(m_launch.pid()).size();
}

double Session::cpuPercent(int msec) const
{
    const qint64 before = ProcTree::cpuTicks(m_launch.pid());
    QElapsedTimer elapsed;
    elapsed.start();
    settle(msec);
    const qint64 used = ProcTree::cpuTicks(m_launch.pid()) - before;
    return 100.0 * used / ProcTree::ticksPerSecond() / (elapsed.elapsed() / 1000.0);
}
