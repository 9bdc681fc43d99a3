#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <pugixml.hpp>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "document/EditorTestSupport.h"
#include "engine/Codecs.h"
#include "engine/Errors.h"
#include "output/Export.h"
#include "persistence/ProjectFile.h"
#include "persistence/ProjectPreview.h"
#include "platform/Background.h"
#include "platform/Paths.h"
#include "text/TextCommands.h"

namespace {
QByteArray Head(const std::string& path, int n) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(n);
}

// A small collage: a transparent page with one half-covering opaque layer.
struct TExportFixture : TEditorFixture {
    TExportFixture() {
        Doc.CollageSettings.BKType = 0;
        Doc.CollageSettings.Width = 200;
        Doc.CollageSettings.Height = 100;
        Doc.ApplyCanvasSettings();
        AddLayer({0, 0, 100, 100}, itPhoto, 10, 10, 0xFF20A040);
    }
};
} // namespace

TEST(ImageExport, TheFilterEntryDecidesTheFormatNotTheExtension) {
    TExportFixture f;
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    const std::string dir = MakeTempDir();
    dialogs.Results = {TFileDialogResult{dir + "/out.png", 1}};
    TImageSaveDialogState state;
    ASSERT_TRUE(SaveAsImageCommand(f.Doc, state));
    EXPECT_EQ(Head(dir + "/out.png", 2), QByteArray("\xFF\xD8", 2)); // JPEG data under a .png name
    EXPECT_EQ(dialogs.Requests[0].Filter, kImageFilter);
    EXPECT_EQ(dialogs.Requests[0].DefaultExt, "jpg");
    // composing and writing show a busy pointer, and only after the dialog
    EXPECT_EQ(messages.BusyStarts, 1);
    EXPECT_EQ(messages.BusyDepth, 0);
    // the dialog remembers folder, name and format for the next time
    dialogs.Results.push_back(TFileDialogResult{dir + "/b.bmp", 2});
    ASSERT_TRUE(SaveAsImageCommand(f.Doc, state));
    EXPECT_EQ(dialogs.Requests[1].InitialDir, dir);
    EXPECT_EQ(dialogs.Requests[1].FileName, "out.png");
    EXPECT_EQ(dialogs.Requests[1].FilterIndex, 1);
    EXPECT_EQ(state.FilterIndex, 2);
    const QByteArray bmp = Head(dir + "/b.bmp", 30);
    ASSERT_EQ(bmp.size(), 30);
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(uint8_t(bmp[28]), 32); // bits per pixel
    // an existing file is replaced only after a Yes: No offers the dialog
    // again with the name and format; cancelling then writes nothing
    dialogs.Results.push_back(TFileDialogResult{dir + "/b.bmp", 2});
    dialogs.Results.push_back(TFileDialogResult{});
    messages.Answers = {TAnswer::No};
    EXPECT_FALSE(SaveAsImageCommand(f.Doc, state));
    ASSERT_EQ(messages.Questions.size(), 1u);
    EXPECT_EQ(messages.Questions[0], "The file [b.bmp] already exists, do you want to replace it?");
    EXPECT_EQ(dialogs.Requests.back().FileName, "b.bmp");
    EXPECT_EQ(dialogs.Requests.back().FilterIndex, 2);
    EXPECT_EQ(messages.BusyStarts, 2);
    // a folder that does not exist: the failure names the file and the
    // reason, and leaves the busy pointer off before its message is shown
    dialogs.Results.push_back(TFileDialogResult{dir + "/no/such/folder/c.jpg", 1});
    try {
        SaveAsImageCommand(f.Doc, state);
        ADD_FAILURE() << "written into a missing folder";
    } catch (const EUserError& e) {
        EXPECT_EQ(e.Headline(), kPictureWriteFailed);
        EXPECT_EQ(e.File(), dir + "/no/such/folder/c.jpg");
        EXPECT_EQ(e.Reason(), "No such file or directory");
    }
    EXPECT_EQ(messages.BusyStarts, 3);
    EXPECT_EQ(messages.BusyDepth, 0);
    EXPECT_FALSE(f.Doc.Modified);
    EXPECT_FALSE(f.Doc.UndoHistory.CanUndo());
}

