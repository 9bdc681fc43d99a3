// Typing into the text page: one keystroke on a selected two-line text layer
// is the layer drawn again from the page, its screen picture rebuilt and the
// history step brought up to date (the keystrokes of one typing merge into
// one step). At em size 100, and at 400 with a glow of pen width 10.
// Also the first opening of the text page: building it, showing it and
// dropping down its font list, whose items are drawn in their own faces.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include "document/CanvasEditor.h"
#include "text/TextCommands.h"
#include "text/ui/TextPage.h"

namespace {

struct TTypingScene {
    TCollageDocument Doc;
    TCanvasEditor Editor{Doc};
    TTextCommands Text{Editor};
    TTextPageState Page;
    TTypingScene(int size, bool glow) {
        Doc.CollageSettings.BKType = 1;
        Doc.CollageSettings.Width = 2400;
        Doc.CollageSettings.Height = 1600;
        Doc.SetScrollBoxSize(1000, 700); // the page shown at about 40 %
        Doc.ApplyCanvasSettings();
        Doc.SetZoom(40);
        Page.FontName = "Liberation Sans";
        Page.SizeText = std::to_string(size);
        Page.Color = 0x37AFD4;
        Page.Halation = glow;
        Page.HalationSize = 10;
        Page.Text = "Happy Birthday\r\nto you";
        Text.RenderNewText(Page, TTextSource::TextBox);
    }
};

void Keystrokes(benchmark::State& state) {
    TTypingScene scene(int(state.range(0)), state.range(1) != 0);
    const std::string base = scene.Page.Text;
    int n = 0;
    for (auto _ : state) {
        // a letter typed, then taken back
        scene.Page.Text = base + (n++ % 2 ? "" : "!");
        scene.Text.RenderModifiedText(scene.Page, TTextSource::TextBox);
    }
    const TNewRotLayer* layer = scene.Text.SelectedText();
    state.counters["picture_px"] = double(layer->Picture.PixelCount());
}
BENCHMARK(Keystrokes)
    ->ArgNames({"size", "glow"})
    ->Args({100, 0})
    ->Args({400, 1})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The first opening in this process is the one that pays for the font
// database; it is timed once by hand (run this benchmark alone, with
// --benchmark_filter=OpenTextPage, for a cold figure), later openings by the
// loop.
void OpenTextPage(benchmark::State& state) {
    static double first = -1;
    auto open = [] {
        auto* page = new TTextPage;
        page->resize(284, 560);
        page->show();
        page->suiFontComboBoxFont->showPopup();
        QApplication::processEvents();
        page->suiFontComboBoxFont->view()->viewport()->repaint();
        page->suiFontComboBoxFont->hidePopup();
        delete page;
    };
    if (first < 0) {
        QElapsedTimer clock;
        clock.start();
        open();
        first = clock.nsecsElapsed() / 1e6;
    }
    for (auto _ : state) open();
    state.counters["first_ms"] = first;
}
BENCHMARK(OpenTextPage)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
