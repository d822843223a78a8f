#include "gamepage.h"
#include "core/bridgejson.h"
#include "core/endpoints.h"
#include "core/logging.h"
#include "core/pagerequest.h"
#include "web/bridgeobject.h"
#include "web/loadretry.h"
#include "web/webview.h"
#include <QAction>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHash>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QString kToolStyle = QStringLiteral("color:gray;border-radius:3px;border:1px solid #F5F5F5;");
const QString kHorn = QStringLiteral(":/img/horn");
const QString kMute = QStringLiteral(":/img/mute");
// The engine's own Ctrl+wheel step and its limits.
constexpr qreal kZoomStep = 0.1;
constexpr qreal kMinZoom = 0.25;
constexpr qreal kMaxZoom = 5.0;

// A toolbar command: the action carries the picture, the words and the
// tool tip; the button shows the words beside the picture, or the picture
// alone (then named for screen readers by its tool tip).
QToolButton *toolButton(QAction *action, const QString &objectName, bool textBeside, QWidget *bar)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(objectName);
    button->setDefaultAction(action);
    button->setStyleSheet(kToolStyle);
    if (textBeside) {
        button->setIconSize(QSize(16, 16));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    } else {
        button->setIconSize(QSize(21, 21));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAccessibleName(action->toolTip());
    }
    return button;
}

// One icon per picture for all pages: an icon made afresh for each page
// leaves its scaled copies in the pixmap cache after the page is gone.
QIcon toolIcon(const QString &image)
{
    // Kept to the end of the process, past the application object that
    // pixmaps may not outlive.
    static auto *s_icons = new QHash<QString, QIcon>;
    auto it = s_icons->find(image);
    if (it == s_icons->end())
        it = s_icons->insert(image, QIcon(image));
    return *it;
}

QAction *command(const QString &icon, const QString &text, const QString &toolTip, QObject *parent)
{
    auto *action = new QAction(toolIcon(icon), text, parent);
    // Without a tip of its own, an action shows its text as one.
    action->setToolTip(toolTip);
    return action;
}
} // namespace

GamePage::GamePage(const QUrl &url, const QString &title, Kind kind, QWebEngineProfile *profile, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_title(title)
    , m_address(url)
    , m_view(new WebView(profile, this))
{
    m_view->setContentsMargins(0, 0, 0, 0);
    new LoadRetry(m_view);
    // The bridge before the first load, or the page finds no channel.
    m_bridge = installBridge(m_view);
    connect(m_bridge, &BridgeObject::messageReceived, this, &GamePage::handleBridgeMessage);
    connect(m_view, &WebView::loadFinished, this, [this](bool ok) {
        // A failed load is retried by the view's LoadRetry, with backoff.
        if (ok)
            qCInfo(lcWeb).noquote() << "page loaded:" << m_title;
    });
    connect(m_view, &WebView::urlChanged, this,
            [](const QUrl &now) { qCDebug(lcWeb).noquote() << "监听：" << Endpoints::urlForLog(now); });

    m_toolbar = createToolbar();
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_toolbar);
    outer->addWidget(m_view, 1);
    outer->setContentsMargins(5, 5, 5, 0);
    m_view->load(url);
}

GamePage::~GamePage() = default;

QWebEngineProfile *GamePage::profile() const
{
    return m_view->page()->profile();
}

QWidget *GamePage::createToolbar()
{
    auto *bar = new QWidget(this);
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    const auto browser = [](Endpoints::Address address) {
        return [address] { QDesktopServices::openUrl(Endpoints::url(address)); };
    };

    auto *altAccounts = command(QStringLiteral(":/img/xiaohao"), tr("小号"), QString(), this);
    auto *clear = command(QStringLiteral(":/img/clear"), tr("清理"), QString(), this);
    auto *gift = command(QStringLiteral(":/img/gift"), tr("礼包"), QString(), this);
    auto *detach = command(QStringLiteral(":/img/page"), tr("窗口分离"), tr("建议窗口分离游戏"), this);
    m_muteAction = command(kHorn, tr("静音"), tr("当前游戏静音"), this);
    auto *reminders = command(QStringLiteral(":/img/clock-2"), tr("闹钟"), tr("闹钟提醒"), this);
    auto *reload = command(QStringLiteral(":/img/refresh"), QString(), tr("刷新游戏"), this);
    auto *signIn = command(QStringLiteral(":/img/sign_in"), QString(), tr("签到"), this);
    auto *service = command(QStringLiteral(":/img/kefu"), QString(), tr("跳转到客服"), this);
    auto *pay = command(QStringLiteral(":/img/pay"), QString(), tr("跳转到充值"), this);
    auto *boss = command(QStringLiteral(":/img/boss_1"), QString(), tr("老板键"), this);
    connect(altAccounts, &QAction::triggered, this, &GamePage::altAccountsRequested);
    connect(clear, &QAction::triggered, this, &GamePage::clearCacheRequested);
    connect(gift, &QAction::triggered, this, browser(Endpoints::Address::Gift));
    connect(detach, &QAction::triggered, this, [this] {
        qCDebug(lcWeb).noquote() << "窗口分离：" << Endpoints::urlForLog(m_address);
        emit detachRequested();
    });
    connect(m_muteAction, &QAction::triggered, this, &GamePage::toggleMuted);
    connect(reminders, &QAction::triggered, this, &GamePage::remindersRequested);
    connect(reload, &QAction::triggered, this, &GamePage::reload);
    connect(signIn, &QAction::triggered, this, &GamePage::signInRequested);
    connect(service, &QAction::triggered, this, browser(Endpoints::Address::CustomerService));
    connect(pay, &QAction::triggered, this, browser(Endpoints::Address::PayHome));
    connect(boss, &QAction::triggered, this, &GamePage::bossKeyRequested);

    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(toolButton(altAccounts, QStringLiteral("xiaohaoButton"), true, bar));
    layout->addWidget(toolButton(clear, QStringLiteral("clearButton"), true, bar));
    layout->addWidget(toolButton(gift, QStringLiteral("giftButton"), true, bar));
    if (!isFixed()) {
        layout->addWidget(toolButton(detach, QStringLiteral("detachButton"), true, bar));
        layout->addWidget(toolButton(m_muteAction, QStringLiteral("muteButton"), true, bar));
    }
    layout->addWidget(toolButton(reminders, QStringLiteral("clockButton"), true, bar));
    layout->addStretch();
    layout->addWidget(toolButton(reload, QStringLiteral("reloadButton"), false, bar));
    layout->addWidget(toolButton(signIn, QStringLiteral("signInButton"), false, bar));
    layout->addWidget(toolButton(service, QStringLiteral("kefuButton"), false, bar));
    layout->addWidget(toolButton(pay, QStringLiteral("payButton"), false, bar));
    layout->addWidget(toolButton(boss, QStringLiteral("bossButton"), false, bar));
    return bar;
}

