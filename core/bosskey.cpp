#include "bosskey.h"
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

BossKey::BossKey(QObject *parent)
    : QObject(parent)
{
}

void BossKey::muteAll(const QList<QWidget *> &windows)
{
    if (m_active)
        return;
    m_active = true;
    m_states.clear();
    for (QWidget *window : windows) {
        const QList<QWebEngineView *> views = window->findChildren<QWebEngineView *>();
        for (QWebEngineView *view : views)
            muteUntilBack(view->page());
    }
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
