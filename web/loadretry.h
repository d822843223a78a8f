#pragma once
#include <QObject>
#include <QUrl>
#include <QWebEnginePage>

class QTimer;
class QWebEngineView;

// Reloads a view whose page failed to load, or whose renderer crashed or was
// killed, backing off so that a portal that is down is neither hammered nor
// spun on: the first retry after 1 s, then doubling up to 30 s, for as long as
// it takes. A successful load starts the sequence again from 1 s. Child of the
// view it watches.
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
    void schedule(const QString &why);
    void drop(const char *why);
    void retry();

    QWebEngineView *m_view;
    QTimer *m_timer;
    int m_delayMs = kFirstDelayMs;
    QUrl m_failedUrl;
    QString m_why;
    bool m_retrying = false;        // the next load started is our own reload
    bool m_downloadSinceLoad = false; // the page asked for a download since its last load began
};
