#pragma once
#include "box/mainwindow.h"
#include "box/trayicon.h"
#include "support/lookup.h"
#include "support/portalprocess.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

inline QLabel *windowControl(MainWindow *window, const QString &name)
{
    return childCalled<QLabel>(window, name);
}

inline bool shows(QLabel *label, const QString &image)
{
    return label->pixmap(Qt::ReturnByValue).toImage() == QPixmap(image).toImage();
}

inline QList<TrayIcon *> trays()
{
    return topLevels<TrayIcon>();
}

// A main window with a game tab the user has muted and one that plays.
struct Box {
    QPointer<MainWindow> window;
    QWebEnginePage *mutedGame = nullptr;
    QWebEnginePage *loudGame = nullptr;

    Box(const PortalProcess &portal, PortalApi *api)
        : window(new MainWindow(QStringLiteral("tester"), api))
    {
        window->show();
        const QString url = portal.url(QStringLiteral("/game/xyj.html")).toString();
        window->createTab(QStringLiteral("muted"), url);
        window->createTab(QStringLiteral("loud"), url);
        auto *muted = qobject_cast<GamePage *>(window->tabWidget()->widget(2));
        muted->findChild<QToolButton *>(QStringLiteral("muteButton"))->click();
        mutedGame = muted->webView()->page();
        loudGame = qobject_cast<GamePage *>(window->tabWidget()->widget(3))->webView()->page();
    }
    ~Box()
    {
        delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    bool allMuted() const
    {
        const QList<QWebEngineView *> views = window->findChildren<QWebEngineView *>();
        return !views.isEmpty()
               && std::all_of(views.begin(), views.end(), [](QWebEngineView *v) { return v->page()->isAudioMuted(); });
    }
    bool ownStatesBack() const
    {
        return mutedGame->isAudioMuted() && !loudGame->isAudioMuted()
               && !qobject_cast<GamePage *>(window->tabWidget()->widget(0))->webView()->page()->isAudioMuted();
    }
};

