#include "testmain.h"
#include "app/resources.h"
#include "support/webtools.h"
#include <QApplication>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QtTest/private/qtestlog_p.h>
#include <vector>

namespace {
struct Registered {
    const char *name;
    std::function<int(int, char **)> run;
};

std::vector<Registered> &registry()
{
    static std::vector<Registered> tests;
    return tests;
}

QtMessageHandler s_testLogHandler = nullptr;

void failOnUnexpectedWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool ours = type == QtWarningMsg && context.category && qstrncmp(context.category, "kavo.", 5) == 0;
    // QtTest swallows a message the test declared, and strikes it off its list.
    const int declaredBefore = QTestLog::unhandledIgnoreMessages();
    s_testLogHandler(type, context, message);
    if (ours && QTestLog::unhandledIgnoreMessages() == declaredBefore)
        QTest::qFail(qPrintable(QStringLiteral("unexpected warning: ") + message), __FILE__, __LINE__);
}
} // namespace

void TestCase::initTestCase_data()
{
    s_testLogHandler = qInstallMessageHandler(failOnUnexpectedWarnings);
}

int registerTest(const char *className, std::function<int(int, char **)> run)
{
    registry().push_back({className, std::move(run)});
    return int(registry().size());
}

int runRegisteredTests(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // before QApplication, or QtWebEngine warns
    QApplication app(argc, argv);
    initResources();
    QTemporaryDir storage;
    auto *profile = new QWebEngineProfile(QStringLiteral("kavo-tests"));
    profile->setPersistentStoragePath(storage.filePath(QStringLiteral("storage")));
    profile->setCachePath(storage.filePath(QStringLiteral("cache")));
    setTestProfile(profile);

    std::vector<char *> args(argv, argv + argc);
    const char *only = nullptr;
    for (const Registered &test : registry()) {
        if (argc > 1 && qstrcmp(argv[1], test.name) == 0)
            only = test.name;
    }
    if (only)
        args.erase(args.begin() + 1);
    int failures = 0;
    for (const Registered &test : registry()) {
        if (!only || qstrcmp(only, test.name) == 0)
            failures += test.run(int(args.size()), args.data());
    }
    // Every page is gone by now; the profile goes before the application.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setTestProfile(nullptr);
    delete profile;
    return failures;
}
