#pragma once
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class QWebEnginePage;
class QWebEngineProfile;

// The web profiles of the run: the main account's, and one of each alt
// account that plays, so that an alt account's cookies, cache, local storage
// and permissions never mix with the main account's or another alt's. An alt
// account's profile is made on its first use, and kept in a folder of its own
// under the data folder (profiles/<folder>, see folderName()); where that
// folder cannot be made or written, the account plays in an off-the-record
// profile of its own, never in the main one. Pages must be gone before their
// profile: the owner of the run deletes this after every window.
class Profiles : public QObject
{
    Q_OBJECT

public:
    // main: the main account's profile, which outlives this. folder: where
    // the alt accounts' profiles are kept.
    Profiles(QWebEngineProfile *main, const QString &folder, QObject *parent = nullptr);
    ~Profiles() override;

    QWebEngineProfile *main() const { return m_main; }
    // The profile of this alt account, made when first asked for.
    QWebEngineProfile *forAccount(const QString &account);
    // The main profile first, then the alt accounts' in memory.
    QList<QWebEngineProfile *> all() const;
    // The account is gone: its profile and its folder go, once no page uses it.
    void forget(const QString &account);

    // The folder of an account's profile: a plain, stable name, different for
    // different accounts, whatever the name holds ("/", "..", NUL, any length).
    static QString folderName(const QString &account);
    // How many pages use a profile now: every page is counted as it comes
    // (WebPage does it) and goes.
    static int pagesOf(const QWebEngineProfile *profile);
    static void countPage(QWebEnginePage *page);

signals:
    // A profile came into use: downloads and the cookie log follow it.
    void profileAdded(QWebEngineProfile *profile);

private:
    QWebEngineProfile *create(const QString &account);
    void release(const QString &account);
    void removeFolder(const QString &folder, int attempt);

    QWebEngineProfile *m_main;
    QString m_folder;
    QHash<QString, QWebEngineProfile *> m_accounts;
    QSet<QString> m_forgotten; // waiting for their last page
    QSet<QString> m_removing; // folders of released profiles, watched a while
};
