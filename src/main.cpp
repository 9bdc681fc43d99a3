// Program entry: the editor's main window; later also the command-line
// export.
#include <QApplication>

#include "app/ui/MainForm.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    TStartOptions options;
    options.Arguments = QApplication::arguments().mid(1);
    if (qEnvironmentVariableIsSet("VELMORA_NO_SPLASH")) options.ShowSplash = false;
    TMainForm form(options);
    form.show();
    return app.exec();
}
