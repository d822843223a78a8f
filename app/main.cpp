#include "account/logindig.h"
#include "app/config.h"
#include "app/logging.h"
#include "app/resources.h"
#include "app/startup.h"
#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <QTextCodec>
#include <QTranslator>

namespace {
// Windows that hold web views must go before the application object, which
// takes the web profile with it; a page outliving its profile crashes at exit.
void deleteTopLevelWindows()
{
    QList<QPointer<QWidget>> windows;
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget *window : topLevels)
        windows.append(window);
    for (const QPointer<QWidget> &window : qAsConst(windows))
        delete window.data(); // deleting one may already have taken another
    // Objects that follow a deleted window (a tab's page handler) go too.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

int main(int argc, char *argv[])
{
    disableSandboxWhenRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    quitOnTerminationSignals();
    initResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/img/icon_16x16"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/img/icon_32x32"), QSize(32, 32));
    QApplication::setWindowIcon(icon);
    applyApplicationFont();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    QTranslator translator;
    const QStringList uiLanguages = QLocale::system().uiLanguages();
    installTranslation(&translator, uiLanguages);

    applyWebEngineDefaults();
    ensureHotkeyDefaults();

    auto *login = new LoginDig(true);
    login->show();

    const int exitCode = app.exec();
    deleteTopLevelWindows();
    qCDebug(lcApp) << "exit code" << exitCode;
    return exitCode;
}
