#pragma once
#include "core/settingskeys.h"
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QVariant>

class QSettings;

// The settings file (Config.ini in the data folder), addressed by group and
// key. One object lives for the whole run (the Client owns it and hands it
// to whoever reads or writes settings); every change is written through at
// once and announced with changed(), so that a window acts on the keys it
// cares about (a newly recorded hotkey works at once).
class Config : public QObject
{
    Q_OBJECT

public:
    // An empty fileName means Config.ini in the data folder.
    explicit Config(const QString &fileName = QString(), QObject *parent = nullptr);
    ~Config() override;

    // An absent key yields an invalid QVariant (false, or an empty string).
    QVariant value(const QString &group, const QString &key) const;
    QVariant value(const Settings::Key &key) const { return value(key.groupName(), key.keyName()); }
    // False when the change could not be saved (the file keeps what it had).
    bool setValue(const QString &group, const QString &key, const QVariant &value);
    bool setValue(const Settings::Key &key, const QVariant &value)
    {
        return setValue(key.groupName(), key.keyName(), value);
    }

    // A stored hotkey as a key sequence (see Settings::hotkeyFromText).
    QKeySequence hotkey(const Settings::Key &key) const;
    // Puts the default boss and full-screen keys in place: a user's own keys
    // stay, empty ones get the default, and the defaults group is rewritten.
    void ensureHotkeyDefaults();

    QString fileName() const { return m_fileName; }

signals:
    void changed(const QString &group, const QString &key);

private:
    QString m_fileName;
    QSettings *m_settings = nullptr;
    bool m_formatChecked = false;
    bool m_unparsable = false; // and could not be kept aside: nothing is written
};
