#pragma once
#include <QPointer>
#include <QWidget>

class LoadingDialog;
struct LoginRequest;
class QDialog;
class QTimer;
class BridgeObject;
class WebView;

// The first window: a small frameless window whose whole surface is the
// member server's login page. The page draws every control and drives the
// window through the bridge; the window also runs the automatic login. It
// frees itself when closed; its owner closes it after a login.
class LoginWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kAutoLoginTimeoutMs = 6000;
    static constexpr int kAutoLoginIntervalMs = 3000;

    // allowAutoLogin is false for a window opened to switch accounts.
    explicit LoginWindow(bool allowAutoLogin, QWidget *parent = nullptr);
    ~LoginWindow() override;

    WebView *webView() const { return m_webView; }
    LoadingDialog *loadingDialog() const;
    QDialog *qqDialog() const;
    QDialog *wxDialog() const;

signals:
    // Reaches the login page (connected to its bridge).
    void SigSendMessageToJS(QString strParameter);
    // The page reported a successful login for this user.
    void loginSucceeded(const QString &name);
    // A social login page is about to load: it must not come from a cache.
    void socialLoginOpening();

public slots:
    void OnReceiveMessageFromJS(int code, QString str, QString json);
    void maploadfinish(bool finish);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Social { QQ, WeChat };

    void openSocialDialog(Social which);
    void onLoginSucceeded(const LoginRequest &request);
    void onAutoLoginTimeout();

    WebView *m_webView = nullptr;
    QPointer<BridgeObject> m_interactObj; // the newest bridge: login page, then social dialogs
    QPointer<QDialog> m_wxDialog;         // social dialogs free themselves when closed
    QPointer<QDialog> m_qqDialog;
    QList<QPointer<QDialog>> m_socialDialogs; // every one still open, older ones too
    bool m_loggedIn = false;
    QTimer *m_timeoutTimer = nullptr;
    QTimer *m_autoLoginTimer = nullptr;
    bool m_allowAutoLogin = false;
    bool m_autoLoginEnabled = false; // sys/autoLogin when the window was made
    QPointer<LoadingDialog> m_loadingDialog; // top-level, owned by this window
};
