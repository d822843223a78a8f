#pragma once
#include <QString>
#include <QTemporaryDir>

// A whole file's bytes; empty when it cannot be read.
QByteArray readFile(const QString &path);
// Writes the file whole, making its folder first.
bool writeFile(const QString &path, const QByteArray &contents);

// An environment variable set while the object lives, and put back after.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QString &value)
        : m_name(name), m_old(qgetenv(name)), m_was(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() { m_was ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_was;
};

// A fresh data folder for the lifetime of the object: Config.ini, portal.ini
// and the list files of the code under test land here.
class TempDataDir
{
public:
    TempDataDir();
    ~TempDataDir();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    QByteArray read(const QString &name) const { return readFile(filePath(name)); }
    void write(const QString &name, const QByteArray &contents) const { writeFile(filePath(name), contents); }

private:
    QTemporaryDir m_dir;
};

// A folder nobody can write to, not even root: permission bits are enough for
// an ordinary user; root gets a read-only bind mount of the folder over itself.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path);
    ~ReadOnlyFolder();
    bool isReadOnly() const { return m_readOnly; }
    QString why() const { return m_why; }

private:
    QString m_path;
    bool m_mounted = false;
    bool m_readOnly = false;
    QString m_why;
};

// A full disk, as far as this process can tell, while the object lives: a
// write that would take a file past `bytes` stops there and fails (on Unix,
// through the file-size limit; elsewhere it does nothing, see isActive()).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    bool isActive() const { return m_active; }

private:
    bool m_active = false;
    unsigned long long m_saved = 0;
    void (*m_oldHandler)(int) = nullptr;
};
