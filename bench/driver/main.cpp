// Drives the client and the floor from outside and reports how far the
// client stays above the floor; scripts/bench builds everything, starts the
// demo portal and a display, and runs this.
//
//   kavo-bench-driver --portal HOST:PORT --client BIN --floor BIN --icons DIR
//                     --work DIR --json FILE [--runs N] [--rounds N] [--long-rounds N]
//                     [--only main,down,alarm,lists,alt,twenty,rounds]
#include "altaccountcost.h"
#include "manygames.h"
#include "portallink.h"
#include "report.h"
#include "scenario.h"
#include "xwatch.h"
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <cstdio>

namespace {
void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QJsonArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    QJsonArray values;
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = file.readAll().split(' ');
        for (int i = 0; i < 3 && i < fields.size(); ++i)
            values.append(fields.at(i).toDouble());
    }
    return values;
}

QString brief(const Scenario::Figures &figures)
{
    QStringList parts;
    for (auto it = figures.begin(); it != figures.end(); ++it)
        parts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value(), 0, 'f', 1);
    return parts.join(QStringLiteral(", "));
}
struct Options
{
    QString portal;
    QString json;
    Scenario::Setup setup;
    int runs = 5;
    int longRounds = 100;
    QStringList parts; // the measurements picked
};

bool parseOptions(const QApplication &app, Options *options)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption portalOption(QStringLiteral("portal"), QStringLiteral("the demo portal (--bench)"), QStringLiteral("host:port"));
    const QCommandLineOption clientOption(QStringLiteral("client"), QStringLiteral("the client"), QStringLiteral("binary"));
    const QCommandLineOption floorOption(QStringLiteral("floor"), QStringLiteral("the floor"), QStringLiteral("binary"));
    const QCommandLineOption iconsOption(QStringLiteral("icons"), QStringLiteral("the client's images"), QStringLiteral("folder"));
    const QCommandLineOption workOption(QStringLiteral("work"), QStringLiteral("a folder for the starts"), QStringLiteral("folder"));
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("where the figures go"), QStringLiteral("file"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("runs of each program"), QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption roundsOption(QStringLiteral("rounds"), QStringLiteral("rounds of games per run"), QStringLiteral("n"), QStringLiteral("20"));
    const QCommandLineOption longRoundsOption(QStringLiteral("long-rounds"), QStringLiteral("rounds of games in the long run (rounds)"),
                                              QStringLiteral("n"), QStringLiteral("100"));
    const QCommandLineOption onlyOption(QStringLiteral("only"), QStringLiteral("main, down, alarm, lists, alt, twenty, rounds"),
                                        QStringLiteral("list"), QStringLiteral("main,down,alarm,lists,alt,twenty"));
    parser.addOptions({portalOption, clientOption, floorOption, iconsOption, workOption, jsonOption, runsOption, roundsOption,
                       longRoundsOption, onlyOption});
    parser.process(app);
    for (const QCommandLineOption &required : {portalOption, clientOption, floorOption, iconsOption, workOption, jsonOption}) {
        if (!parser.isSet(required)) {
            std::fprintf(stderr, "kavo-bench-driver: --%s is required\n", qPrintable(required.names().first()));
            return false;
        }
    }
    options->portal = parser.value(portalOption);
    options->json = parser.value(jsonOption);
    // The programs start in folders of their own.
    options->setup.client = QFileInfo(parser.value(clientOption)).absoluteFilePath();
    options->setup.floor = QFileInfo(parser.value(floorOption)).absoluteFilePath();
    options->setup.work = parser.value(workOption);
    options->setup.iconDir = parser.value(iconsOption);
    options->setup.rounds = qMax(1, parser.value(roundsOption).toInt());
    options->runs = qMax(1, parser.value(runsOption).toInt());
    options->longRounds = qMax(1, parser.value(longRoundsOption).toInt());
    options->parts = parser.value(onlyOption).split(QLatin1Char(','));
    return true;
}

// One run of every measurement picked, each program in turn.
class Runs
{
public:
    Runs(const Options &options, Scenario &scenario, AltAccountCost &altAccount, ManyGames &manyGames, Report &report)
        : m_options(options)
        , m_scenario(scenario)
        , m_altAccount(altAccount)
        , m_manyGames(manyGames)
        , m_report(report)
    {
    }

