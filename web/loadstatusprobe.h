#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QUrl>
#include <functional>

class QTimer;
class QWebEngineView;

// Learns what the server answered to the load that has just failed in a view
// and left a document of its own there: its HTTP status, or kNoAnswer when
// no answer came or none could be learnt. The widgets API reports an
// answered error status and a failed connection alike (loadFinished(false))
// and never gives the status, so the document is asked instead:
//
// - Where no answer came, and where the server's error answer had an empty
//   body, the engine shows its own error page (chrome-error://, which no
//   server can serve). It names a network failure by its ERR_ code and an
//   answer by "HTTP ERROR <n>", both untranslated. That is read,
//   with no request, and a network failure can never pass for a status.
// - A document of the server's own (an error page with a body) does not
//   carry its status, so the page asks its server again, for its own
//   address, with its own cookies and bypassing the cache, from a script
//   world of ours that the page's scripts can neither see nor change. It
//   asks with HEAD, which answers as GET would, without the body, and is by
//   definition free of side effects; only a server that refuses HEAD (405,
//   501) is asked with GET, whose body is dropped unread. The answer is
//   remembered for the address for kRememberMs, until a load succeeds, so
//   an error page that reloads itself costs one request, not one a reload.
//
// Where the second answer cannot be had (a content security policy whose
// connect-src leaves out 'self', a redirect to another origin, no answer
// within kTimeoutMs) the result is kNoAnswer, as for a failed connection: a
// doubt costs a retry, never a final verdict. A server that answers HEAD, or
// a moment later, differently from the failed load is believed. A page that
// reloads itself before the answer is in is asked again at its next failure.
class LoadStatusProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr int kNoAnswer = 0;
    static constexpr int kTimeoutMs = 5000;
    static constexpr int kRememberMs = 30000;

    explicit LoadStatusProbe(QWebEngineView *view, QObject *parent = nullptr);

    // Looks at the document the view shows now; finished() follows once,
    // unless cancelled first.
    void start();
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void finished(int status);

private:
    void run(const QString &script, std::function<void(int)> then);
    void ask();
    void poll();
    void finish(int status);

    QWebEngineView *m_view;
    QTimer *m_deadline;
    QTimer *m_pollTimer;
    quint64 m_run = 0; // bumped by each start and cancel: late results of an earlier run are dropped
    bool m_running = false;
    QUrl m_askingUrl;
    QUrl m_askedUrl;
    int m_askedStatus = kNoAnswer;
    QElapsedTimer m_askedAt;
};
