#pragma once
#include <QObject>
#include <QtTest>
#include <functional>

// Base of every test class. While a test class runs, a warning of the
// client's own categories ("kavo.*") that the test did not declare with
// QTest::ignoreMessage fails the running test: an unexpected warning is a bug.
class TestCase : public QObject
{
    Q_OBJECT
private slots:
    // QtTest calls this first, once its own message handler is in place.
    void initTestCase_data();
};

// Each test class registers itself in its own .cpp with KAVO_TEST(Class); an
// area's executable runs them all, or the one named first on the command
// line (then the rest of the arguments go to QtTest).
int registerTest(const char *className, std::function<int(int, char **)> run);

// Runs the registered classes in a fresh application; the number of failures.
int runRegisteredTests(int argc, char **argv);

#define KAVO_TEST(Class)                                                                                   \
    static const int kavoRegistered##Class = registerTest(#Class, [](int argc, char **argv) {             \
        Class test;                                                                                       \
        return QTest::qExec(&test, argc, argv);                                                           \
    });
