#pragma once
#include "core/settingskeys.h"
#include <QString>
#include <QVariant>

class QSettings;

// The settings file, addressed by group and key. Build one on the stack for
// each access and let it go: the destructor writes the change to disk.
class Config
{
public:
    // An empty fileName means Config.ini in the data folder.
    explicit Config(const QString &fileName = QString());
    virtual ~Config();

    // An absent key yields an invalid QVariant (false, or an empty string).
    QVariant GetValue(const QString &group, const QString &key) const;
    // Writes the value and announces the change to the running client.
    void SetValue(const QString &group, const QString &key, const QVariant &value);
    // Whether the running client hears of a change at once (a hotkey the user
    // recorded) or only at its next start (the restored defaults).
    enum class Notice { Announce, Quiet };
    QVariant GetValue(const Settings::Key &key) const { return GetValue(key.groupName(), key.keyName()); }
    void SetValue(const Settings::Key &key, const QVariant &value, Notice notice = Notice::Announce);

    QString fileName() const { return m_fileName; }

private:
    Q_DISABLE_COPY(Config)
    void write(const QString &group, const QString &key, const QVariant &value, Notice notice);

    QString m_fileName;
    QSettings *m_settings = nullptr;
    bool m_formatChecked = false;
    bool m_writable = true;
};

// Puts the default boss and full-screen keys in place: a user's own keys stay,
// empty ones get the default, and the defaults group is rewritten every start.
void ensureHotkeyDefaults();
