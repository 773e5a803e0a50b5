#pragma once
// main() for the tests that need the program's own application object, with
// the window-closing quit switched off so that one test may close a window
// without ending the event loops of the next.

#include "app/application.h"

#include <QTest>

#define PELMORA_APP_TEST_MAIN(TestObject)                                                          \
    int main(int argc, char** argv) {                                                              \
        app::Application application(argc, argv);                                                  \
        application.setAttribute(Qt::AA_Use96Dpi, true);                                           \
        application.setQuitOnLastWindowClosed(false);                                              \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
