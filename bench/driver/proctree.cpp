#include "proctree.h"
#include <QDir>
#include <QFile>
#include <QHash>
#include <unistd.h>

namespace {
// The fields after the command name of /proc/PID/stat ("pid (name) state ppid ...");
// the name may itself hold spaces and parentheses.
QList<QByteArray> statFields(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close < 0 ? QList<QByteArray>() : text.mid(close + 2).split(' ');
}
} // namespace

QList<qint64> ProcTree::members(qint64 root)
{
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        const QList<QByteArray> fields = statFields(pid);
        if (fields.size() > 1)
            children[fields.at(1).toLongLong()].append(pid);
    }
    QList<qint64> tree{root};
    for (int i = 0; i < tree.size(); ++i)
        tree += children.value(tree.at(i));
    return tree;
}

namespace {
// Sums the named fields of a process's smaps_rollup, KiB.
qint64 rollupKiB(qint64 pid, const QList<QByteArray> &fields)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0; // gone meanwhile
    qint64 total = 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0 && fields.contains(line.left(colon)))
            total += line.mid(colon + 1).trimmed().split(' ').first().toLongLong();
    }
    return total;
}
} // namespace

qint64 ProcTree::ownPssKiB(qint64 pid)
{
    return rollupKiB(pid, {QByteArrayLiteral("Pss")});
}

qint64 ProcTree::pssKiB(qint64 root)
{
    qint64 total = 0;
    for (qint64 pid : members(root))
        total += ownPssKiB(pid);
    return total;
}

qint64 ProcTree::anonPssKiB(qint64 root)
{
    qint64 total = 0;
    for (qint64 pid : members(root))
        total += rollupKiB(pid, {QByteArrayLiteral("Pss_Anon"), QByteArrayLiteral("Pss_Shmem")});
    return total;
}

qint64 ProcTree::cpuTicks(qint64 root)
{
    qint64 total = 0;
    for (qint64 pid : members(root)) {
        // After "state": ppid is field 1; utime, stime, cutime, cstime are 11 to 14.
        const QList<QByteArray> fields = statFields(pid);
        if (fields.size() > 14) {
            for (int i = 11; i <= 14; ++i)
                total += fields.at(i).toLongLong();
        }
    }
    return total;
}

qint64 ProcTree::ticksPerSecond()
{
    return sysconf(_SC_CLK_TCK);
}
