// Switching the language: every menu text, label and list is translated
// again, every button picture is loaded afresh from the library and gets its
// caption painted, and the window repaints. Measured on the whole main
// window, English to German and back, one switch per iteration.

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "app/ui/MainForm.h"
#include "chrome/ui/WindowChrome.h"
#include "language/Language.h"
#include "platform/Paths.h"

namespace {

void BM_LanguageSwitchRepaintsEveryCaption(benchmark::State& state) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    TStartOptions options;
    options.ShowSplash = false;
    options.EnableStartTimer = false;
    TMainForm form(options);
    form.resize(1280, 860);
    form.show();
    QApplication::processEvents();
    if (LanguageFiles().empty()) {
        state.SkipWithError("no language file in the library");
        return;
    }
    int language = 0;
    for (auto _ : state) {
        form.LanguageItemClick(language);
        form.repaint(); // the window, every button with it
        language = language == 0 ? -1 : 0;
    }
    state.counters["buttons"] = double(form.Chrome->Buttons().size());
}
BENCHMARK(BM_LanguageSwitchRepaintsEveryCaption)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The captions alone: loading the pictures and painting onto them.
void BM_PaintButtonCaptions(benchmark::State& state) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    TStartOptions options;
    options.ShowSplash = false;
    options.EnableStartTimer = false;
    TMainForm form(options);
    for (auto _ : state) form.PaintButtonCaptions();
}
BENCHMARK(BM_PaintButtonCaptions)->Unit(benchmark::kMillisecond);

} // namespace
