#include "loginwindow.h"
#include "core/loginrequest.h"
#include "core/config.h"
#include "core/logging.h"
#include "core/bridgejson.h"
#include "core/endpoints.h"
#include "web/bridgeobject.h"
#include "web/loaderrorpage.h"
#include "web/loadretry.h"
#include "web/pagedragstrip.h"
#include "web/webview.h"
#include "widgets/framelessmover.h"
#include "widgets/loadingdialog.h"
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>

LoginWindow::LoginWindow(Config *config, QWebEngineProfile *profile, bool allowAutoLogin)
    : QWidget(nullptr)
    , m_profile(profile)
    , m_allowAutoLogin(allowAutoLogin)
{
    // Once the main window is open (or the user closed the login window),
    // its page and renderer have nothing more to do.
    setAttribute(Qt::WA_DeleteOnClose);
    resize(320, 400);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint);
    // No frame shows it, but task bars and screen readers name the window by it.
    setWindowTitle(tr("Kavo游戏盒子"));
    // A frameless window gets no placement from most window managers.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // Dragged by whatever of it the page leaves to the window.
    new FramelessMover(this, WindowZones::Frame{0, 400, 0});

    // The page is laid out for a 640 x 480 view of which the window shows the
    // top-left 320 x 400, so the view keeps that size and no layout is used.
    m_webView = new WebView(profile, this);
    m_webView->setGeometry(0, 0, 640, 480);
    new PageDragStrip(m_webView, kDragStripHeight);
    auto *errorPage = new LoadErrorPage(new LoadRetry(m_webView), this);
    connect(errorPage, &LoadErrorPage::closeRequested, this, &QWidget::close);
    // The page puts its cursor in the user name field; keys must reach it
    // from the start, not only after a click or Tab.
    setFocusProxy(m_webView);

    m_autoLoginEnabled = config->value(Settings::kAutoLogin).toBool();

    m_bridge = installBridge(m_webView);
    connect(m_bridge, &BridgeObject::messageReceived, this, &LoginWindow::handleBridgeMessage);
    connect(m_webView, &WebView::loadFinished, this, &LoginWindow::onLoadFinished);

    m_loadingDialog = new LoadingDialog;

    m_timeoutTimer = new QTimer(this);
    m_timeoutTimer->setObjectName(QStringLiteral("autoLoginTimeout"));
    connect(m_timeoutTimer, &QTimer::timeout, this, &LoginWindow::onAutoLoginTimeout);
    m_timeoutTimer->start(kAutoLoginTimeoutMs);

    // Connected once: each tick asks the page exactly once, however often it loads.
    m_autoLoginTimer = new QTimer(this);
    m_autoLoginTimer->setObjectName(QStringLiteral("autoLoginTimer"));
    connect(m_autoLoginTimer, &QTimer::timeout, this,
            [this] { emit m_bridge->SigSendMessageToJS(QStringLiteral("autoLogin")); });

    m_webView->load(Endpoints::url(Endpoints::Address::LoginPage));
}

LoginWindow::~LoginWindow()
{
    delete m_loadingDialog.data();
    for (const QPointer<QDialog> &dialog : qAsConst(m_socialDialogs))
        delete dialog.data();
}

LoadingDialog *LoginWindow::loadingDialog() const
{
    return m_loadingDialog;
}

QDialog *LoginWindow::qqDialog() const
{
    return m_qqDialog;
}

QDialog *LoginWindow::wxDialog() const
{
    return m_wxDialog;
}

void LoginWindow::comeToFront()
{
    QWidget *front = m_loadingDialog && m_loadingDialog->isVisible() ? static_cast<QWidget *>(m_loadingDialog) : this;
    front->setWindowState(front->windowState() & ~Qt::WindowMinimized);
    front->show();
    front->raise();
    front->activateWindow();
}

void LoginWindow::onLoadFinished(bool ok)
{
    qCDebug(lcAccount) << "finish:" << ok;
    if (!ok)
        return; // the view's LoadRetry tries again
    qCInfo(lcAccount) << "login page loaded";
    if (!m_autoLoginEnabled || !m_allowAutoLogin)
        return;

    qCDebug(lcAccount) << "自动登录";
    if (!m_autoLoginTimer->isActive())
        m_autoLoginTimer->start(kAutoLoginIntervalMs);
    // Hidden only while the time-out is pending: once it has brought the
    // window back, a later load (a retry, a reload, the page reloading
    // itself) must not hide it again, or nothing would ever show it.
    if (!m_timeoutTimer->isActive())
        return;
    m_loadingDialog->setTips(tr("自动登录中，请稍等"));
    m_loadingDialog->show();
    hide();
}

