#pragma once
#include <QPointer>
#include <QWidget>

class BridgeObject;
class Config;
class LoadingDialog;
struct LoginRequest;
class QDialog;
class QTimer;
class QWebEngineProfile;
class WebView;

// The first window: a small frameless window whose whole surface is the
// member server's login page. The page draws every control and drives the
// window through the bridge; the window also runs the automatic login. The
// page's title bar (its top kDragStripHeight pixels) moves the window, and
// the same strip moves the QQ and WeChat dialogs. It frees itself when
// closed; its owner closes it after a login.
class LoginWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kAutoLoginTimeoutMs = 6000;
    static constexpr int kAutoLoginIntervalMs = 3000;
    static constexpr int kDragStripHeight = 40;

    // allowAutoLogin is false for a window opened to switch accounts.
    LoginWindow(Config *config, QWebEngineProfile *profile, bool allowAutoLogin);
    ~LoginWindow() override;

    WebView *webView() const { return m_webView; }
    LoadingDialog *loadingDialog() const;
    QDialog *qqDialog() const;
    QDialog *wxDialog() const;
    // Shown, not minimised, raised and active; while the automatic login
    // hides it, its waiting dialog comes up instead.
    void comeToFront();

signals:
    // The page reported a successful login for this user.
    void loginSucceeded(const QString &name);
    // A social login page is about to load: it must not come from a cache.
    void socialLoginOpening();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Social { QQ, WeChat };

    void handleBridgeMessage(int code, const QString &str, const QString &json);
    void onLoadFinished(bool ok);
    void openSocialDialog(Social which);
    void onLoginSucceeded(const LoginRequest &request);
    void onAutoLoginTimeout();

    QWebEngineProfile *m_profile;
    WebView *m_webView = nullptr;
    BridgeObject *m_bridge = nullptr; // the login page's
    QPointer<QDialog> m_wxDialog; // social dialogs free themselves when closed
    QPointer<QDialog> m_qqDialog;
    QList<QPointer<QDialog>> m_socialDialogs; // every one still open, older ones too
    bool m_loggedIn = false;
    QTimer *m_timeoutTimer = nullptr;
    QTimer *m_autoLoginTimer = nullptr;
    bool m_allowAutoLogin = false;
    bool m_autoLoginEnabled = false; // sys/autoLogin when the window was made
    QPointer<LoadingDialog> m_loadingDialog; // top-level, owned by this window
};
