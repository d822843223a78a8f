#pragma once
#include <QObject>

// Tells the running client about every setting it changes itself, by group
// and key, so that a window can act on the keys it cares about (a newly
// recorded hotkey works at once). Config announces each SetValue here. One
// exists while the client runs (the Client owns it); without one, changes are
// only written.
class SettingsNotice : public QObject
{
    Q_OBJECT

public:
    explicit SettingsNotice(QObject *parent = nullptr);
    ~SettingsNotice() override;

    static SettingsNotice *instance();
    void announce(const QString &group, const QString &key);

signals:
    void changed(const QString &group, const QString &key);
};
