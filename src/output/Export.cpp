#include "output/Export.h"

#include <QFileInfo>
#include <cstdio>

#include "document/CanvasEditor.h"
#include "document/CollageDocument.h"
#include "editing/AddPictures.h"
#include "engine/Codecs.h"
#include "engine/Errors.h"
#include "engine/ParallelRows.h"
#include "engine/PictureUtils.h"
#include "language/Language.h"
#include "persistence/ProjectFile.h"
#include "persistence/ProjectPreview.h"
#include "platform/Background.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

void ComposeCollage(TCollageDocument& doc, TBitmap32& picture) {
    std::string failure;
    if (!doc.RenderCollage(picture, &failure))
        throw EUserError(Lang("A layer of the collage could not be drawn; no picture was written.") + "\r" +
                         failure);
}

void WritePicture(const std::string& path, const TBitmap32& picture, TImageFormat format, int jpegQuality) {
    switch (format) {
    case TImageFormat::Jpeg:
        EncodeJPEGFile(path, picture, jpegQuality);
        break;
    case TImageFormat::Bmp:
        EncodeBMPFile(path, picture);
        break;
    case TImageFormat::Gif:
        EncodeGIFFile(path, picture);
        break;
    case TImageFormat::Png:
        EncodePNGFile(path, picture, 9);
        break;
    }
}

bool FormatOfExtension(const std::string& path, TImageFormat& format) {
    const std::string ext = LowerExtension(path);
    if (ext == ".jpg" || ext == ".jpeg")
        format = TImageFormat::Jpeg;
    else if (ext == ".bmp")
        format = TImageFormat::Bmp;
    else if (ext == ".gif")
        format = TImageFormat::Gif;
    else if (ext == ".png")
        format = TImageFormat::Png;
    else
        return false;
    return true;
}

bool SaveAsImageCommand(TCollageDocument& doc, TImageSaveDialogState& state) {
    TFileDialogRequest req;
    req.Filter = kImageFilter;
    req.DefaultExt = "jpg";
    req.InitialDir = state.Folder;
    req.FileName = state.FileName;
    req.FilterIndex = state.FilterIndex;
    const TFileDialogResult r = RunSaveDialog(req, [](const std::string& file) {
        return !FileExists(file) ||
               ConfirmReplace(ExtractFileName(file),
                              Lang("The file [%s] already exists, do you want to replace it?"),
                              Lang("Information"));
    });
    if (r.FileName.empty()) return false;
    state.Folder = ExtractFileDir(r.FileName);
    state.FileName = ExtractFileName(r.FileName);
    state.FilterIndex = r.FilterIndex;
    const int index = std::clamp(r.FilterIndex, 1, 4);
    TBusyScope busy;
    TBitmap32 picture;
    ComposeCollage(doc, picture);
    // encoding takes seconds for a large page: the window keeps repainting
    RunKeepingEventsFlowing([&] { WritePicture(r.FileName, picture, TImageFormat(index)); });
    return true;
}

std::string WallpaperFile() {
    const std::string root = ResourceRoot();
    const QFileInfo dir(QString::fromStdString(root));
    if (dir.isDir() && dir.isWritable()) return root + "VelmoraWallpaper.bmp";
    ForceDirectories(UserDataFolder());
    return UserDataFolder() + "/VelmoraWallpaper.bmp";
}

void SetCollageAsWallpaper(TCollageDocument& doc, TWallpaperStyle style, const TCommandRunner& run) {
    TBusyScope busy;
    TBitmap32 picture;
    ComposeCollage(doc, picture);
    const std::string file = WallpaperFile();
    EncodeBMPFile(file, picture);
    // The desktop's own tools do the rest; when they fail the desktop stays
    // as it was.
    SetDesktopWallpaper(QFileInfo(QString::fromStdString(file)).absoluteFilePath().toStdString(), style,
                        DetectDesktop(), run);
}

