// Program entry: the editor's main window, or the command line for scripts
// and file managers (export, thumbnail).
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "output/Export.h"
#include "platform/Paths.h"

namespace {
constexpr const char* kApplicationId = "org.velmora.Velmora";

int Usage(const std::string& why) {
    std::fprintf(stderr, "velmora: %s (see --help)\n", why.c_str());
    return ExitUsage;
}

bool IsOption(const char* arg) {
    return std::strncmp(arg, "--", 2) == 0;
}

// The command-line modes run without a window. Text layers need fonts,
// hence a GUI application, on the offscreen platform that needs no display.
std::unique_ptr<QGuiApplication> HeadlessApplication(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // only the program's own lines go to standard error
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return std::make_unique<QGuiApplication>(argc, argv);
}

// The icon from the desktop's icon theme; a program run from its build tree
// (or a theme without it) takes the icon files beside its library.
QIcon ApplicationIcon() {
    QIcon icon = QIcon::fromTheme(kApplicationId);
    if (!icon.isNull()) return icon;
    const QString root = QString::fromStdString(ResourceRoot());
    for (const QString& base : {root + "icons/hicolor/", root + "../icons/hicolor/"})
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QString file = base + QString("%1x%1/apps/").arg(size) + kApplicationId + ".png";
            if (QFileInfo::exists(file)) icon.addFile(file, QSize(size, size));
        }
    return icon;
}

int Export(int& argc, char** argv, int at) {
    if (argc - at < 3 || IsOption(argv[at + 1]) || IsOption(argv[at + 2]))
        return Usage("--export needs a project file and an output file");
    TExportOptions options;
    for (int i = at + 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fill") == 0) {
            for (; i + 1 < argc && !IsOption(argv[i + 1]); ++i) options.Fill.push_back(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--jpeg-quality") == 0) {
            char* end = nullptr;
            const long q = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
            if (i + 1 >= argc || *end != '\0' || q < 1 || q > 100)
                return Usage("--jpeg-quality needs a number from 1 to 100");
            options.JpegQuality = int(q);
            ++i;
        } else {
            return Usage(std::string("unknown argument ") + argv[i]);
        }
    }
    auto app = HeadlessApplication(argc, argv);
    return RunCommandLineExport(argv[at + 1], argv[at + 2], options);
}

int Thumbnail(int& argc, char** argv, int at) {
    if (argc - at != 4) return Usage("--thumbnail needs a project file, an output file and a size");
    char* end = nullptr;
    const long size = std::strtol(argv[at + 3], &end, 10);
    if (*end != '\0' || size < 1 || size > 4096) return Usage("the size must be a number from 1 to 4096");
    // A preview kept in the project needs no application at all: file
    // managers run thumbnailers for every file they show.
    std::unique_ptr<QGuiApplication> app;
    return RunCommandLineThumbnail(argv[at + 1], argv[at + 2], int(size),
                                   [&] { app = HeadlessApplication(argc, argv); });
}
} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(CommandLineHelp().c_str(), stdout);
            return ExitOk;
        }
        if (std::strcmp(argv[i], "--export") == 0) return Export(argc, argv, i);
        if (std::strcmp(argv[i], "--thumbnail") == 0) return Thumbnail(argc, argv, i);
        if (IsOption(argv[i])) return Usage(std::string("unknown option ") + argv[i]);
    }
    TApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    // the desktop entry the window belongs to (its icon, its name in the
    // task switcher)
    QGuiApplication::setDesktopFileName(kApplicationId);
    QApplication::setWindowIcon(ApplicationIcon());
    TStartOptions options;
    options.Arguments = QApplication::arguments().mid(1);
    if (qEnvironmentVariableIsSet("VELMORA_NO_SPLASH")) options.ShowSplash = false;
    TMainForm form(options);
    form.show();
    return app.exec();
}
