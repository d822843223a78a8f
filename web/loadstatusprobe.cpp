#include "loadstatusprobe.h"
#include "core/endpoints.h"
#include "core/logging.h"
#include <QPointer>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {
// What the scripts return while there is more to learn: the document is the
// server's, or the second answer is still on its way. Every other result is
// a status or kNoAnswer; a script never returns undefined, which the page
// gives when it went away.
constexpr int kNotYet = -1;

// The engine's error page carries "HTTP ERROR <n>" where the server answered
// with an empty body, and an ERR_ name where no answer came.
const QString kInspect = QStringLiteral(R"((function () {
  try {
    if (location.protocol === 'chrome-error:') {
      const shown = document.querySelector('.error-code');
      const http = shown && /^HTTP ERROR (\d{3})$/.exec(shown.textContent.trim());
      return http ? Number(http[1]) : 0;
    }
    return /^https?:$/.test(location.protocol) ? -1 : 0;
  } catch (e) {
    return 0;
  }
})())");

// Runs in our own script world: its globals and its fetch are out of the
// page's reach.
const QString kAsk = QStringLiteral(R"((function () {
  window.kavoLoadStatus = -1;
  const stop = new AbortController();
  setTimeout(() => stop.abort(), %1);
  const ask = method => fetch(location.href,
      {method: method, credentials: 'include', cache: 'no-store', signal: stop.signal});
  ask('HEAD')
    .then(answer => answer.status === 405 || answer.status === 501 ? ask('GET') : answer)
    .then(answer => {
      if (answer.body)
        answer.body.cancel();
      window.kavoLoadStatus = answer.status;
    }, () => window.kavoLoadStatus = 0);
  return -1;
})())");

const QString kPoll = QStringLiteral("typeof window.kavoLoadStatus === 'number' ? window.kavoLoadStatus : 0");

constexpr int kPollMs = 50;
} // namespace

LoadStatusProbe::LoadStatusProbe(QWebEngineView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_deadline(new QTimer(this))
    , m_pollTimer(new QTimer(this))
{
    m_deadline->setSingleShot(true);
    m_pollTimer->setSingleShot(true);
    m_pollTimer->setInterval(kPollMs);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        qCDebug(lcWeb).noquote() << "no status learnt within" << kTimeoutMs << "ms:"
                                 << Endpoints::urlForLog(m_view->url());
        finish(kNoAnswer);
    });
    connect(m_pollTimer, &QTimer::timeout, this, &LoadStatusProbe::poll);
    // What the address answered before a success says nothing about its next failure.
    connect(view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (ok)
            m_askedAt.invalidate();
    });
}

void LoadStatusProbe::start()
{
    cancel();
    m_running = true;
    // A page that never answers our scripts (a hung renderer, a page gone
    // without a word) must not hold the decision forever.
    m_deadline->start(kTimeoutMs + 1000);
    run(kInspect, [this](int status) {
        if (status != kNotYet) {
            finish(status);
            return;
        }
        const QUrl url = m_view->url();
        if (m_askedAt.isValid() && m_askedAt.elapsed() < kRememberMs && url == m_askedUrl) {
            finish(m_askedStatus);
            return;
        }
        m_askingUrl = url;
        ask();
    });
}

void LoadStatusProbe::cancel()
{
    ++m_run;
    m_running = false;
    m_deadline->stop();
    m_pollTimer->stop();
}

void LoadStatusProbe::run(const QString &script, std::function<void(int)> then)
{
    const quint64 run = m_run;
    QPointer<LoadStatusProbe> self(this);
    m_view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                  [self, run, then](const QVariant &result) {
                                      if (!self || self->m_run != run || !self->m_running)
                                          return;
                                      bool isNumber = false;
                                      const int value = result.toInt(&isNumber);
                                      // No result: the page or its renderer went; the
                                      // deadline, a newer load or a crash report decides.
                                      if (isNumber)
                                          then(value);
                                  });
}

void LoadStatusProbe::ask()
{
    qCDebug(lcWeb).noquote() << "asking again for the status of" << Endpoints::urlForLog(m_askingUrl);
    run(kAsk.arg(kTimeoutMs), [this](int) { m_pollTimer->start(); });
}

void LoadStatusProbe::poll()
{
    run(kPoll, [this](int status) {
        if (status == kNotYet) {
            m_pollTimer->start();
            return;
        }
        if (status != kNoAnswer) {
            m_askedUrl = m_askingUrl;
            m_askedStatus = status;
            m_askedAt.start();
        }
        finish(status);
    });
}

void LoadStatusProbe::finish(int status)
{
    cancel();
    emit finished(status);
}