namespace {
// Swallows what loading shows in message boxes: the command line reports
// the failures it is given, one line each.
class TSilentMessages final : public TMessageService {
public:
    void Error(const std::string&) override {}
    void Info(const std::string&) override {}
    TAnswer Ask(const std::string&, const std::string&, TButtons) override { return TAnswer::No; }
};

struct TMessagesScope {
    TSilentMessages Silent;
    TMessageService* Previous = &MessageService();
    TMessagesScope() { SetMessageService(&Silent); }
    ~TMessagesScope() { SetMessageService(Previous); }
};

// One failure: "velmora: what: file: reason" (no file: "velmora: what:
// reason"); line breaks inside become spaces, so it stays one line.
void PrintFailure(const std::string& what, const std::string& file, const std::string& reason) {
    std::string line = "velmora: " + what + ": " + (file.empty() ? "" : file + ": ") + reason;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    std::fprintf(stderr, "%s\n", line.c_str());
}

std::string WhatFailed(const TLoadFailure& f) {
    if (f.Layer <= 0) return "project";
    return "layer " + std::to_string(f.Layer) + (f.Kind.empty() ? "" : " (" + f.Kind + ")");
}

// Opens the project headless; on failure prints every failure and returns
// false.
bool OpenForCommandLine(TCollageDocument& doc, const std::string& project, int previewSide) {
    std::vector<TLoadFailure> failures;
    TLoadOptions options;
    options.Failures = &failures;
    options.PreviewSide = previewSide;
    const bool opened = LoadProject(doc, project, options);
    if (opened && failures.empty()) return true;
    if (failures.empty()) failures.push_back({0, "", project, "the project could not be opened"});
    for (const TLoadFailure& f : failures) PrintFailure(WhatFailed(f), f.File, f.Reason);
    return false;
}

// The project's placeholders, bottom first.
std::vector<TNewRotLayer*> Placeholders(TCollageDocument& doc) {
    std::vector<TNewRotLayer*> out;
    for (int i = 0; i < doc.LayerCount(); ++i)
        if (TNewRotLayer* l = doc.ContentLayerAt(i); l && l->ImageType == itPlaceholder) out.push_back(l);
    return out;
}

// Puts the photos into the placeholders; prints the failure and returns its
// exit status, or ExitOk.
int FillPlaceholders(TCollageDocument& doc, const std::vector<std::string>& photos) {
    if (photos.empty()) return ExitOk;
    const std::vector<TNewRotLayer*> targets = Placeholders(doc);
    if (photos.size() > targets.size()) {
        PrintFailure("--fill", "",
                     std::to_string(photos.size()) + " photos for " + std::to_string(targets.size()) +
                         (targets.size() == 1 ? " placeholder" : " placeholders"));
        return ExitFill;
    }
    // every photo is read before any goes in, on the cores the program may use
    std::vector<TBitmap32> pictures(photos.size());
    std::vector<std::string> failures(photos.size());
    ForEachJob(int(photos.size()), [&](int i) {
        try {
            DecodePictureFile(photos[size_t(i)], pictures[size_t(i)]);
        } catch (const EUserError& e) {
            failures[size_t(i)] = e.File().empty() ? e.what() : e.Reason();
        } catch (const std::exception& e) {
            failures[size_t(i)] = e.what();
        }
    });
    int status = ExitOk;
    for (size_t i = 0; i < photos.size(); ++i)
        if (!failures[i].empty()) {
            PrintFailure("--fill photo " + std::to_string(i + 1), photos[i], failures[i]);
            status = ExitFill;
        }
    if (status != ExitOk) return status;
    TCanvasEditor editor(doc);
    for (size_t i = 0; i < photos.size(); ++i) {
        TNewRotLayer& target = *targets[i];
        // a locked placeholder keeps its place, but a script still fills it
        const bool locked = target.Locked;
        target.Locked = false;
        const bool dropped = DropPhotoOnLayer(editor, target, photos[i], &pictures[i]);
        target.Locked = locked;
        pictures[i].SetSize(0, 0);
        if (!dropped) {
            PrintFailure("--fill photo " + std::to_string(i + 1), photos[i], "the picture is empty");
            return ExitFill;
        }
    }
    return ExitOk;
}

// Writes the picture; prints the failure and returns ExitOutput when it
// cannot be written.
int WriteOutput(const std::string& output, const TBitmap32& picture, TImageFormat format, int jpegQuality) {
    try {
        WritePicture(output, picture, format, jpegQuality);
    } catch (const EUserError& e) {
        PrintFailure("output", e.File().empty() ? output : e.File(),
                     e.File().empty() ? e.what() : e.Reason());
        return ExitOutput;
    } catch (const std::exception& e) {
        PrintFailure("output", output, e.what());
        return ExitOutput;
    }
    return ExitOk;
}

int Guarded(const std::function<int()>& run) {
    try {
        return run();
    } catch (const std::bad_alloc&) {
        PrintFailure("memory", "", "not enough memory");
    } catch (const std::exception& e) {
        PrintFailure("render", "", ErrorMessage(e));
    }
    return ExitProject;
}
} // namespace

