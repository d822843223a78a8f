#pragma once
#include <QJsonArray>
#include <QProcess>
#include <QString>

// One start of a program under test, in a folder of its own: its home,
// caches and settings start empty, so every start is a first start. The
// client runs from a copy in that folder, whose data folder it is (the
// portal's address, reminders and alt accounts go beside it); the floor gets
// the portal's address as its argument.
class Launch
{
public:
    enum class Program { Client, Floor };
    struct Lists
    {
        QJsonArray reminders;   // clocklist.txt
        QJsonArray altAccounts; // xiaohaoinfolist.txt
    };

    Launch(Program program, const QString &binary, const QString &folder, const QString &hostPort, const Lists &lists = {});
    ~Launch();

    static QString name(Program program);
    bool start();
    qint64 pid() const;
    // Wall clock just before the program was started, ms since the epoch.
    qint64 startedAtMs() const { return m_startedAt; }
    bool isRunning() const;
    // SIGTERM, as a session ending does; killed when it does not end in time.
    // False when it had to be killed or had already ended by itself.
    bool stop();
    QString logTail() const;

private:
    Program m_program;
    QString m_binary;
    QString m_folder;
    QString m_hostPort;
    QProcess m_process;
    qint64 m_startedAt = 0;
};
