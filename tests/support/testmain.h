#pragma once
#include "app/resources.h"
#include <QApplication>
#include <QtTest>
#include <vector>

// Runs Test unless the command line names another class first: then only that
// class runs, with the rest of the arguments (test functions, QtTest options).
template <typename Test> int runTestClass(int argc, char **argv, const char *onlyClass)
{
    if (onlyClass && qstrcmp(onlyClass, Test::staticMetaObject.className()) != 0)
        return 0;
    std::vector<char *> args(argv, argv + argc);
    if (onlyClass)
        args.erase(args.begin() + 1);
    Test t;
    return QTest::qExec(&t, int(args.size()), args.data());
}

// An area's main is: return runTests<TestA, TestB>(argc, argv);
template <typename... Tests> int runTests(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // before QApplication, or QtWebEngine warns
    QApplication app(argc, argv);
    initResources();
    const char *onlyClass = nullptr;
    if (argc > 1) {
        for (const char *name : {Tests::staticMetaObject.className()...}) {
            if (qstrcmp(argv[1], name) == 0)
                onlyClass = argv[1];
        }
    }
    int failures = 0;
    ((failures += runTestClass<Tests>(argc, argv, onlyClass)), ...);
    return failures;
}
