#pragma once
#include <QString>

// The folder that holds Config.ini, portal.ini and the two list files: the
// executable's own folder when it is writable (a portable install keeps its
// settings beside it), else the per-user application data folder. Settings
// written next to a read-only executable used to vanish without a word.
QString dataDir();
QString dataFilePath(const QString &fileName);

// The decision behind dataDir(), for any executable folder.
QString chooseDataDir(const QString &exeDir, const QString &fallbackDir);

// True when a file can really be created in dir. Permission bits alone lie
// to root and say nothing of read-only mounts, so this tries it.
bool isDirWritable(const QString &dir);

// Points dataDir() at another folder (tests use a temporary one); an empty
// string goes back to the normal choice.
void setDataDirOverride(const QString &dir);

// Renames an unparsable file to "<name>.corrupt-<yyyyMMdd-HHmmss>" (with -1,
// -2, ... on a clash) so that writing a fresh one loses nothing. Returns the
// new path, or an empty string when the rename failed.
QString keepAside(const QString &path);
// The same, but leaves the file in place: for readers that understood part
// of it and will rewrite it.
QString copyAside(const QString &path);
