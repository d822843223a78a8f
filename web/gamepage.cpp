#include "gamepage.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include "core/bridgejson.h"
#include "web/bridgeobject.h"
#include "web/loadretry.h"
#include "core/pagerequest.h"
#include "web/webview.h"
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QMetaMethod>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kToolStyle = QStringLiteral("color:gray;border-radius:3px;border:1px solid #F5F5F5;");
const QString kHorn = QStringLiteral(":/img/horn");
const QString kMute = QStringLiteral(":/img/mute");

QToolButton *toolButton(const QString &objectName, const QString &icon, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(QIcon(icon));
    button->setStyleSheet(kToolStyle);
    button->setToolTip(toolTip);
    return button;
}

QToolButton *textButton(const QString &objectName, const QString &text, const QString &icon,
                        const QString &toolTip, QWidget *parent)
{
    QToolButton *button = toolButton(objectName, icon, toolTip, parent);
    button->setText(text);
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

QToolButton *iconButton(const QString &objectName, const QString &icon, const QString &toolTip, QWidget *parent)
{
    QToolButton *button = toolButton(objectName, icon, toolTip, parent);
    button->setIconSize(QSize(21, 21));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAccessibleName(toolTip);
    return button;
}

void openInBrowser(Endpoints::Address address)
{
    QDesktopServices::openUrl(Endpoints::url(address));
}

} // namespace

GamePage::GamePage(QWidget *parent)
    : QWidget(parent)
{
}

GamePage::~GamePage() = default;

void GamePage::setUrl(const QString &url)
{
    m_pendingUrl = url;
}

WebView *GamePage::webView() const
{
    return m_view;
}

BridgeObject *GamePage::bridgeObject() const
{
    return m_bridgeObject;
}

QWidget *GamePage::createPageWidget(MainWindow *, const QString &title, int hideExtras, WebView *existingView)
{
    m_pageUrl = m_pendingUrl;
    m_pageTitle = title;

    m_toolbar = new QWidget(this);
    QWidget *bar = m_toolbar;
    auto *xiaohao = textButton(QStringLiteral("xiaohaoButton"), tr("小号"), QStringLiteral(":/img/xiaohao"), QString(), bar);
    auto *clear = textButton(QStringLiteral("clearButton"), tr("清理"), QStringLiteral(":/img/clear"), QString(), bar);
    auto *gift = textButton(QStringLiteral("giftButton"), tr("礼包"), QStringLiteral(":/img/gift"), QString(), bar);
    auto *detach = textButton(QStringLiteral("detachButton"), tr("窗口分离"), QStringLiteral(":/img/page"),
                              tr("建议窗口分离游戏"), bar);
    m_muteButton = textButton(QStringLiteral("muteButton"), tr("静音"), kHorn, tr("当前游戏静音"), bar);
    auto *clock = textButton(QStringLiteral("clockButton"), tr("闹钟"), QStringLiteral(":/img/clock-2"), tr("闹钟提醒"), bar);
    connect(clear, &QToolButton::clicked, this, &GamePage::btn_clearDialog);
    connect(detach, &QToolButton::clicked, this, &GamePage::btn_separationWindow);
    connect(xiaohao, &QToolButton::clicked, this, &GamePage::altAccountsRequested);
    connect(clock, &QToolButton::clicked, this, &GamePage::remindersRequested);
    connect(gift, &QToolButton::clicked, this, &GamePage::btn_open_gift);
    connect(m_muteButton, &QToolButton::clicked, this, &GamePage::btn_mute);
    if (hideExtras == 1) {
        detach->hide();
        m_muteButton->hide();
    }

    if (existingView) {
        qCDebug(lcWeb) << "老页面";
        adoptView(existingView);
    } else {
        qCDebug(lcWeb) << "新页面";
        auto *view = new WebView(this);
        view->setContentsMargins(0, 0, 0, 0);
        new LoadRetry(view);
        adoptView(view);
        view->load(QUrl(m_pageUrl));
    }

    auto *reload = iconButton(QStringLiteral("reloadButton"), QStringLiteral(":/img/refresh"), tr("刷新游戏"), bar);
    auto *signIn = iconButton(QStringLiteral("signInButton"), QStringLiteral(":/img/sign_in"), tr("签到"), bar);
    auto *kefu = iconButton(QStringLiteral("kefuButton"), QStringLiteral(":/img/kefu"), tr("跳转到客服"), bar);
    auto *pay = iconButton(QStringLiteral("payButton"), QStringLiteral(":/img/pay"), tr("跳转到充值"), bar);
    auto *boss = iconButton(QStringLiteral("bossButton"), QStringLiteral(":/img/boss_1"), tr("老板键"), bar);
    connect(signIn, &QToolButton::clicked, this, &GamePage::signInRequested);
    connect(reload, &QToolButton::clicked, this, &GamePage::btn_reload);
    connect(kefu, &QToolButton::clicked, this, &GamePage::btn_open_kefu);
    connect(pay, &QToolButton::clicked, this, &GamePage::btn_open_pay);
    connect(boss, &QToolButton::clicked, this, &GamePage::btn_boss);

    auto *toolbar = new QHBoxLayout(m_toolbar);
    toolbar->setContentsMargins(0, 0, 0, 0);
    toolbar->setSpacing(10);
    for (QToolButton *button : {xiaohao, clear, gift, detach, m_muteButton, clock})
        toolbar->addWidget(button);
    toolbar->addStretch();
    for (QToolButton *button : {reload, signIn, kefu, pay, boss})
        toolbar->addWidget(button);

    auto *outer = new QVBoxLayout(this);
    m_toolbar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    outer->addWidget(m_toolbar);
    outer->addWidget(m_view, 1);
    outer->setContentsMargins(5, 5, 5, 0);
    return this;
}

