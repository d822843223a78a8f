#include "loadretry.h"
#include "app/logging.h"
#include "core/endpoints.h"
#include <QTimer>
#include <QWebEngineView>

LoadRetry::LoadRetry(QWebEngineView *view)
    : QObject(view)
    , m_view(view)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &LoadRetry::retry);
    connect(view, &QWebEngineView::loadFinished, this, &LoadRetry::onLoadFinished);
    connect(view->page(), &QWebEnginePage::renderProcessTerminated, this, &LoadRetry::onRendererGone);
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

void LoadRetry::onLoadFinished(bool ok)
{
    if (ok) {
        m_timer->stop();
        m_delayMs = kFirstDelayMs;
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
    schedule(QStringLiteral("page renderer %1 (exit code %2)").arg(QLatin1String(what)).arg(exitCode));
}

void LoadRetry::schedule(const QString &why)
{
    // Several failures before the retry (a page and its redirect, say) still
    // make one retry.
    if (m_timer->isActive())
        return;
    m_failedUrl = m_view->url();
    qCWarning(lcWeb).noquote() << why + QLatin1Char(':') << Endpoints::urlForLog(m_failedUrl)
                               << "- retrying in" << m_delayMs / 1000.0 << "s";
    m_timer->start(m_delayMs);
    emit retryScheduled(m_delayMs);
}

void LoadRetry::retry()
{
    m_delayMs = nextDelay(m_delayMs);
    // Reloading an empty view would do nothing and never finish.
    if (m_view->url().isEmpty() && m_failedUrl.isValid())
        m_view->load(m_failedUrl);
    else
        m_view->reload();
}
