#pragma once
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>

class QWebEnginePage;
class QWidget;

// The sound side of the boss key: while the box is hidden every page of its
// windows is muted, pages opened meanwhile too, and when the box is back each
// page gets its own mute state again (a tab muted with "静音" stays muted).
class BossKey : public QObject
{
    Q_OBJECT

public:
    explicit BossKey(QObject *parent);

    bool isActive() const { return m_active; }
    // Mutes every page below the windows and remembers how each was.
    void muteAll(const QList<QWidget *> &windows);
    // A page that joins while active: muted until the box is back.
    void muteUntilBack(QWebEnginePage *page);
    void restore();

private:
    QList<QPair<QPointer<QWebEnginePage>, bool>> m_states;
    bool m_active = false;
};