// Writing a large picture takes seconds: it runs on a helper thread while
// the window's thread goes on handling its events (a repaint, a timer), and
// a failure reaches the caller as before.
TEST(ImageExport, WritingLeavesTheWindowResponsive) {
    std::atomic<bool> timerRan{false};
    QTimer::singleShot(0, [&] { timerRan = true; });
    const std::thread::id window = std::this_thread::get_id();
    std::thread::id worker;
    RunKeepingEventsFlowing([&] {
        worker = std::this_thread::get_id();
        for (int i = 0; i < 1000 && !timerRan; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_TRUE(timerRan) << "the event loop ran while the work did";
    });
    EXPECT_NE(worker, window);
    EXPECT_THROW(RunKeepingEventsFlowing([] { throw EUserError("disk full"); }), EUserError);
}

TEST(ImageExport, PngKeepsTransparencyAndGifHasAPalette) {
    TExportFixture f;
    const std::string dir = MakeTempDir();
    TBitmap32 picture;
    ComposeCollage(f.Doc, picture);
    WritePicture(dir + "/a.png", picture, TImageFormat::Png);
    TBitmap32 back;
    DecodePNGToBitmapFile(dir + "/a.png", back);
    EXPECT_EQ(MaxChannelDiff(back, picture), 0);
    EXPECT_EQ(AlphaOf(back.Pixel(150, 50)), 0); // the uncovered page
    EXPECT_EQ(back.Pixel(50, 50), 0xFF20A040u);
    WritePicture(dir + "/a.gif", picture, TImageFormat::Gif);
    EXPECT_EQ(Head(dir + "/a.gif", 4), "GIF8");
    TBitmap32 gif;
    DecodeGIFFile(dir + "/a.gif", gif);
    // a transparent page comes out in the colour stored under it: white
    EXPECT_EQ(gif.Pixel(150, 50) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(gif.Pixel(50, 50) & 0xFFFFFF, 0x20A040u);
    WritePicture(dir + "/a.jpg", picture, TImageFormat::Jpeg);
    const QByteArray jpg = Head(dir + "/a.jpg", 4000);
    EXPECT_NE(jpg.indexOf(QByteArray("\xFF\xC0", 2)), -1); // baseline frame
    EXPECT_EQ(jpg.indexOf(QByteArray("\xFF\xC2", 2)), -1); // not progressive
}

TEST(ImageExport, ALayerIsDrawnOrNamedNeverLeftOut) {
    TExportFixture f;
    // 40200 pixels wide, far beyond the size of any picture: still drawn
    TNewRotLayer* wide = f.AddLayer({-20000, -20000, 20200, 20100}, itPhoto, 10, 10, 0xFF0000FF);
    wide->SourceFile = "/photos/wide.jpg";
    TBitmap32 picture;
    ComposeCollage(f.Doc, picture);
    EXPECT_EQ(picture.Pixel(150, 50), 0xFF0000FFu);
    // a shadow that size cannot be made: the export says which layer and why
    wide->SetShadowEnabled(true);
    try {
        ComposeCollage(f.Doc, picture);
        ADD_FAILURE() << "the shadow was left out without a word";
    } catch (const EUserError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "A layer of the collage could not be drawn; no picture was written.\r"
                  "/photos/wide.jpg: its shadow is too large to draw");
    }
}

TEST(Wallpaper, WritesTheBitmapAndAppliesTheStyleEveryTime) {
    TExportFixture f;
    const std::string root = MakeTempDir();
    SetResourceRoot(root);
    std::vector<TCommand> commands;
    auto runner = [&](const TCommand& c, std::string&) {
        commands.push_back(c);
        return 0;
    };
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    SetCollageAsWallpaper(f.Doc, TWallpaperStyle::Stretch, runner);
    const std::string file = root + "/VelmoraWallpaper.bmp";
    EXPECT_EQ(Head(file, 2), "BM");
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[2].Arguments.back(), "stretched");
    EXPECT_NE(commands[0].Arguments.back().find("VelmoraWallpaper.bmp"), std::string::npos);
    SetCollageAsWallpaper(f.Doc, TWallpaperStyle::Tile, runner);
    EXPECT_EQ(commands.size(), 6u);
    EXPECT_EQ(commands[5].Arguments.back(), "wallpaper");
    SetResourceRoot("");
}