int RunCommandLineExport(const std::string& project, const std::string& output,
                         const TExportOptions& options) {
    TImageFormat format;
    if (!FormatOfExtension(output, format)) {
        PrintFailure("output", output, "the name must end in .jpg, .jpeg, .png, .gif or .bmp");
        return ExitUsage;
    }
    if (options.JpegQuality < 1 || options.JpegQuality > 100) {
        PrintFailure("--jpeg-quality", "", std::to_string(options.JpegQuality) + " is not within 1..100");
        return ExitUsage;
    }
    TMessagesScope quiet;
    return Guarded([&] {
        TCollageDocument doc;
        doc.SetScrollBoxSize(1000, 800);
        if (!OpenForCommandLine(doc, project, 0)) return int(ExitProject);
        if (const int fill = FillPlaceholders(doc, options.Fill); fill != ExitOk) return fill;
        TBitmap32 picture;
        if (!doc.RenderCollage(picture)) {
            PrintFailure("render", project, "a layer of the collage could not be drawn");
            return int(ExitProject);
        }
        return WriteOutput(output, picture, format, options.JpegQuality);
    });
}

int RunCommandLineThumbnail(const std::string& project, const std::string& output, int size,
                            const std::function<void()>& needRendering) {
    if (size < 1 || size > 4096) {
        PrintFailure("size", "", std::to_string(size) + " is not within 1..4096");
        return ExitUsage;
    }
    TMessagesScope quiet;
    return Guarded([&] {
        // file managers ask for a PNG whatever the name says
        // (a preview of the whole page serves whatever size is asked for:
        // the picture is never larger than the page)
        TBitmap32 preview;
        int pageW = 0, pageH = 0;
        if (ReadProjectPreview(project, preview, &pageW, &pageH)) {
            const int side = std::max(preview.Width(), preview.Height());
            if (side >= size || side >= std::max(pageW, pageH))
                return WriteOutput(output, FitPreview(preview, size), TImageFormat::Png, 90);
        }
        if (needRendering) needRendering();
        TCollageDocument doc;
        doc.SetScrollBoxSize(1000, 800);
        if (!OpenForCommandLine(doc, project, size)) return int(ExitProject);
        TBitmap32 page;
        if (!doc.RenderCollage(page)) {
            PrintFailure("render", project, "a layer of the collage could not be drawn");
            return int(ExitProject);
        }
        return WriteOutput(output, FitPreview(page, size), TImageFormat::Png, 90);
    });
}

std::string CommandLineHelp() {
    return "Usage: velmora [PROJECT.clv]\n"
           "       velmora --export PROJECT.clv OUTPUT [--fill PHOTO...] [--jpeg-quality N]\n"
           "       velmora --thumbnail PROJECT.clv OUTPUT.png SIZE\n"
           "\n"
           "Without options the collage editor starts; a project named on the command\n"
           "line is opened.\n"
           "\n"
           "  --export PROJECT OUTPUT  render the project (or a template) at its full page\n"
           "                           size and write it to OUTPUT without showing a\n"
           "                           window. The format follows OUTPUT's extension:\n"
           "                           .jpg/.jpeg (baseline), .png (with transparency),\n"
           "                           .gif (at most 256 colours) or .bmp (32-bit).\n"
           "  --fill PHOTO...          with --export: put the photos into the project's\n"
           "                           placeholders, bottom one first, each cropped to\n"
           "                           fill its box. More photos than placeholders is an\n"
           "                           error; fewer leave the rest as placeholders.\n"
           "  --jpeg-quality N         with --export: JPEG quality 1..100 (default 90)\n"
           "  --thumbnail PROJECT OUTPUT SIZE\n"
           "                           write a PNG picture of the project whose longer\n"
           "                           side is SIZE pixels (never larger than the page),\n"
           "                           for file managers.\n"
           "  --help                   show this text\n"
           "\n"
           "The command-line modes need no display. Every failure prints one line on\n"
           "standard error: what failed (the project, a layer with its number and kind,\n"
           "a --fill photo, the output), the file and the reason.\n"
           "\n"
           "Exit status:\n"
           "  0  success\n"
           "  1  the project, or a picture, mask or frame it names, cannot be read or drawn\n"
           "  2  the command line is wrong\n"
           "  3  a --fill photo cannot be read, or there are more photos than placeholders\n"
           "  4  the output file cannot be written\n";
}
