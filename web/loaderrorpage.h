#pragma once
#include <QWidget>

class LoadRetry;
class QLabel;
class QTimer;

// Our own page for a small window whose page cannot be loaded (the login
// window and the social login dialogs), where the engine's error page would
// be cut off and leave no way out: "无法连接到服务器", the seconds until the
// next retry, "重试" to retry at once and "关闭". It covers its host window
// from the first failure until a load succeeds. It is drawn over the view,
// not loaded into it, so showing it is neither a load nor a failure: the
// backoff and the automatic login never see it.
class LoadErrorPage : public QWidget
{
    Q_OBJECT

public:
    LoadErrorPage(LoadRetry *retry, QWidget *host);

signals:
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showOverHost();
    void updateCountdown();

    LoadRetry *m_retry;
    QLabel *m_countdown = nullptr;
    QTimer *m_tick = nullptr;
};