void LoginWindow::onAutoLoginTimeout()
{
    qCDebug(lcAccount) << "超时";
    m_loadingDialog->close();
    show();
    m_timeoutTimer->stop();
}

void LoginWindow::handleBridgeMessage(int code, const QString &str, const QString &json)
{
    const BridgeMessage message = BridgeMessage::parse(code, str, json);
    qCDebug(lcAccount).noquote() << "QDebug_login" << code << message.forLog();
    const LoginRequest request = decideLoginMessage(message);
    // The page that sent it: the login page's or a social dialog's view.
    auto *bridge = qobject_cast<BridgeObject *>(sender());
    auto *view = bridge ? qobject_cast<WebView *>(bridge->parent()) : m_webView;
    switch (request.action) {
    case LoginRequest::Nothing:
        break;
    case LoginRequest::Close:
        close();
        break;
    case LoginRequest::LoggedIn:
        onLoginSucceeded(request);
        break;
    case LoginRequest::Minimize:
        showMinimized();
        break;
    case LoginRequest::OpenInBrowser:
        if (!view || view->allowOpen(QStringLiteral("browser ") + Endpoints::urlForLog(request.url)))
            QDesktopServices::openUrl(request.url);
        break;
    case LoginRequest::OpenWeChatLogin:
    case LoginRequest::OpenQqLogin: {
        const bool qq = request.action == LoginRequest::OpenQqLogin;
        if (!view || view->allowOpen(qq ? QStringLiteral("QQ login dialog") : QStringLiteral("WeChat login dialog")))
            openSocialDialog(qq ? Social::QQ : Social::WeChat);
        break;
    }
    }
}

void LoginWindow::openSocialDialog(Social which)
{
    const bool qq = which == Social::QQ;
    auto *dialog = new QDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(qq ? tr("QQ登录") : tr("微信登录"));
    dialog->setWindowIcon(QIcon(qq ? QStringLiteral("://img/qq") : QStringLiteral("://img/wx")));
    dialog->setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    // The page is made for exactly this size; any other leaves grey space.
    dialog->setFixedSize(640, 480);

    auto *view = new WebView(m_profile, dialog);
    view->setGeometry(0, 0, 640, 480);
    new PageDragStrip(view, kDragStripHeight);
    auto *errorPage = new LoadErrorPage(new LoadRetry(view), dialog);
    connect(errorPage, &LoadErrorPage::closeRequested, dialog, &QWidget::close);
    // Authorisation pages must never come from the cache; this holds for the
    // whole default profile, game pages opened later included.
    emit socialLoginOpening();
    connect(installBridge(view), &BridgeObject::messageReceived, this, &LoginWindow::handleBridgeMessage);
    view->load(Endpoints::url(qq ? Endpoints::Address::QqLogin : Endpoints::Address::WeChatLogin));

    (qq ? m_qqDialog : m_wxDialog) = dialog;
    m_socialDialogs.removeAll(nullptr);
    m_socialDialogs.append(dialog);
    dialog->setFocusProxy(view);
    dialog->show();
    dialog->activateWindow();
}

void LoginWindow::onLoginSucceeded(const LoginRequest &request)
{
    qCDebug(lcAccount) << "登录成功";
    if (m_loggedIn) {
        // The page and a social dialog may both report before the window goes.
        qCDebug(lcAccount) << "already logged in; message ignored";
        return;
    }
    m_autoLoginTimer->stop();
    m_loadingDialog->close();
    // Older dialogs of the same kind too: none may linger once logged in.
    for (const QPointer<QDialog> &dialog : qAsConst(m_socialDialogs)) {
        if (dialog)
            dialog->close();
    }
    m_socialDialogs.clear();

    if (!request.warning.isEmpty()) {
        qCWarning(lcAccount).noquote() << request.warning;
        return;
    }
    qCInfo(lcAccount).noquote() << "QDebug-login-username:" << request.name;
    m_loggedIn = true;
    m_timeoutTimer->stop();
    emit loginSucceeded(request.name);
}

void LoginWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Window managers activate a new window themselves; without one (or when
    // the time-out brings the window back) the page would not get the keys.
    activateWindow();
    m_webView->setFocus();
}

void LoginWindow::closeEvent(QCloseEvent *event)
{
    // A closed login window stays closed: neither the time-out nor the
    // automatic login may bring it back or keep talking to its page.
    m_timeoutTimer->stop();
    m_autoLoginTimer->stop();
    if (m_loadingDialog)
        m_loadingDialog->close();
    QWidget::closeEvent(event);
}
