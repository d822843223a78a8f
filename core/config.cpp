#include "config.h"
#include "core/datadir.h"
#include "core/logging.h"
#include <QFile>
#include <QSettings>
#include <QTemporaryFile>

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

// Qt 5's QSettings writes through a buffered QSaveFile, which is committed
// even when the last flush came short (a full disk, a file-size limit): the
// settings file would be replaced by its first bytes, and the save reported
// as a success. So a change is first made the same way to a scratch copy
// beside the file, and the real save goes ahead only if that copy came out
// whole. Qt writes one line per key, each ending in a line break.
bool changeFitsOnDisk(const QString &fileName, const QString &path, const QVariant &value)
{
    QFile current(fileName);
    const QByteArray before = current.open(QIODevice::ReadOnly) ? current.readAll() : QByteArray();
    QTemporaryFile scratch(fileName + QStringLiteral(".XXXXXX"));
    if (!scratch.open() || scratch.write(before) != before.size() || !scratch.flush())
        return false;
    scratch.close();
    int keys = 0;
    {
        QSettings trial(scratch.fileName(), QSettings::IniFormat);
        trial.setValue(path, value);
        trial.sync();
        // A format error only says that lines of the old file were dropped,
        // and they were kept aside before.
        if (trial.status() == QSettings::AccessError)
            return false;
        keys = trial.allKeys().size();
    }
    QFile written(scratch.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return false;
    const QByteArray after = written.readAll();
    int keyLines = 0;
    for (const QByteArray &line : after.split('\n'))
        keyLines += line.contains('=') && !line.startsWith('[') && !line.startsWith(';');
    return keyLines == keys && (after.isEmpty() || after.endsWith('\n'));
}
} // namespace

Config::Config(const QString &fileName, QObject *parent)
    : QObject(parent)
    , m_fileName(fileName.isEmpty() ? dataFilePath(QStringLiteral("Config.ini")) : fileName)
    , m_settings(new QSettings(m_fileName, QSettings::IniFormat))
{
}

Config::~Config()
{
    delete m_settings;
}

QVariant Config::value(const QString &group, const QString &key) const
{
    return m_settings->value(keyPath(group, key), QVariant());
}

bool Config::setValue(const QString &group, const QString &key, const QVariant &value)
{
    // Saving rewrites the file from what QSettings understood of it, dropping
    // every line it could not parse: keep a copy of the original first, and
    // write nothing when even that is impossible.
    if (!m_formatChecked) {
        m_formatChecked = true;
        if (!isWholeIni(m_fileName) && copyAside(m_fileName).isEmpty()) {
            qCWarning(lcCore).noquote() << "settings file" << m_fileName << "cannot be parsed; changes will not be saved";
            m_unparsable = true;
        }
    }
    if (m_unparsable)
        return false;
    if (!changeFitsOnDisk(m_fileName, keyPath(group, key), value)) {
        qCWarning(lcCore).noquote() << "could not save settings to" << m_fileName;
        return false;
    }
    // QSettings keeps a file's permissions; a new one would be open to all.
    const bool made = !QFile::exists(m_fileName) && QFile(m_fileName).open(QIODevice::WriteOnly);
    makePrivate(m_fileName, made ? Narrowing::Quiet : Narrowing::Announced);
    m_settings->setValue(keyPath(group, key), value);
    // Written through now, so that whoever hears of the change reads it back.
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError) {
        qCWarning(lcCore).noquote() << "could not save settings to" << m_fileName;
        return false;
    }
    emit changed(group, key);
    return true;
}

QKeySequence Config::hotkey(const Settings::Key &key) const
{
    return Settings::hotkeyFromText(value(key).toString(), key.keyName());
}

void Config::ensureHotkeyDefaults()
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
        const QString text = QLatin1String(hotkey.value);
        if (value(hotkey.current).toString().isEmpty())
            setValue(hotkey.current, text);
        setValue(hotkey.fallback, text);
    }
}
