#include "clientwindows.h"
#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {
const char kClientWindow[] = "kavoClientWindow";
}

void markClientWindow(QWidget *window)
{
    window->setProperty(kClientWindow, true);
}

bool isClientWindow(const QWidget *window)
{
    return window->property(kClientWindow).toBool();
}

void deleteClientWindows()
{
    QList<QPointer<QWidget>> windows;
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget *window : topLevels) {
        if (isClientWindow(window))
            windows.append(window);
    }
    for (const QPointer<QWidget> &window : qAsConst(windows))
        delete window.data(); // deleting one may already have taken another
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
