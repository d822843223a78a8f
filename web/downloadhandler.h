#pragma once
#include <QObject>
#include <QPointer>

class DownloadFailureBox;
class LoadingDialog;
class QWebEngineDownloadItem;
class QWebEngineProfile;

// The name a download is saved under in folder: the server's suggestion cut
// to a plain file name (never a path, never hidden, no control characters),
// short enough for the engine's "<name>.download" to fit a file system's 255
// bytes, and never the name of a file already there (" (1)", " (2)", ... go
// before the extension). Everything else (spaces, quotes, non-ASCII letters)
// stays as the server wrote it.
QString downloadFileName(const QString &suggested, const QString &folder);

// The client's downloads: one handler for the whole profile, one download at
// a time, saved to the user's download folder under a loading dialog over the
// window that asked, then shown in the file manager. A download that is
// refused or fails says so in a box over that window, with the reason in
// plain words. One that broke off keeps its partial file for as long as the
// engine can resume it, and the box offers "继续下载"; given up, or beyond
// resuming, its partial file goes (the engine removes it).
class DownloadHandler : public QObject
{
    Q_OBJECT

public:
    explicit DownloadHandler(QWebEngineProfile *profile, QObject *parent = nullptr);
    // The downloads of one more profile come here too.
    void watch(QWebEngineProfile *profile);
    // Quitting mid-download cancels it and leaves no partial file.
    ~DownloadHandler() override;

    bool isBusy() const { return !m_download.isNull(); }
    LoadingDialog *loadingDialog() const;
    DownloadFailureBox *failureBox() const;

private:
    void handleRequest(QWebEngineDownloadItem *download);
    void take(QWebEngineDownloadItem *download);
    void showProgress(qint64 bytesReceived, qint64 bytesTotal);
    // Broken off: resumable, or about to finish for good.
    void interrupted(QWebEngineDownloadItem *download);
    void finish(QWebEngineDownloadItem *download);
    void showFailure(const QString &fileName, const QString &reason, bool resumable, QWidget *window);
    static QString plainReason(int interruptReason);

    QPointer<QWebEngineDownloadItem> m_download;
    QList<QPointer<QWebEngineDownloadItem>> m_superseded; // by its restarts
    QString m_path;
    QPointer<QWidget> m_window; // of the page that asked
    QPointer<LoadingDialog> m_dialog;
    QPointer<DownloadFailureBox> m_failureBox;
    bool m_resumeAsked = false;
};
