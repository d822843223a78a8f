#include "loadretry.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include <QTimer>
#include <QWebEngineDownloadItem>
#include <QWebEngineProfile>
#include <QWebEngineView>

LoadRetry::LoadRetry(QWebEngineView *view)
    : QObject(view)
    , m_view(view)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
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
                if (m_timer->isActive())
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

void LoadRetry::onLoadStarted()
{
    m_downloadSinceLoad = false;
    if (std::exchange(m_retrying, false))
        return;
    if (m_timer->isActive())
        drop("a newer load replaced the failed one");
}

void LoadRetry::onLoadFinished(bool ok)
{
    if (ok) {
        m_timer->stop();
        m_delayMs = kFirstDelayMs;
        return;
    }
    if (m_downloadSinceLoad) {
        qCDebug(lcWeb).noquote() << "load ended in a download, not retried:" << Endpoints::urlForLog(m_view->url());
        return;
    }
    schedule(QStringLiteral("page failed to load"));
}

void LoadRetry::onRendererGone(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode)
{
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // Without this the view stays blank until the user thinks of reloading.
    const char *what = status == QWebEnginePage::KilledTerminationStatus ? "killed" : "crashed";
    m_downloadSinceLoad = false; // not a navigation: a download earlier says nothing
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
