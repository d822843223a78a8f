// Drives the client and the floor from outside and reports how far the
// client stays above the floor; scripts/bench builds everything, starts the
// demo portal and a display, and runs this.
//
//   kavo-bench-driver --portal HOST:PORT --client BIN --floor BIN --icons DIR
//                     --work DIR --json FILE [--runs N] [--rounds N] [--only main,down,alarm,lists]
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
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
    const QCommandLineOption onlyOption(QStringLiteral("only"), QStringLiteral("main, down, alarm, lists"), QStringLiteral("list"),
                                        QStringLiteral("main,down,alarm,lists"));
    parser.addOptions({portalOption, clientOption, floorOption, iconsOption, workOption, jsonOption, runsOption, roundsOption, onlyOption});
    parser.process(app);
    for (const QCommandLineOption &required : {portalOption, clientOption, floorOption, iconsOption, workOption, jsonOption}) {
        if (!parser.isSet(required)) {
            std::fprintf(stderr, "kavo-bench-driver: --%s is required\n", qPrintable(required.names().first()));
            return 2;
        }
    }
    const int runs = qMax(1, parser.value(runsOption).toInt());
    const QStringList parts = parser.value(onlyOption).split(QLatin1Char(','));

    XWatch x;
    if (!x.isOpen()) {
        std::fprintf(stderr, "kavo-bench-driver: no X display\n");
        return 2;
    }
    PortalLink portal(parser.value(portalOption));
    Scenario::Setup setup;
    // The programs start in folders of their own.
    setup.client = QFileInfo(parser.value(clientOption)).absoluteFilePath();
    setup.floor = QFileInfo(parser.value(floorOption)).absoluteFilePath();
    setup.work = parser.value(workOption);
    setup.iconDir = parser.value(iconsOption);
    setup.rounds = qMax(1, parser.value(roundsOption).toInt());
    Scenario scenario(setup, portal, x);

    Report report;
    report.setRuns(runs, setup.rounds);
    const QJsonArray loadBefore = loadAverage();
    const QString startedAt = QDateTime::currentDateTime().toString(Qt::ISODate);
    say(QStringLiteral("warming up: one start of each"));
    if (!scenario.warmUp()) {
        say(QStringLiteral("FAILED: ") + scenario.lastError());
        return 1;
    }

    int failures = 0;
    const auto record = [&](const QString &what, const QString &program, const Scenario::Figures &figures) {
        if (figures.isEmpty()) {
            ++failures;
            say(QStringLiteral("  %1, %2: FAILED: %3").arg(what, program, scenario.lastError()));
            return false;
        }
        report.add(program, figures);
        say(QStringLiteral("  %1, %2: %3").arg(what, program, brief(figures)));
        return true;
    };
    for (int run = 1; run <= runs; ++run) {
        say(QStringLiteral("run %1 of %2").arg(run).arg(runs));
        for (Launch::Program program : {Launch::Program::Client, Launch::Program::Floor}) {
            const QString name = Launch::name(program);
            if (parts.contains(QStringLiteral("main")) && record(QStringLiteral("main"), name, scenario.main(program, run)))
                report.addRounds(name, scenario.rounds());
        }
        for (Launch::Program program : {Launch::Program::Client, Launch::Program::Floor}) {
            if (parts.contains(QStringLiteral("down")))
                record(QStringLiteral("portal down"), Launch::name(program), scenario.portalDown(program, run));
        }
        if (parts.contains(QStringLiteral("alarm")))
            record(QStringLiteral("alarm"), QStringLiteral("client"), scenario.alarm(run));
        if (parts.contains(QStringLiteral("lists"))) {
            record(QStringLiteral("reminder list"), QStringLiteral("client"), scenario.reminderList(run));
            record(QStringLiteral("alt-account table"), QStringLiteral("client"), scenario.accountTable(run));
        }
    }

    const QJsonArray loadAfter = loadAverage();
    report.setMachine({{QStringLiteral("host"), QHostInfo::localHostName()},
                       {QStringLiteral("cpus"), QThread::idealThreadCount()},
                       {QStringLiteral("started"), startedAt},
                       {QStringLiteral("load_before"), loadBefore},
                       {QStringLiteral("load_after"), loadAfter}});
    QFile json(parser.value(jsonOption));
    if (json.open(QIODevice::WriteOnly))
        json.write(QJsonDocument(report.json()).toJson());

    say(QString());
    say(QStringLiteral("%1 runs of each, %2 rounds of 5 games; %3, %4 CPUs; load average %5 before, %6 after")
            .arg(runs)
            .arg(setup.rounds)
            .arg(QHostInfo::localHostName())
            .arg(QThread::idealThreadCount())
            .arg(loadBefore.at(0).toDouble())
            .arg(loadAfter.at(0).toDouble()));
    say(QString());
    say(report.table());
    const QStringList misses = report.misses();
    if (!misses.isEmpty())
        say(QStringLiteral("\nmissed: ") + misses.join(QStringLiteral("; ")));
    if (failures)
        say(QStringLiteral("\n%1 measurements failed (see above)").arg(failures));
    say(QStringLiteral("figures written to %1").arg(json.fileName()));
    return failures ? 1 : 0;
}
