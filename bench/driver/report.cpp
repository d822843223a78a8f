#include "report.h"
#include <QJsonArray>
#include <algorithm>

namespace {
const QString kClient = QStringLiteral("client");
const QString kFloor = QStringLiteral("floor");

enum class Rule { None, RatioAtMost, ClientAtMost, ClientBelow, ClientWithin, AboveFloorAtMost };

struct Row
{
    const char *key;
    const char *what;
    const char *unit;
    Rule rule;
    double limit;
};

// In the order of the table.
const Row kRows[] = {
    {"login_ms", "start → login page loaded", "ms", Rule::RatioAtMost, 1.05},
    {"main_ms", "start → login, home and search loaded", "ms", Rule::RatioAtMost, 1.10},
    {"pss_fixed_mib", "memory, 2 fixed tabs", "MiB", Rule::None, 0},
    {"pss_games_mib", "memory, 8 pages (5 games open)", "MiB", Rule::RatioAtMost, 1.10},
    {"pss_closed_mib", "memory after closing the 5 games", "MiB", Rule::None, 0},
    {"closed_vs_fixed_pct", "  the same against 2 fixed tabs", "%", Rule::ClientAtMost, 10},
    {"rounds_growth_pct", "rounds of 5 games: last against first", "%", Rule::ClientAtMost, 5},
    {"idle_cpu_pct", "idle CPU over 10 s", "% core", Rule::AboveFloorAtMost, 0.5},
    {"down_cpu_pct", "portal down: CPU over 20 s", "% core", Rule::ClientBelow, 2},
    {"alarm_ms", "alarm: due second → notice mapped", "ms", Rule::ClientAtMost, 50},
    {"list_reminders_ms", "reminder list, 10 000: open → first paint", "ms", Rule::ClientAtMost, 200},
    {"list_reminders_stall_ms", "  longest the window did not answer", "ms", Rule::ClientAtMost, 200},
    {"list_reminders_end_ms", "  End → last rows painted", "ms", Rule::ClientAtMost, 100},
    {"list_accounts_ms", "alt-account table, 10 000: open → first paint", "ms", Rule::ClientAtMost, 200},
    {"list_accounts_stall_ms", "  longest the window did not answer", "ms", Rule::ClientAtMost, 200},
    {"list_accounts_end_ms", "  End → last rows painted", "ms", Rule::ClientAtMost, 100},
    {"alt_first_main_mib", "alt account beside the main one, same game and server: first game tab (main account)", "MiB", Rule::None, 0},
    {"alt_main_mib", "  a further main-account tab (mean of 3, around the alt accounts' tabs)", "MiB", Rule::None, 0},
    {"alt_main_own_mib", "    of which the program's own process", "MiB", Rule::None, 0},
    {"alt_main_processes", "    processes added", "n", Rule::None, 0},
    {"alt_tab_mib", "  an alt account's first tab (mean of 2 accounts)", "MiB", Rule::None, 0},
    {"alt_tab_own_mib", "    of which the program's own process", "MiB", Rule::None, 0},
    {"alt_tab_processes", "    processes added", "n", Rule::None, 0},
    {"alt_vs_main_ratio", "  alt-account tab ÷ main-account tab", "×", Rule::ClientAtMost, 1.15},
    {"alt_vs_main_anon_ratio", "    the same, anonymous memory only", "×", Rule::None, 0},
    {"alt_again_mib", "  a second tab of an alt account", "MiB", Rule::None, 0},
    {"pss_five_mib", "20 games: memory with 5 open, each looked at once", "MiB", Rule::None, 0},
    {"own_pss_five_mib", "  of which the program's own process", "MiB", Rule::None, 0},
    {"pss_twenty_mib", "20 games: memory with all 20 open (22 pages)", "MiB", Rule::RatioAtMost, 1.00},
    {"own_pss_twenty_mib", "  of which the program's own process", "MiB", Rule::None, 0},
    {"processes_twenty", "  processes", "n", Rule::None, 0},
    {"behind_cpu_pct", "20 games: CPU over 20 s, home tab in front", "% core", Rule::AboveFloorAtMost, 1},
    {"switch_ms", "20 games: tab switch, press → game on screen (median of 7)", "ms", Rule::ClientAtMost, 100},
    {"switch_page_ms", "  press → the page's first frame, by the page", "ms", Rule::None, 0},
    {"pss_left_five_mib", "20 games: memory after closing 15 of them", "MiB", Rule::None, 0},
    {"own_pss_left_five_mib", "  of which the program's own process", "MiB", Rule::None, 0},
    {"left_vs_five_pct", "  the same against 5 open", "%", Rule::ClientWithin, 10},
    {"left_vs_five_anon_pct", "  the same, anonymous memory only", "%", Rule::ClientWithin, 10},
    {"long_rounds_growth_pct", "long rounds of 5 games: last against first", "%", Rule::ClientAtMost, 5},
    {"long_rounds_anon_growth_pct", "  the same, anonymous memory only", "%", Rule::ClientAtMost, 5},
};

// Ratios (unit "×") sit near 1, where a tenth is too coarse.
QString number(double value, const char *unit = "")
{
    if (qstrcmp(unit, "×") == 0)
        return QString::number(value, 'f', 2);
    return QString::number(value, 'f', qAbs(value) >= 100 ? 0 : 1);
}
} // namespace

