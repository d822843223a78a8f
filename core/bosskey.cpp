#include "bosskey.h"
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

BossKey::BossKey(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

void BossKey::muteAll()
{
    if (m_active)
        return;
    m_active = true;
    m_states.clear();
    const QList<QWebEngineView *> views = m_window->findChildren<QWebEngineView *>();
    for (QWebEngineView *view : views)
        muteUntilBack(view->page());
}

void BossKey::muteUntilBack(QWebEnginePage *page)
{
    m_states.append({page, page->isAudioMuted()});
    page->setAudioMuted(true);
}

void BossKey::restore()
{
    if (!m_active)
        return;
    m_active = false;
    for (const auto &state : qAsConst(m_states)) {
        if (state.first)
            state.first->setAudioMuted(state.second);
    }
    m_states.clear();
}
