#pragma once
#include "box/mainwindow.h"
#include "box/tabwidget.h"
#include "support/boxfixture.h"
#include "support/lookup.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include <QLabel>
#include <QToolButton>
#include <algorithm>

inline bool shows(QLabel *label, const QString &image)
{
    return label->pixmap(Qt::ReturnByValue).toImage() == QPixmap(image).toImage();
}

// A shown main window with a game tab the user has muted and one that plays.
struct TwoGames {
    MainWindow *window;
    QWebEnginePage *mutedGame = nullptr;
    QWebEnginePage *loudGame = nullptr;

    explicit TwoGames(BoxFixture &box)
        : window(box.openWindow())
    {
        const QUrl url = box.portal.url(QStringLiteral("/game/xyj.html"));
        GamePage *muted = window->openGame(QStringLiteral("muted"), url);
        muted->findChild<QToolButton *>(QStringLiteral("muteButton"))->click();
        mutedGame = muted->webView()->page();
        loudGame = window->openGame(QStringLiteral("loud"), url)->webView()->page();
    }
    QLabel *control(const QString &name) const { return childCalled<QLabel>(window, name); }
    bool allMuted() const
    {
        const QList<GamePage *> pages = window->tabs()->pages();
        return std::all_of(pages.begin(), pages.end(), [](GamePage *p) { return p->webView()->page()->isAudioMuted(); });
    }
    bool ownStatesBack() const
    {
        return mutedGame->isAudioMuted() && !loudGame->isAudioMuted()
               && !window->tabs()->page(0)->webView()->page()->isAudioMuted();
    }
};
