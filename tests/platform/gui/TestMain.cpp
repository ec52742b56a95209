// The window tests need the application object before any widget exists; they run headless.
// An exception that escapes a handler reaches the program's error box, and there the strict
// scripted services fail the running test, since no test scripts an answer for it.

#include <gtest/gtest.h>

#include "platform/gui/ScriptedUiServices.h"
#include "platform/gui/TessApplication.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    tessel::TTessApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    tessel::TScriptedUiServices unexpectedErrors;
    application.SetUiServices(&unexpectedErrors);
    const int result = RUN_ALL_TESTS();
    application.SetUiServices(nullptr);
    return result;
}