TEST(CommandLineExport, RendersAProjectHeadlessWithExitCodes) {
    TExportFixture f;
    TScriptedMessages quiet;
    // a red text in the top right corner, over the transparent half
    TTextCommands text(f.Editor);
    TTextPageState page;
    page.Text = "Export";
    page.FontName = "Liberation Sans";
    page.SizeText = "30";
    page.Color = 0x0000FF;
    page.HorzAlign = 2;
    page.VertAlign = 0;
    ASSERT_EQ(text.RenderNewText(page), TTextResult::Done);
    const std::string dir = MakeTempDir();
    ASSERT_TRUE(SaveProject(f.Doc, dir + "/c.clv", false));
    TBitmap32 expected;
    ComposeCollage(f.Doc, expected);
    EXPECT_EQ(RunCommandLineExport(dir + "/c.clv", dir + "/c.png"), 0);
    TBitmap32 got;
    DecodePNGToBitmapFile(dir + "/c.png", got);
    EXPECT_EQ(MaxChannelDiff(got, expected), 0);
    int red = 0;
    for (int y = 0; y < got.Height(); ++y)
        for (int x = 100; x < got.Width(); ++x) red += got.Pixel(x, y) == 0xFFFF0000u;
    EXPECT_GT(red, 40);
    EXPECT_EQ(RunCommandLineExport(dir + "/missing.clv", dir + "/x.png"), ExitProject);
    EXPECT_EQ(RunCommandLineExport(dir + "/c.clv", dir + "/x.tif"), ExitUsage);
    EXPECT_EQ(RunCommandLineExport(dir + "/c.clv", dir + "/no/such/x.png"), ExitOutput);
    EXPECT_FALSE(FileExists(dir + "/x.png"));

    // the real program, with no display at all
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    p.setProcessEnvironment(env);
    const QString exe = QString(VELMORA_BUILD_BIN) + "/velmora";
    p.start(exe,
            {"--export", QString::fromStdString(dir + "/c.clv"), QString::fromStdString(dir + "/c.bmp")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(Head(dir + "/c.bmp", 2), "BM");
    p.start(exe,
            {"--export", QString::fromStdString(dir + "/nope.clv"), QString::fromStdString(dir + "/d.jpg")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    // one line: what failed, the file and the reason
    const QString err = p.readAllStandardError();
    EXPECT_EQ(err.toStdString(), "velmora: project: " + dir + "/nope.clv: No such file or directory\n");
    p.start(exe, {"--help"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QByteArray help = p.readAllStandardOutput();
    EXPECT_TRUE(help.contains("--export PROJECT OUTPUT"));
    EXPECT_TRUE(help.contains("--thumbnail PROJECT OUTPUT SIZE"));
    EXPECT_TRUE(help.contains("Exit status:"));
}

TEST(CommandLineExport, FillPutsPhotosIntoThePlaceholdersBottomFirst) {
    TScriptedMessages quiet;
    TEditorFixture f;
    f.Doc.CollageSettings.Width = 200;
    f.Doc.CollageSettings.Height = 100;
    f.Doc.ApplyCanvasSettings();
    f.AddLayer({0, 0, 100, 100}, itPlaceholder);
    f.AddLayer({100, 0, 200, 100}, itPlaceholder);
    const std::string dir = MakeTempDir();
    const std::string clv = dir + "/booth.clv";
    ASSERT_TRUE(SaveProject(f.Doc, clv, true));
    auto photo = [&](const char* name, int w, int h, TColor32 c) {
        TBitmap32 b;
        b.SetSize(w, h);
        b.Clear(c);
        EncodeJPEGFile(dir + "/" + name, b, 95);
        return dir + "/" + name;
    };
    const std::string red = photo("red.jpg", 300, 120, 0xFFE00000),
                      blue = photo("blue.jpg", 40, 90, 0xFF0000E0);
    auto pixel = [&](const std::string& png, int x, int y) {
        TBitmap32 b;
        DecodePNGToBitmapFile(dir + "/" + png, b);
        return b.Pixel(x, y);
    };
    auto run = [&](std::vector<std::string> photos, const std::string& out) {
        TExportOptions o;
        o.Fill = std::move(photos);
        return RunCommandLineExport(clv, dir + "/" + out, o);
    };
    ASSERT_EQ(run({}, "none.png"), ExitOk);
    const TColor32 empty = pixel("none.png", 150, 50);
    EXPECT_EQ(pixel("none.png", 50, 50), empty); // both still placeholders

    // as many as there are: the bottom placeholder gets the first, each
    // photo cropped to cover its whole box
    ASSERT_EQ(run({red, blue}, "two.png"), ExitOk);
    for (const int x : {2, 50, 97}) {
        EXPECT_GT(RedOf(pixel("two.png", x, 50)), 200) << x;
        EXPECT_LT(BlueOf(pixel("two.png", x, 50)), 40) << x;
    }
    for (const int y : {2, 97}) EXPECT_GT(BlueOf(pixel("two.png", 150, y)), 200) << y;
    // fewer: the rest stay placeholders
    ASSERT_EQ(run({blue}, "one.png"), ExitOk);
    EXPECT_GT(BlueOf(pixel("one.png", 50, 50)), 200);
    EXPECT_EQ(pixel("one.png", 150, 50), empty);
    // more than there are, or one that cannot be read: nothing is written
    EXPECT_EQ(run({red, blue, red}, "three.png"), ExitFill);
    EXPECT_EQ(run({red, dir + "/lost.jpg"}, "lost.png"), ExitFill);
    EXPECT_FALSE(FileExists(dir + "/three.png") || FileExists(dir + "/lost.png"));
    // the template itself is not changed
    TCollageDocument back;
    ASSERT_TRUE(LoadProject(back, clv, true));
    ASSERT_EQ(back.LayerCount(), 2);
    EXPECT_EQ(back.ContentLayerAt(0)->ImageType, itPlaceholder);
}

TEST(CommandLineThumbnail, TheSavedPreviewOrAQuickRenderAtTheAskedSize) {
    TExportFixture f;
    TScriptedMessages quiet;
    const std::string dir = MakeTempDir();
    const std::string clv = dir + "/t.clv";
    ASSERT_TRUE(SaveProject(f.Doc, clv, false));
    // saving keeps a preview in the project file (never larger than the
    // page) and gives the desktop's thumbnail cache its picture
    TBitmap32 preview;
    int pageW = 0, pageH = 0;
    ASSERT_TRUE(ReadProjectPreview(clv, preview, &pageW, &pageH));
    EXPECT_EQ(preview.Width(), 200);
    EXPECT_EQ(preview.Height(), 100);
    EXPECT_EQ(pageW, 200);
    TBitmap32 cached;
    DecodePNGToBitmapFile(DesktopThumbnailPath(clv, false), cached);
    EXPECT_EQ(cached.Width(), 128);

    auto thumbnail = [&](const std::string& out, int size) {
        TBitmap32 b;
        EXPECT_EQ(RunCommandLineThumbnail(clv, dir + "/" + out, size), ExitOk) << out;
        DecodePNGToBitmapFile(dir + "/" + out, b);
        return b;
    };
    for (const int size : {64, 150}) {
        const TBitmap32 t = thumbnail("p" + std::to_string(size) + ".png", size);
        EXPECT_EQ(t.Width(), size);
        EXPECT_EQ(t.Height(), size / 2);
        EXPECT_EQ(t.Pixel(size / 4, size / 4), 0xFF20A040u);    // the layer
        EXPECT_EQ(AlphaOf(t.Pixel(size * 3 / 4, size / 4)), 0); // the see-through page
    }
    // a project without a preview (written by an older program) is drawn
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_file(clv.c_str()));
    ASSERT_TRUE(xml.document_element().remove_child(kPreviewElement));
    ASSERT_TRUE(xml.save_file(clv.c_str()));
    ASSERT_FALSE(ReadProjectPreview(clv, preview));
    const TBitmap32 drawn = thumbnail("drawn.png", 64);
    EXPECT_EQ(drawn.Width(), 64);
    EXPECT_EQ(drawn.Height(), 32);
    EXPECT_EQ(drawn.Pixel(16, 16), 0xFF20A040u);
    EXPECT_EQ(AlphaOf(drawn.Pixel(48, 16)), 0);

    EXPECT_EQ(RunCommandLineThumbnail(dir + "/missing.clv", dir + "/m.png", 64), ExitProject);
    EXPECT_EQ(RunCommandLineThumbnail(clv, dir + "/z.png", 0), ExitUsage);
    EXPECT_EQ(RunCommandLineThumbnail(clv, dir + "/no/such/z.png", 64), ExitOutput);
    EXPECT_FALSE(FileExists(dir + "/m.png") || FileExists(dir + "/z.png"));
}
