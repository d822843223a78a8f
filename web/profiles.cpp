#include "profiles.h"
#include "core/datadir.h"
#include "core/logging.h"
#include <QCryptographicHash>
#include <QDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {
constexpr int kReadablePart = 32;
constexpr int kRemoveAttempts = 8;
constexpr int kRemoveRetryMs = 100;

// The pages of one profile, as they come and go; a child of the profile.
class PageCount : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    int pages = 0;
signals:
    void allGone();
};

PageCount *pageCount(const QWebEngineProfile *profile)
{
    return profile->findChild<PageCount *>(QString(), Qt::FindDirectChildrenOnly);
}
} // namespace

Profiles::Profiles(QWebEngineProfile *main, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_main(main)
    , m_folder(folder)
{
}

Profiles::~Profiles()
{
    // Their pages went before (see the class comment). The folders of
    // accounts forgotten while they still played go too, as far as the
    // engine lets go of them by now.
    const QSet<QString> forgotten = std::exchange(m_forgotten, {});
    qDeleteAll(std::exchange(m_accounts, {}));
    for (const QString &account : forgotten)
        QDir(QDir(m_folder).filePath(folderName(account))).removeRecursively();
}

QString Profiles::folderName(const QString &account)
{
    QString readable;
    for (const QChar c : account) {
        if (readable.size() == kReadablePart)
            break;
        if ((c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('_') || c == QLatin1Char('-'))
            readable += c;
    }
    // The hash tells apart names that read alike ("a/b" and "ab") and names
    // that have nothing readable at all.
    const QByteArray hash = QCryptographicHash::hash(account.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("alt-") + (readable.isEmpty() ? QString() : readable + QLatin1Char('-')) + QString::fromLatin1(hash);
}

int Profiles::pagesOf(const QWebEngineProfile *profile)
{
    const PageCount *count = pageCount(profile);
    return count ? count->pages : 0;
}

void Profiles::countPage(QWebEnginePage *page)
{
    QWebEngineProfile *profile = page->profile();
    PageCount *count = pageCount(profile);
    if (!count)
        count = new PageCount(profile);
    ++count->pages;
    connect(page, &QObject::destroyed, count, [count] {
        if (--count->pages == 0)
            emit count->allGone();
    });
}

QWebEngineProfile *Profiles::forAccount(const QString &account)
{
    m_forgotten.remove(account);
    if (QWebEngineProfile *known = m_accounts.value(account))
        return known;
    QWebEngineProfile *profile = create(account);
    m_accounts.insert(account, profile);
    emit profileAdded(profile);
    return profile;
}

QWebEngineProfile *Profiles::create(const QString &account)
{
    const QString name = folderName(account);
    const QString folder = QDir(m_folder).filePath(name);
    m_removing.remove(folder);
    QWebEngineProfile *profile = nullptr;
    if (QDir().mkpath(folder) && isDirWritable(folder)) {
        makePrivate(m_folder, Narrowing::Quiet);
        profile = new QWebEngineProfile(name, this);
        profile->setPersistentStoragePath(folder + QStringLiteral("/storage"));
        profile->setCachePath(folder + QStringLiteral("/cache"));
    } else {
        qCWarning(lcWeb).noquote() << "the profile folder" << folder << "cannot be written; the alt account plays"
                                   << "in a profile that keeps nothing once the box closes";
        profile = new QWebEngineProfile(this); // off the record
    }
    profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    profile->settings()->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, true);
    qCInfo(lcWeb).noquote() << "a profile of its own for an alt account:" << name;
    return profile;
}

QList<QWebEngineProfile *> Profiles::all() const
{
    QList<QWebEngineProfile *> profiles{m_main};
    for (QWebEngineProfile *profile : m_accounts)
        profiles.append(profile);
    return profiles;
}

void Profiles::forget(const QString &account)
{
    QWebEngineProfile *profile = m_accounts.value(account);
    if (profile && pagesOf(profile) > 0) {
        if (!m_forgotten.contains(account)) {
            // Later, not now: the last page is still being destroyed then.
            connect(pageCount(profile), &PageCount::allGone, this, [this, account] {
                if (m_forgotten.remove(account))
                    release(account);
            }, Qt::QueuedConnection);
        }
        m_forgotten.insert(account);
        return;
    }
    release(account);
}

void Profiles::release(const QString &account)
{
    delete m_accounts.take(account);
    removeFolder(QDir(m_folder).filePath(folderName(account)), 0);
}

void Profiles::removeFolder(const QString &folder, int attempt)
{
    // The engine lets go of a profile's files a while after the profile:
    // what it still writes then makes the first tries fail, and can make its
    // cache and storage folders again after they were removed. So the folder
    // is looked at for a while, and removed whenever it is there; unless the
    // account has come back meanwhile and plays in it again.
    if (attempt == 0)
        m_removing.insert(folder);
    else if (!m_removing.contains(folder))
        return;
    const bool gone = !QFileInfo::exists(folder) || QDir(folder).removeRecursively();
    if (attempt < kRemoveAttempts) {
        QTimer::singleShot(kRemoveRetryMs << attempt, this, [this, folder, attempt] { removeFolder(folder, attempt + 1); });
        return;
    }
    m_removing.remove(folder);
    if (!gone)
        qCWarning(lcWeb).noquote() << "could not remove the profile folder" << folder;
}

#include "profiles.moc"
