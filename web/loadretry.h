#pragma once
#include <QDateTime>
#include <QObject>
#include <QUrl>
#include <QWebEnginePage>

class LoadStatusProbe;
class QTimer;
class QWebEngineView;

// Reloads a view whose page failed to load, or whose renderer crashed or was
// killed, backing off so that a portal that is down is neither hammered nor
// spun on: the first retry after 1 s, then doubling up to 30 s, for as long as
// it takes. A successful load starts the sequence again from 1 s. Child of the
// view it watches.
//
// Only a failure that another try may mend is retried: no answer came
// (refused, reset, timed out, name not found), or the server answered 5xx,
// 408 or 429. Any other 4xx is the server's final word (an alt account whose
// check code it no longer takes answers 403): its page is left as the server
// sent it, and a page that reloads itself keeps doing so alone. The engine
// reports both kinds as the same failed load without a status, so the status
// is learnt from the document the failure left (LoadStatusProbe says how).
// Only a load that brought a document of its own is asked about, which is
// told by the history entry having been committed since the load began: a
// load that ended without one has no answer to read, and a request for the
// document still shown would only disturb the page that is running.
//
// A load that was replaced by a newer one (a link, a redirect, a reload) or
// that turned into a download also ends as a failure, with the earlier
// document still there and running: reloading it would lose the game's state.
// Such a load is told apart only afterwards (by the newer load starting, or
// by the page asking for a download), so a retry waits for its timer and is
// dropped when either has happened since the failed load began.
class LoadRetry : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFirstDelayMs = 1000;
    static constexpr int kMaxDelayMs = 30000;

    explicit LoadRetry(QWebEngineView *view);

    // The wait after `delayMs`: twice as long, at most kMaxDelayMs.
    static int nextDelay(int delayMs);

    // The wait before the retry that is pending now, or the next one.
    int currentDelay() const { return m_delayMs; }
    bool isPending() const;
    // Milliseconds until the pending retry, -1 when none is pending.
    int remainingMs() const;
    // The pending retry, now (a user who does not want to wait).
    void retryNow();
    QWebEngineView *view() const { return m_view; }

signals:
    void retryScheduled(int delayMs);
    // The failure was a replaced or downloading navigation: no retry.
    void retryDropped();

private:
    void onLoadStarted();
    void onLoadFinished(bool ok);
    void onRendererGone(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode);
    void onStatusLearnt(int status);
    void schedule(const QString &why);
    void drop(const char *why);
    void retry();

    // The view's history entry: its address, and when it was last committed.
    struct Entry {
        QUrl url;
        QDateTime committed;
        bool operator==(const Entry &other) const { return url == other.url && committed == other.committed; }
    };
    Entry currentEntry() const;

    QWebEngineView *m_view;
    QTimer *m_timer;
    LoadStatusProbe *m_probe;
    Entry m_entryAtStart;
    int m_delayMs = kFirstDelayMs;
    QUrl m_failedUrl;
    QString m_why;
    bool m_retrying = false;        // the next load started is our own reload
    bool m_downloadSinceLoad = false; // the page asked for a download since its last load began
};