    void run(int run)
    {
        say(QStringLiteral("run %1 of %2").arg(run).arg(m_options.runs));
        const QList<Launch::Program> programs{Launch::Program::Client, Launch::Program::Floor};
        for (Launch::Program program : programs) {
            if (picked("main") && record(QStringLiteral("main"), program, m_scenario.main(program, run), m_scenario))
                m_report.addSeries(QStringLiteral("pss_after_each_round_mib"), Launch::name(program), m_scenario.rounds());
        }
        for (Launch::Program program : programs) {
            if (picked("down"))
                record(QStringLiteral("portal down"), program, m_scenario.portalDown(program, run), m_scenario);
        }
        if (picked("alarm"))
            record(QStringLiteral("alarm"), Launch::Program::Client, m_scenario.alarm(run), m_scenario);
        if (picked("lists")) {
            record(QStringLiteral("reminder list"), Launch::Program::Client, m_scenario.reminderList(run), m_scenario);
            record(QStringLiteral("alt-account table"), Launch::Program::Client, m_scenario.accountTable(run), m_scenario);
        }
        if (picked("alt"))
            record(QStringLiteral("alt-account tab"), Launch::Program::Client, m_altAccount.measure(run), m_altAccount);
        for (Launch::Program program : programs) {
            const QString name = Launch::name(program);
            if (picked("twenty") && record(QStringLiteral("20 games"), program, m_manyGames.twenty(program, run), m_manyGames)) {
                m_report.addSeries(QStringLiteral("tab_switch_ms"), name, m_manyGames.switchTimes());
                m_report.addSeries(QStringLiteral("tab_switch_page_ms"), name, m_manyGames.pageSwitchTimes());
            }
        }
        for (Launch::Program program : programs) {
            if (picked("rounds")
                && record(QStringLiteral("long rounds"), program, m_manyGames.longRounds(program, run, m_options.longRounds),
                          m_manyGames)) {
                m_report.addSeries(QStringLiteral("pss_long_rounds_mib"), Launch::name(program), m_manyGames.roundMemory());
                m_report.addSeries(QStringLiteral("anon_pss_long_rounds_mib"), Launch::name(program), m_manyGames.roundAnonMemory());
            }
        }
    }

    int failures() const { return m_failures; }

private:
    bool picked(const char *part) const { return m_options.parts.contains(QLatin1String(part)); }

    // The measurement's error is read here, after its figures were taken:
    // the order in which a call's arguments are evaluated is unspecified.
    template <typename Measurement>
    bool record(const QString &what, Launch::Program program, const Scenario::Figures &figures, const Measurement &measurement)
    {
        const QString name = Launch::name(program);
        if (figures.isEmpty()) {
            ++m_failures;
            say(QStringLiteral("  %1, %2: FAILED: %3").arg(what, name, measurement.lastError()));
            return false;
        }
        m_report.add(name, figures);
        say(QStringLiteral("  %1, %2: %3").arg(what, name, brief(figures)));
        return true;
    }

    const Options &m_options;
    Scenario &m_scenario;
    AltAccountCost &m_altAccount;
    ManyGames &m_manyGames;
    Report &m_report;
    int m_failures = 0;
};

void printSummary(const Options &options, const Report &report, const QJsonArray &loadBefore, const QJsonArray &loadAfter)
{
    say(QString());
    say(QStringLiteral("%1 runs of each, %2 rounds of 5 games (long rounds: %3); %4, %5 CPUs; load average %6 before, %7 after")
            .arg(options.runs)
            .arg(options.setup.rounds)
            .arg(options.longRounds)
            .arg(QHostInfo::localHostName())
            .arg(QThread::idealThreadCount())
            .arg(loadBefore.at(0).toDouble())
            .arg(loadAfter.at(0).toDouble()));
    say(QString());
    say(report.table());
    const QStringList misses = report.misses();
    if (!misses.isEmpty())
        say(QStringLiteral("\nmissed: ") + misses.join(QStringLiteral("; ")));
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Options options;
    if (!parseOptions(app, &options))
        return 2;
    XWatch x;
    if (!x.isOpen()) {
        std::fprintf(stderr, "kavo-bench-driver: no X display\n");
        return 2;
    }
    PortalLink portal(options.portal);
    Scenario scenario(options.setup, portal, x);
    AltAccountCost altAccount(options.setup, portal, x, scenario.games());
    ManyGames manyGames(options.setup, portal, x, scenario.games());
    Report report;
    report.setRuns(options.runs, options.setup.rounds, options.longRounds);
    const QJsonArray loadBefore = loadAverage();
    const QString startedAt = QDateTime::currentDateTime().toString(Qt::ISODate);
    say(QStringLiteral("warming up: one start of each"));
    if (!scenario.warmUp()) {
        say(QStringLiteral("FAILED: ") + scenario.lastError());
        return 1;
    }
    Runs runs(options, scenario, altAccount, manyGames, report);
    for (int run = 1; run <= options.runs; ++run)
        runs.run(run);

    const QJsonArray loadAfter = loadAverage();
    report.setMachine({{QStringLiteral("host"), QHostInfo::localHostName()},
                       {QStringLiteral("cpus"), QThread::idealThreadCount()},
                       {QStringLiteral("started"), startedAt},
                       {QStringLiteral("load_before"), loadBefore},
                       {QStringLiteral("load_after"), loadAfter}});
    QFile json(options.json);
    if (json.open(QIODevice::WriteOnly))
        json.write(QJsonDocument(report.json()).toJson());
    printSummary(options, report, loadBefore, loadAfter);
    if (runs.failures())
        say(QStringLiteral("\n%1 measurements failed (see above)").arg(runs.failures()));
    say(QStringLiteral("figures written to %1").arg(json.fileName()));
    return runs.failures() ? 1 : 0;
}
