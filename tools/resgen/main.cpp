// velmora_resgen OUTPUT_FOLDER: draws the resource library into the folder.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <thread>

#include "Library.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora_resgen OUTPUT_FOLDER\n");
        return 2;
    }
    // Text on the splash needs fonts, hence a GUI application (offscreen).
    QGuiApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();
    resgen::TGenerateOptions options;
#ifdef RESGEN_SOURCE_DIR
    options.LanguagesSource = RESGEN_SOURCE_DIR "/languages";
    options.HelpSource = RESGEN_SOURCE_DIR "/help";
#endif
    options.Threads = std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
    if (qEnvironmentVariableIsSet("RESGEN_THREADS")) options.Threads = qEnvironmentVariableIntValue("RESGEN_THREADS");
    options.Verbose = qEnvironmentVariableIsSet("RESGEN_VERBOSE");
    options.Only = qEnvironmentVariable("RESGEN_ONLY").toStdString();
    try {
        const int files = resgen::GenerateLibrary(argv[1], options);
        std::printf("resource library: %d files in %.1f s\n", files, timer.elapsed() / 1000.0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora_resgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