void Report::add(const QString &program, const QMap<QString, double> &figures)
{
    for (auto it = figures.begin(); it != figures.end(); ++it)
        m_samples[program][it.key()].append(it.value());
}

void Report::addSeries(const QString &name, const QString &program, const QList<double> &values)
{
    m_series[name][program].append(values);
}

void Report::setRuns(int runs, int rounds, int longRounds)
{
    m_runs = runs;
    m_roundCount = rounds;
    m_longRoundCount = longRounds;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

Report::Stats Report::stats(const QString &program, const QString &key) const
{
    const QList<double> values = m_samples.value(program).value(key);
    Stats result;
    result.count = values.size();
    if (values.isEmpty())
        return result;
    result.median = median(values);
    result.min = *std::min_element(values.cbegin(), values.cend());
    result.max = *std::max_element(values.cbegin(), values.cend());
    return result;
}

QString Report::target(const QString &key, bool *met, bool *known) const
{
    *known = false;
    *met = false;
    for (const Row &row : kRows) {
        if (key != QLatin1String(row.key))
            continue;
        const Stats client = stats(kClient, key);
        const Stats floor = stats(kFloor, key);
        switch (row.rule) {
        case Rule::None:
            return {};
        case Rule::RatioAtMost:
            *known = client.count && floor.count && floor.median > 0;
            *met = *known && client.median / floor.median <= row.limit;
            return QStringLiteral("≤ %1 × floor").arg(row.limit, 0, 'f', 2);
        case Rule::ClientAtMost:
            *known = client.count;
            *met = *known && client.median <= row.limit;
            return QStringLiteral("≤ %1").arg(row.limit);
        case Rule::ClientBelow:
            *known = client.count;
            *met = *known && client.median < row.limit;
            return QStringLiteral("< %1").arg(row.limit);
        case Rule::ClientWithin:
            *known = client.count;
            *met = *known && qAbs(client.median) <= row.limit;
            return QStringLiteral("within ± %1").arg(row.limit);
        case Rule::AboveFloorAtMost:
            *known = client.count && floor.count;
            *met = *known && client.median <= floor.median + row.limit;
            return QStringLiteral("≤ floor + %1").arg(row.limit);
        }
    }
    return {};
}

QString Report::table() const
{
    const auto cell = [this](const QString &program, const Row &row) {
        const Stats s = stats(program, QLatin1String(row.key));
        return s.count ? QStringLiteral("%1 (%2–%3)").arg(number(s.median, row.unit), number(s.min, row.unit), number(s.max, row.unit))
                       : QStringLiteral("–");
    };
    QStringList lines;
    lines << QStringLiteral("| figure | unit | client: median (min–max) | floor: median (min–max) | client ÷ floor | target | met |")
          << QStringLiteral("|---|---|---|---|---|---|---|");
    for (const Row &row : kRows) {
        const QString key = QLatin1String(row.key);
        if (!stats(kClient, key).count && !stats(kFloor, key).count)
            continue;
        const Stats client = stats(kClient, key);
        const Stats floor = stats(kFloor, key);
        // Shares and CPU near zero make no sense as ratios.
        const QString unit = QString::fromLatin1(row.unit);
        const bool ratio = client.count && floor.count && floor.median > 0 && (unit == QLatin1String("ms") || unit == QLatin1String("MiB"));
        bool met = false;
        bool known = false;
        const QString goal = target(key, &met, &known);
        lines << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 |")
                     .arg(QString::fromUtf8(row.what), QString::fromUtf8(row.unit), cell(kClient, row), cell(kFloor, row),
                          ratio ? QString::number(client.median / floor.median, 'f', 2) : QStringLiteral("–"),
                          goal.isEmpty() ? QStringLiteral("–") : goal,
                          goal.isEmpty() ? QString() : known ? (met ? QStringLiteral("yes") : QStringLiteral("**no**")) : QStringLiteral("?"));
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList Report::misses() const
{
    QStringList missed;
    for (const Row &row : kRows) {
        bool met = false;
        bool known = false;
        const QString goal = target(QLatin1String(row.key), &met, &known);
        if (!goal.isEmpty() && known && !met)
            missed << QStringLiteral("%1: %2 %3, target %4")
                          .arg(QString::fromUtf8(row.what).trimmed(), number(stats(kClient, QLatin1String(row.key)).median, row.unit),
                               QString::fromUtf8(row.unit), goal);
    }
    return missed;
}

QJsonObject Report::json() const
{
    QJsonObject figures;
    for (const Row &row : kRows) {
        const QString key = QLatin1String(row.key);
        QJsonObject figure{{QStringLiteral("what"), QString::fromUtf8(row.what).trimmed()}, {QStringLiteral("unit"), QString::fromUtf8(row.unit)}};
        bool any = false;
        for (const QString &program : {kClient, kFloor}) {
            const Stats s = stats(program, key);
            if (!s.count)
                continue;
            any = true;
            QJsonArray samples;
            for (double value : m_samples.value(program).value(key))
                samples.append(value);
            figure.insert(program, QJsonObject{{QStringLiteral("median"), s.median}, {QStringLiteral("min"), s.min},
                                               {QStringLiteral("max"), s.max}, {QStringLiteral("samples"), samples}});
        }
        if (!any)
            continue;
        const Stats client = stats(kClient, key);
        const Stats floor = stats(kFloor, key);
        if (client.count && floor.count && floor.median > 0)
            figure.insert(QStringLiteral("ratio"), client.median / floor.median);
        bool met = false;
        bool known = false;
        const QString goal = target(key, &met, &known);
        if (!goal.isEmpty()) {
            figure.insert(QStringLiteral("target"), goal);
            if (known)
                figure.insert(QStringLiteral("met"), met);
        }
        figures.insert(key, figure);
    }
    QJsonObject all{{QStringLiteral("machine"), m_machine},
                    {QStringLiteral("runs"), m_runs},
                    {QStringLiteral("rounds"), m_roundCount},
                    {QStringLiteral("long_rounds"), m_longRoundCount},
                    {QStringLiteral("figures"), figures}};
    for (auto series = m_series.begin(); series != m_series.end(); ++series) {
        QJsonObject programs;
        for (auto it = series.value().begin(); it != series.value().end(); ++it) {
            QJsonArray runs;
            for (const QList<double> &run : it.value()) {
                QJsonArray values;
                for (double value : run)
                    values.append(value);
                runs.append(values);
            }
            programs.insert(it.key(), runs);
        }
        all.insert(series.key(), programs);
    }
    return all;
}
