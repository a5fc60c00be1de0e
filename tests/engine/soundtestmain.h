#pragma once

#include "engine/reading/audiooutput.h"

#include <QTest>

// The test mains of QTest, for tests that play sound: they end through AudioOutput::exitProcess,
// past a teardown of Qt's sound server connection that can abort the exit.
#define PARLORA_SOUND_TEST_MAIN_WITH(Application, TestObject)                                      \
    int main(int argc, char *argv[])                                                              \
    {                                                                                              \
        int status = 0;                                                                            \
        QTest::Internal::callInitMain<TestObject>();                                               \
        {                                                                                          \
            Application application(argc, argv);                                                   \
            Application::setAttribute(Qt::AA_Use96Dpi, true);                                      \
            TestObject test;                                                                       \
            QTEST_SET_MAIN_SOURCE_PATH                                                             \
            status = QTest::qExec(&test, argc, argv);                                              \
        }                                                                                          \
        AudioOutput::exitProcess(status);                                                          \
    }

#define PARLORA_SOUND_TEST_MAIN(TestObject) PARLORA_SOUND_TEST_MAIN_WITH(QApplication, TestObject)
#define PARLORA_SOUND_TEST_GUILESS_MAIN(TestObject) PARLORA_SOUND_TEST_MAIN_WITH(QCoreApplication, TestObject)
