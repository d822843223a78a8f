#pragma once
#include <QDialog>
#include <QList>
#include <QPointer>

class QLabel;
class QWebEngineProfile;

// "清理": how much the web engine's disk caches take (every profile of the
// run: the main account's and the alt accounts'), measured when the dialog
// opens, and a button that clears them. A top-level window of its own,
// freed when closed.
class CacheDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CacheDialog(const QList<QWebEngineProfile *> &profiles);

    QLabel *sizeLabel() const { return m_sizeLabel; }

    // Whole megabytes, rounded down, as the dialog shows them.
    static QString sizeText(qint64 bytes);

private:
    qint64 cachedBytes() const;
    void clearCaches();

    QList<QPointer<QWebEngineProfile>> m_profiles;
    QLabel *m_sizeLabel = nullptr;
};
