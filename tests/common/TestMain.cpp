// Test entry: the program's application object on the offscreen platform
// (widget tests need it, text rendering needs at least a QGuiApplication) and
// a private HOME and configuration folder, so tests never touch the real
// user's files.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/ui/Application.h"

// Leaks inside system libraries the program does not own (fonts, Qt's
// platform plugins) are not the program's; the leak checker skips them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libQt6\nleak:libglib\nleak:libdbus\nleak:libgobject\n";
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    if (qEnvironmentVariableIsEmpty("VELMORA_RESOURCES")) qputenv("VELMORA_RESOURCES", VELMORA_BUILD_BIN);
    TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
