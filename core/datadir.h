#pragma once
#include <QFileDevice>
#include <QString>
#include <QStringList>

// The folder that holds Config.ini, portal.ini and the two list files. An
// installed copy keeps them in the per-user application data folder, even
// where it could write beside itself (root and /usr/bin). Any other copy
// keeps them in the executable's own folder when it is writable (a portable
// install keeps its settings beside it), else in the per-user folder, into
// which the files found beside the executable are copied the first time.
// Settings written next to a read-only executable used to vanish without a
// word.
QString dataDir();
QString dataFilePath(const QString &fileName);

// The decision behind dataDir(), for any executable folder.
QString chooseDataDir(const QString &exeDir, const QString &fallbackDir);

// The reverse-DNS id that names the desktop entry, the metadata and the icon.
QString applicationId();

// An installed executable sits in a folder named "bin" that has our desktop
// entry at ../share/applications, whatever the prefix; a build tree never does.
bool isInstalledExecutable(const QString &exeDir);

// Copies Config.ini and the two list files from fromDir into toDir where toDir
// has none yet; an existing file is never replaced. Returns the files copied.
QStringList copyMissingDataFiles(const QString &fromDir, const QString &toDir);

// The portal.ini files whose keys count, first source first: the data
// folder's; the one beside an executable that is not installed (read-only or
// not); then <dir>/portal.ini for each of systemDirs.
QStringList portalIniFiles(const QString &dataDir, const QString &exeDir, const QStringList &systemDirs);
// The machine's configuration folders: each absolute folder of
// $XDG_CONFIG_DIRS, in order (default /etc/xdg); none on Windows.
QStringList xdgConfigDirs();
// The same with the application's name appended.
QStringList systemConfigDirs();

// True when a file can really be created in dir. Permission bits alone lie
// to root and say nothing of read-only mounts, so this tries it.
bool isDirWritable(const QString &dir);

// Points dataDir() at another folder (tests use a temporary one); an empty
// string goes back to the normal choice.
void setDataDirOverride(const QString &dir);

// The owner's alone (0600 for a file, 0700 for a folder, on Unix): what the
// box keeps (check codes, settings) is nobody else's to read. A user's file
// that was open to others is narrowed with one info line; what the box has
// just made itself, quietly.
enum class Narrowing { Announced, Quiet };
void makePrivate(const QString &path, Narrowing narrowing = Narrowing::Announced);
// The permissions a file the box writes gets.
constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Renames an unparsable file to "<name>.corrupt-<yyyyMMdd-HHmmss>" (with -1,
// -2, ... on a clash) so that writing a fresh one loses nothing. Returns the
// new path, or an empty string when the rename failed.
QString keepAside(const QString &path);
// The same, but leaves the file in place: for readers that understood part
// of it and will rewrite it.
QString copyAside(const QString &path);
