// Program entry: the editor's main window, or the headless export.
#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "output/Export.h"

namespace {
void PrintHelp() {
    std::printf(
        "Usage: velmora [PROJECT.clv]\n"
        "       velmora --export PROJECT.clv OUTPUT\n"
        "\n"
        "Without options the collage editor starts; a project named on the command\n"
        "line is opened.\n"
        "\n"
        "  --export PROJECT OUTPUT  render the project at full page resolution and\n"
        "                           write it to OUTPUT without showing a window. The\n"
        "                           format follows OUTPUT's extension: .jpg/.jpeg\n"
        "                           (baseline, quality 90), .png (with transparency),\n"
        "                           .gif (at most 256 colours) or .bmp (32-bit).\n"
        "                           Works without a display. Exit status 0 on\n"
        "                           success; otherwise a message on standard error\n"
        "                           (a file that failed and the reason on the lines\n"
        "                           after the first) and status 1.\n"
        "  --help                   show this text\n");
}
} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(argv[i], "--export") == 0) {
            if (argc - i != 3) {
                std::fprintf(stderr, "velmora: --export needs a project file and an output file (see --help)\n");
                return 2;
            }
            // Text layers need fonts, hence a GUI application; the offscreen
            // platform needs no display.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            // only the export's own message goes to standard error
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
            QGuiApplication app(argc, argv);
            return RunCommandLineExport(argv[i + 1], argv[i + 2]);
        }
    }
    TApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    TStartOptions options;
    options.Arguments = QApplication::arguments().mid(1);
    if (qEnvironmentVariableIsSet("VELMORA_NO_SPLASH")) options.ShowSplash = false;
    TMainForm form(options);
    form.show();
    return app.exec();
}