void GamePage::handleBridgeMessage(int code, const QString &str, const QString &json)
{
    const BridgeMessage message = BridgeMessage::parse(code, str, json);
    qCDebug(lcWeb).noquote() << "QDebug-pageweb" << code << message.forLog();
    const PageRequest request = decidePageMessage(message);
    if (!request.warning.isEmpty())
        qCWarning(lcWeb).noquote() << request.warning;
    switch (request.action) {
    case PageRequest::Nothing:
        break;
    case PageRequest::SearchTab:
        qCDebug(lcWeb) << "搜索";
        if (hasOwner(code))
            emit searchTabRequested();
        break;
    case PageRequest::OpenTab:
    case PageRequest::EnterGame:
        openTab(request, code);
        break;
    case PageRequest::OpenInBrowser:
        if (m_view->allowOpen(QStringLiteral("browser ") + Endpoints::urlForLog(request.url)))
            QDesktopServices::openUrl(request.url);
        break;
    case PageRequest::AddReminder:
        if (hasOwner(code) && m_view->allowOpen(QStringLiteral("reminder dialog")))
            emit reminderRequested(request.game, request.server, request.time);
        break;
    }
}

bool GamePage::hasOwner(int code) const
{
    if (!m_standalone)
        return true;
    qCWarning(lcWeb).noquote() << "no main window for the page's" << code << "request; dropped";
    return false;
}

void GamePage::openTab(const PageRequest &request, int code)
{
    const bool enterGame = request.action == PageRequest::EnterGame;
    const QUrl url = request.url;
    qCDebug(lcWeb).noquote() << (enterGame ? "QDebug-进入游戏" : "QDebug") << Endpoints::urlForLog(url);
    if (!hasOwner(code) || !m_view->allowOpen(QStringLiteral("tab ") + Endpoints::urlForLog(url)))
        return;
    if (enterGame)
        emit enterGameRequested(request.title, url);
    else
        emit openTabRequested(request.title, url);
}

void GamePage::reload()
{
    m_view->reload();
}

void GamePage::zoomIn()
{
    setZoom(m_view->zoomFactor() + kZoomStep);
}

void GamePage::zoomOut()
{
    setZoom(m_view->zoomFactor() - kZoomStep);
}

void GamePage::resetZoom()
{
    setZoom(1.0);
}

void GamePage::setZoom(qreal factor)
{
    // On whole steps, so that going in and out again comes back to 100 %.
    m_view->setZoomFactor(qBound(kMinZoom, std::round(factor / kZoomStep) * kZoomStep, kMaxZoom));
}

void GamePage::back()
{
    m_view->back();
}

void GamePage::forward()
{
    m_view->forward();
}

void GamePage::toggleMuted()
{
    m_userMuted = !m_userMuted;
    applyMuted();
}

void GamePage::setSilenced(bool silenced)
{
    m_silenced = silenced;
    applyMuted();
}

void GamePage::applyMuted()
{
    m_view->page()->setAudioMuted(m_userMuted || m_silenced);
    m_muteAction->setIcon(toolIcon(m_userMuted ? kMute : kHorn));
}

void GamePage::setDetached(bool detached)
{
    m_toolbar->setVisible(!detached);
    layout()->setContentsMargins(detached ? QMargins(1, 0, 1, 1) : QMargins(5, 5, 5, 0));
}

void GamePage::setStandalone()
{
    m_standalone = true;
}