void GamePage::adoptView(WebView *view)
{
    view->setParent(this);
    m_view = view;
    // The bridge belongs to the view; a view that never had one gets it now,
    // before its page can ask for the channel.
    m_bridgeObject = view->findChild<BridgeObject *>(QString(), Qt::FindDirectChildrenOnly);
    if (!m_bridgeObject)
        m_bridgeObject = installBridge(view);

    connect(view, &WebView::loadFinished, this, &GamePage::maploadfinish);
    connect(view, &WebView::urlChanged, this, &GamePage::urlchange);
    connect(view, &WebView::opennewpage, this, &GamePage::addpage);
    connect(view->page(), &QWebEnginePage::audioMutedChanged, this, &GamePage::updateMuteIcon);
    connect(m_bridgeObject, &BridgeObject::SigReceivedMessFromJS, this, &GamePage::OnReceiveMessageFromJS);
    connect(this, &GamePage::SigSendMessageToJS, m_bridgeObject, &BridgeObject::SigSendMessageToJS);
    updateMuteIcon(view->page()->isAudioMuted());
}

void GamePage::maploadfinish(bool finish)
{
    // A failed load is retried by the view's LoadRetry, with backoff.
    if (finish)
        qCDebug(lcWeb).noquote() << "page loaded:" << m_pageTitle;
}

void GamePage::urlchange(const QUrl &url)
{
    qCDebug(lcWeb).noquote() << "监听：" << Endpoints::urlForLog(url);
}

void GamePage::addpage(WebView *view)
{
    qCDebug(lcWeb) << "addpage";
    if (!hasTaker(QMetaMethod::fromSignal(&GamePage::openViewRequested), QStringLiteral("new window"))) {
        view->deleteLater();
        return;
    }
    emit openViewRequested(tr("充值"), view);
}

