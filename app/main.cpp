#include "account/logindig.h"
#include "app/clientwindows.h"
#include "app/config.h"
#include "app/logging.h"
#include "app/resources.h"
#include "app/startup.h"
#include <QApplication>
#include <QIcon>
#include <QTextCodec>
#include <QTranslator>

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
    // Pages go before the application object, which takes the web profile
    // with it; a page outliving its profile crashes at exit.
    deleteClientWindows();
    qCDebug(lcApp) << "exit code" << exitCode;
    return exitCode;
}
