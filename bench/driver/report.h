#pragma once
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

// The middle value (the mean of the two middle ones for an even count); 0
// for none.
double median(QList<double> values);

// The figures of all runs: one table (median, min, max, client ÷ floor and
// the target) and the same as JSON.
class Report
{
public:
    void add(const QString &program, const QMap<QString, double> &figures);
    // Values of one run that the table sums up in one figure (the PSS after
    // each round, each tab switch), kept whole in the JSON under name.
    void addSeries(const QString &name, const QString &program, const QList<double> &values);
    void setMachine(const QJsonObject &machine) { m_machine = machine; }
    void setRuns(int runs, int rounds, int longRounds);

    QString table() const;
    QJsonObject json() const;
    // Targets missed, one line each.
    QStringList misses() const;

private:
    struct Stats
    {
        int count = 0;
        double median = 0, min = 0, max = 0;
    };
    Stats stats(const QString &program, const QString &key) const;
    // Whether the target holds, and the target's text; empty text: none.
    QString target(const QString &key, bool *met, bool *known) const;

    QMap<QString, QMap<QString, QList<double>>> m_samples; // program → figure → per run
    QMap<QString, QMap<QString, QList<QList<double>>>> m_series; // name → program → per run
    QJsonObject m_machine;
    int m_runs = 0;
    int m_roundCount = 0;
    int m_longRoundCount = 0;
};
