#pragma once
#include <QDialog>

class QLabel;
class QWebEngineProfile;

// "清理": how much the web engine's disk cache takes, measured when the
// dialog opens, and a button that clears the HTTP cache. A top-level window
// of its own, freed when closed.
class CacheDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CacheDialog(QWebEngineProfile *profile);

    QLabel *sizeLabel() const { return m_sizeLabel; }

    // Whole megabytes, rounded down, as the dialog shows them.
    static QString sizeText(qint64 bytes);

private:
    QWebEngineProfile *m_profile;
    QLabel *m_sizeLabel = nullptr;
};
