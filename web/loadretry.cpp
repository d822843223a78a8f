#include "loadretry.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include "web/loadstatusprobe.h"
#include <QTimer>
#include <QWebEngineDownloadItem>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {
// A 4xx other than these is the server's final word on the request.
bool isWorthRetrying(int httpStatus)
{
    return httpStatus < 400 || httpStatus >= 500 || httpStatus == 408 || httpStatus == 429;
}
} // namespace

LoadRetry::LoadRetry(QWebEngineView *view)
    : QObject(view)
    , m_view(view)
    , m_timer(new QTimer(this))
    , m_probe(new LoadStatusProbe(view, this))
{
    m_timer->setSingleShot(true);
    connect(m_probe, &LoadStatusProbe::finished, this, &LoadRetry::onStatusLearnt);
    connect(m_timer, &QTimer::timeout, this, &LoadRetry::retry);
    connect(view, &QWebEngineView::loadStarted, this, &LoadRetry::onLoadStarted);
    connect(view, &QWebEngineView::loadFinished, this, &LoadRetry::onLoadFinished);
    connect(view->page(), &QWebEnginePage::renderProcessTerminated, this, &LoadRetry::onRendererGone);
    // Every download of the profile comes here; only this view's page counts.
    connect(view->page()->profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadItem *download) {
                if (download->page() != m_view->page())
                    return;
                m_downloadSinceLoad = true;
                if (m_timer->isActive() || m_probe->isRunning())
                    drop("the page's navigation became a download");
            });
}

int LoadRetry::nextDelay(int delayMs)
{
    return qBound(kFirstDelayMs, delayMs * 2, kMaxDelayMs);
}

bool LoadRetry::isPending() const
{
    return m_timer->isActive();
}

int LoadRetry::remainingMs() const
{
    return m_timer->isActive() ? m_timer->remainingTime() : -1;
}

void LoadRetry::retryNow()
{
    if (!m_timer->isActive())
        return;
    m_timer->stop();
    retry();
}

LoadRetry::Entry LoadRetry::currentEntry() const
{
    const QWebEngineHistoryItem item = m_view->history()->currentItem();
    return {item.url(), item.lastVisited()};
}

void LoadRetry::onLoadStarted()
{
    m_downloadSinceLoad = false;
    // The engine announces a load before anything of it can commit, so this
    // is the entry of the document the load may replace.
    m_entryAtStart = currentEntry();
    if (std::exchange(m_retrying, false))
        return;
    if (m_timer->isActive() || m_probe->isRunning())
        drop("a newer load replaced the failed one");
}

void LoadRetry::onLoadFinished(bool ok)
{
    if (ok) {
        m_timer->stop();
        m_probe->cancel();
        m_delayMs = kFirstDelayMs;
        return;
    }
    if (m_downloadSinceLoad) {
        qCDebug(lcWeb).noquote() << "load ended in a download, not retried:" << Endpoints::urlForLog(m_view->url());
        return;
    }
    if (m_timer->isActive())
        return; // the retry that waits covers this failure too
    if (currentEntry() == m_entryAtStart) {
        // Nothing committed: the earlier document is still there, and no
        // answer of this load can be read from it.
        schedule(QStringLiteral("page failed to load"));
        return;
    }
    m_failedUrl = m_view->url();
    m_probe->start();
}

void LoadRetry::onStatusLearnt(int status)
{
    if (isWorthRetrying(status)) {
        if (status != LoadStatusProbe::kNoAnswer)
            qCDebug(lcWeb).noquote() << "server answered" << status << "for" << Endpoints::urlForLog(m_failedUrl);
        schedule(QStringLiteral("page failed to load"));
        return;
    }
    // The server is there and has spoken: a later failure starts afresh.
    m_delayMs = kFirstDelayMs;
    qCInfo(lcWeb).noquote() << "server answered" << status << "for" << Endpoints::urlForLog(m_failedUrl)
                            << "- its page stays as sent, not retried";
}

void LoadRetry::onRendererGone(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode)
{
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // Without this the view stays blank until the user thinks of reloading.
    const char *what = status == QWebEnginePage::KilledTerminationStatus ? "killed" : "crashed";
    m_downloadSinceLoad = false; // not a navigation: a download earlier says nothing
    m_probe->cancel(); // the document it was asking went with the renderer
    schedule(QStringLiteral("page renderer %1 (exit code %2)").arg(QLatin1String(what)).arg(exitCode));
}

void LoadRetry::schedule(const QString &why)
{
    // Several failures before the retry (a page and its redirect, say) still
    // make one retry.
    if (m_timer->isActive())
        return;
    m_failedUrl = m_view->url();
    m_why = why;
    m_timer->start(m_delayMs);
    emit retryScheduled(m_delayMs);
}

void LoadRetry::drop(const char *why)
{
    m_timer->stop();
    m_probe->cancel();
    qCDebug(lcWeb).noquote() << "no retry:" << why;
    emit retryDropped();
}

void LoadRetry::retry()
{
    if (m_downloadSinceLoad) {
        drop("the page's navigation became a download");
        return;
    }
    qCWarning(lcWeb).noquote() << m_why + QLatin1Char(':') << Endpoints::urlForLog(m_failedUrl)
                               << "- retrying after" << m_delayMs / 1000.0 << "s";
    m_delayMs = nextDelay(m_delayMs);
    m_retrying = true;
    // Reloading an empty view would do nothing and never finish.
    if (m_view->url().isEmpty() && m_failedUrl.isValid())
        m_view->load(m_failedUrl);
    else
        m_view->reload();
}
