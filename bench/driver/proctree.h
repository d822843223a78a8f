#pragma once
#include <QList>
#include <QtGlobal>

// A process and all its descendants, read from /proc: what a program with
// web-engine helpers (zygote, renderers, GPU process) costs as a whole.
namespace ProcTree {
QList<qint64> members(qint64 root);
// Proportional set size in KiB: shared pages are split between their users,
// so the helpers' shared libraries are not counted once per process.
qint64 pssKiB(qint64 root);
// The same of one process alone.
qint64 ownPssKiB(qint64 pid);
// The PSS of anonymous and shared-memory pages only: what the tree itself
// has allocated. File pages (the libraries) are shared with every other
// program that maps the same files, so their share moves with what else
// runs on the machine.
qint64 anonPssKiB(qint64 root);
// CPU time in clock ticks (user and system), including that of children the
// tree has already reaped, so renderers that exit still count.
qint64 cpuTicks(qint64 root);
qint64 ticksPerSecond();
} // namespace ProcTree
