#include "config.h"
#include "app/datadir.h"
#include "app/logging.h"
#include "app/settingsnotice.h"
#include <QFile>
#include <QSettings>

namespace {
QString keyPath(const QString &group, const QString &key)
{
    return QStringLiteral("/%1/%2").arg(group, key);
}

// What QSettings can read back: blank lines, ";" comments, [sections] and
// key=value lines. QSettings' own status cannot tell us, since it caches a
// parsed file for the whole process and reports a format error only once.
bool isWholeIni(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return true; // missing: nothing to lose
    const QByteArray contents = file.readAll();
    if (contents.contains('\0'))
        return false;
    const QList<QByteArray> lines = contents.split('\n');
    for (const QByteArray &raw : lines) {
        const QByteArray line = raw.trimmed();
        const bool fine = line.isEmpty() || line.startsWith(';') || line.contains('=')
            || (line.startsWith('[') && line.endsWith(']'));
        if (!fine)
            return false;
    }
    return true;
}
} // namespace

Config::Config(const QString &fileName)
    : m_fileName(fileName.isEmpty() ? dataFilePath(QStringLiteral("Config.ini")) : fileName)
{
    m_settings = new QSettings(m_fileName, QSettings::IniFormat);
}

Config::~Config()
{
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError)
        qCWarning(lcApp).noquote() << "could not save settings to" << m_fileName;
    delete m_settings;
    m_settings = nullptr;
}

QVariant Config::GetValue(const QString &group, const QString &key) const
{
    return m_settings->value(keyPath(group, key), QVariant());
}

void Config::SetValue(const QString &group, const QString &key, const QVariant &value)
{
    write(group, key, value, Notice::Announce);
}

void Config::SetValue(const Settings::Key &key, const QVariant &value, Notice notice)
{
    write(key.groupName(), key.keyName(), value, notice);
}

void Config::write(const QString &group, const QString &key, const QVariant &value, Notice notice)
{
    // Saving rewrites the file from what QSettings understood of it, dropping
    // every line it could not parse: keep a copy of the original first, and
    // write nothing when even that is impossible.
    if (!m_formatChecked) {
        m_formatChecked = true;
        if (!isWholeIni(m_fileName) && copyAside(m_fileName).isEmpty()) {
            qCWarning(lcApp).noquote() << "settings file" << m_fileName << "cannot be parsed; changes will not be saved";
            m_writable = false;
        }
    }
    if (!m_writable)
        return;
    m_settings->setValue(keyPath(group, key), value);
    // Written through now, so that whoever hears of the change reads it back.
    m_settings->sync();
    if (SettingsNotice *listeners = SettingsNotice::instance(); listeners && notice == Notice::Announce)
        listeners->announce(group, key);
}

void ensureHotkeyDefaults()
{
    struct Hotkey {
        Settings::Key current;
        Settings::Key fallback;
        const char *value;
    };
    static const Hotkey kHotkeys[] = {
        {Settings::kBossKey, Settings::kDefaultBossKey, Settings::kBossKeyDefault},
        {Settings::kFullScreenKey, Settings::kDefaultFullScreenKey, Settings::kFullScreenKeyDefault}};

    for (const Hotkey &hotkey : kHotkeys) {
        const QString value = QLatin1String(hotkey.value);
        if (Config().GetValue(hotkey.current).toString().isEmpty())
            Config().SetValue(hotkey.current, value);
        Config().SetValue(hotkey.fallback, value);
    }
}
