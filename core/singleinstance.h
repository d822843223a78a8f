#pragma once
#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per user and data folder. The first copy listens on a
// local socket named after its data folder (and the user's home, so that
// two users, or two data folders, each get their own box); a later start
// finds it there, asks it to come to the front and ends. A socket left by a
// copy that crashed is removed; one that cannot be taken over (another
// user's) does not stop the start: the copy then simply runs.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &dataDir, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another copy runs and took the request to come to the
    // front: this one should end. Otherwise this copy is the one listening
    // (when it could) and hears later starts through activationRequested().
    bool handOver();
    QString serverName() const { return m_name; }

signals:
    void activationRequested();

private:
    bool askRunningCopy();
    void answer();

    QString m_name;
    QLocalServer *m_server = nullptr;
};