bool GamePage::hasTaker(const QMetaMethod &signal, const QString &request) const
{
    // A detached game outlives its main window (after "切换账号"); what only a
    // main window can do has nobody to do it then.
    if (isSignalConnected(signal))
        return true;
    qCWarning(lcWeb).noquote() << "no main window for the page's" << request << "request; dropped";
    return false;
}

void GamePage::OnReceiveMessageFromJS(int code, QString str, QString json)
{
    qCDebug(lcWeb).noquote() << "QDebug-pageweb" << code << bridgeJsonForLog(str) << bridgeJsonForLog(json);
    const PageRequest request = decidePageMessage(code, json);
    switch (request.action) {
    case PageRequest::Nothing:
        if (!request.warning.isEmpty())
            qCWarning(lcWeb).noquote() << request.warning;
        break;
    case PageRequest::SearchTab:
        qCDebug(lcWeb) << "搜索";
        if (hasTaker(QMetaMethod::fromSignal(&GamePage::searchTabRequested), QString::number(code)))
            emit searchTabRequested();
        break;
    case PageRequest::OpenTab:
    case PageRequest::EnterGame:
        openTab(request, code);
        break;
    case PageRequest::OpenInBrowser:
        if (m_view && m_view->allowOpen(QStringLiteral("browser ") + Endpoints::urlForLog(QUrl(request.url))))
            QDesktopServices::openUrl(QUrl(request.url));
        break;
    case PageRequest::AddReminder:
        if (!hasTaker(QMetaMethod::fromSignal(&GamePage::reminderRequested), QString::number(code)))
            return;
        if (!request.warning.isEmpty())
            qCWarning(lcWeb).noquote() << request.warning;
        if (m_view && m_view->allowOpen(QStringLiteral("reminder dialog")))
            emit reminderRequested(request.game, request.server, request.time);
        break;
    }
}

void GamePage::openTab(const PageRequest &request, int code)
{
    const bool enterGame = request.action == PageRequest::EnterGame;
    const QUrl url(request.url);
    qCDebug(lcWeb).noquote() << (enterGame ? "QDebug-进入游戏" : "QDebug") << Endpoints::urlForLog(url);
    const QMetaMethod signal = QMetaMethod::fromSignal(enterGame ? &GamePage::enterGameRequested
                                                                 : &GamePage::openTabRequested);
    if (!hasTaker(signal, QString::number(code)))
        return;
    if (!m_view || !m_view->allowOpen(QStringLiteral("tab ") + Endpoints::urlForLog(url)))
        return;
    if (enterGame)
        emit enterGameRequested(request.title, request.url);
    else
        emit openTabRequested(request.title, request.url);
}

void GamePage::setDetached(bool detached)
{
    m_toolbar->setVisible(!detached);
    layout()->setContentsMargins(detached ? QMargins(1, 0, 1, 1) : QMargins(5, 5, 5, 0));
}

void GamePage::btn_separationWindow()
{
    qCDebug(lcWeb).noquote() << "窗口分离：" << Endpoints::urlForLog(QUrl(m_pageUrl));
    emit detachRequested();
}

void GamePage::btn_clearDialog()
{
    emit clearCacheRequested();
}

void GamePage::btn_reload()
{
    if (m_view)
        m_view->reload();
}

void GamePage::btn_mute()
{
    if (!m_view)
        return;
    QWebEnginePage *page = m_view->page();
    page->setAudioMuted(!page->isAudioMuted());
}

void GamePage::updateMuteIcon(bool muted)
{
    if (m_muteButton)
        m_muteButton->setIcon(QIcon(muted ? kMute : kHorn));
}

void GamePage::btn_boss()
{
    emit hideToTrayRequested();
}

void GamePage::btn_open_gift()
{
    openInBrowser(Endpoints::Address::Gift);
}

void GamePage::btn_open_kefu()
{
    openInBrowser(Endpoints::Address::CustomerService);
}

void GamePage::btn_open_pay()
{
    openInBrowser(Endpoints::Address::PayHome);
}
