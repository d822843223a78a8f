#pragma once
#include <QString>
#include <QStringList>

// Start with the system: the current user's entry and the machine-wide one are
// always handled together. Enabling stores the running executable's full path
// under the application's name (an identical entry is left untouched);
// disabling removes both. The machine-wide entry usually needs administrator
// rights, so failing to write it is not reported.
void SetAutoStart(bool enable);
inline void EnableAutoStart() { SetAutoStart(true); }
inline void DisableAutoStart() { SetAutoStart(false); }

#ifndef Q_OS_WIN
// Free-desktop autostart: the entry files for the user and the machine, in
// that order, and the text of an entry that starts the given executable.
QStringList autostartEntryPaths();
QString autostartEntryText(const QString &executable);
#endif
