// The floor the client is measured against: a bare web-engine program that
// shows the same pages with the same bridge object and nothing else. It
// follows the client's flow, so the two do the same work: a small login view,
// then, on the login message (code 2), a window of tabs with the home and
// search pages; each game a page asks for (codes 3 and 10) is one more tab,
// freed when its close button is clicked. The login view is freed after the
// login, as the client frees its login window.
//
//   kavo-bench-floor HOST:PORT
#include "app/startup.h"
#include "web/bridgeobject.h"
#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>

namespace {
// A view with its own channel and "interactObj", as every page of the client has.
QWebEngineView *bridgedView(const QUrl &url, QWidget *parent, BridgeObject **bridge)
{
    auto *view = new QWebEngineView(parent);
    auto *channel = new QWebChannel(view);
    *bridge = new BridgeObject(view);
    channel->registerObject(QStringLiteral("interactObj"), *bridge);
    view->page()->setWebChannel(channel);
    view->load(url);
    return view;
}

class Floor : public QObject
{
public:
    explicit Floor(const QString &hostPort)
        : m_base(QStringLiteral("http://") + hostPort)
    {
        // The client's login window: 320 x 400 of a 640 x 480 view.
        m_login = new QWidget;
        m_login->setWindowFlags(Qt::FramelessWindowHint);
        m_login->resize(320, 400);
        BridgeObject *bridge = nullptr;
        bridgedView(QUrl(m_base + QStringLiteral("/Kavobox2")), m_login, &bridge)->setGeometry(0, 0, 640, 480);
        connect(bridge, &BridgeObject::messageReceived, this, [this](int code) {
            if (code == 2)
                QMetaObject::invokeMethod(this, &Floor::openMainWindow, Qt::QueuedConnection);
        });
        m_login->show();
    }

    ~Floor() override
    {
        delete m_tabs;
        delete m_login;
    }

private:
    void openMainWindow()
    {
        if (m_tabs)
            return;
        delete m_login;
        m_login = nullptr;
        m_tabs = new QTabWidget;
        m_tabs->setWindowFlags(Qt::FramelessWindowHint);
        m_tabs->setTabsClosable(true);
        m_tabs->resize(1052, 860);
        connect(m_tabs, &QTabWidget::tabCloseRequested, this, [this](int index) {
            QWidget *view = m_tabs->widget(index);
            if (index < 2 || !view)
                return;
            m_tabs->removeTab(index);
            view->deleteLater();
        });
        // The home page is shown, as in the client; the fixed tabs have no close button.
        addTab(QStringLiteral("Kavo首页"), QUrl(m_base + QStringLiteral("/landers.html")), false);
        addTab(QStringLiteral("找游戏"), QUrl(m_base + QStringLiteral("/search.html")), false);
        QTabBar *bar = m_tabs->tabBar();
        const auto side = QTabBar::ButtonPosition(bar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, bar));
        for (int fixed = 0; fixed < 2; ++fixed) {
            QWidget *button = bar->tabButton(fixed, side);
            bar->setTabButton(fixed, side, nullptr);
            delete button;
        }
        m_tabs->show();
    }

    void addTab(const QString &title, const QUrl &url, bool game)
    {
        BridgeObject *bridge = nullptr;
        QWebEngineView *view = bridgedView(url, m_tabs, &bridge);
        const int index = m_tabs->addTab(view, title);
        if (game)
            m_tabs->setCurrentIndex(index);
        connect(bridge, &BridgeObject::messageReceived, this, [this](int code, const QString &, const QString &json) {
            if (code != 3 && code != 10)
                return;
            const QJsonObject game = QJsonDocument::fromJson(json.toUtf8()).object();
            addTab(game.value(QStringLiteral("title")).toString(), QUrl(game.value(QStringLiteral("url")).toString()), true);
        });
    }

    QString m_base;
    QWidget *m_login = nullptr;
    QTabWidget *m_tabs = nullptr;
};
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s HOST:PORT\n", argv[0]);
        return 2;
    }
    QApplication::setQuitOnLastWindowClosed(false);
    quitOnTerminationSignals(); // so that the benchmark's SIGTERM takes the web engine's helpers along
    int exitCode = 0;
    {
        Floor floor(QString::fromLocal8Bit(argv[1]));
        exitCode = app.exec();
    }
    return exitCode;
}
