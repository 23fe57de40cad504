#pragma once

#include "support/TestEnvironment.h"

#include <QApplication>
#include <QTest>

/// Like QTEST_MAIN, but in a private home with a fixed locale and time zone, on the offscreen
/// platform unless the caller chose another.
#define ZENTO_QTEST_MAIN(TestClass)                                                                          \
    int main(int argc, char** argv) {                                                                        \
        zento::test::isolateTestEnvironment();                                                               \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestClass tc;                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
