#pragma once
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QWidget>

// Finds widgets as a user does: by what they show, or by the name they give
// screen readers (the icon-only controls).

template <typename T>
T *childWithText(const QObject *parent, const QString &text)
{
    for (T *child : parent->findChildren<T *>()) {
        if (child->text() == text)
            return child;
    }
    return nullptr;
}

template <typename T>
T *childCalled(const QObject *parent, const QString &accessibleName)
{
    for (T *child : parent->findChildren<T *>()) {
        if (child->accessibleName() == accessibleName)
            return child;
    }
    return nullptr;
}

// An entry of any of the window's menus.
inline QAction *menuEntry(const QWidget *window, const QString &text)
{
    for (QMenu *menu : window->findChildren<QMenu *>()) {
        for (QAction *action : menu->actions()) {
            if (action->text() == text)
                return action;
        }
    }
    return nullptr;
}

template <typename T>
QList<T *> topLevels()
{
    QList<T *> found;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *typed = qobject_cast<T *>(window))
            found.append(typed);
    }
    return found;
}

// The red line a dialog shows when something went wrong; empty when none.
inline QString errorLine(const QWidget *dialog)
{
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (label->styleSheet() == QLatin1String("color:red") && label->isVisibleTo(dialog))
            return label->text();
    }
    return QString();
}

// Deletes every top-level window of this type, and what they left to delete
// later: what a test made and did not close.
template <typename T>
void deleteTopLevels()
{
    for (T *window : topLevels<T>())
        delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The push buttons named name that a screen reader finds under root, walking
// its accessibility tree as the AT-SPI bridge does; none that is hidden.
inline QList<QAccessibleInterface *> accessibleButtons(QWidget *root, const QString &name)
{
    QList<QAccessibleInterface *> found;
    QList<QAccessibleInterface *> pending{QAccessible::queryAccessibleInterface(root)};
    while (!pending.isEmpty()) {
        QAccessibleInterface *node = pending.takeFirst();
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface *child = node->child(i);
            if (!child || child->state().invisible)
                continue;
            if (child->role() == QAccessible::Button && child->text(QAccessible::Name) == name)
                found.append(child);
            pending.append(child);
        }
    }
    return found;
}
