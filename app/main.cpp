#include "app/client.h"
#include "core/datadir.h"
#include "core/logging.h"
#include "core/memory.h"
#include "core/singleinstance.h"
#include "app/resources.h"
#include "app/startup.h"
#include <QApplication>
#include <QIcon>
#include <QTextCodec>
#include <QTranslator>
#include <QWebEngineProfile>

int main(int argc, char *argv[])
{
    limitMemoryArenas();
    disableSandboxWhenRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    // Lets the desktop match our windows with the menu entry and its icon.
    QGuiApplication::setDesktopFileName(applicationId());
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

    // One box per user and data folder: a second start brings the first
    // one to the front and ends, having opened and written nothing.
    SingleInstance single(dataDir());
    if (single.handOver())
        return 0;

    int exitCode = 0;
    {
        // Goes before the application object, and takes every window with a
        // page with it: a page outliving the web profile crashes at exit.
        Client client(QWebEngineProfile::defaultProfile());
        QObject::connect(&client, &Client::finished, &app, &QCoreApplication::quit);
        QObject::connect(&single, &SingleInstance::activationRequested, &client, &Client::bringToFront);
        client.start();
        exitCode = app.exec();
    }
    qCDebug(lcApp) << "exit code" << exitCode;
    return exitCode;
}
