#include "output/Export.h"

#include <QFileInfo>
#include <cstdio>

#include "document/CollageDocument.h"
#include "engine/Codecs.h"
#include "engine/Errors.h"
#include "language/Language.h"
#include "persistence/ProjectFile.h"
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

void WritePicture(const std::string& path, const TBitmap32& picture, TImageFormat format) {
    switch (format) {
    case TImageFormat::Jpeg:
        EncodeJPEGFile(path, picture, 90);
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
// Collects what loading reports instead of showing it: a headless export
// fails on the first message.
class TCollectedMessages final : public TMessageService {
public:
    void Error(const std::string& m) override { Add(m); }
    void Info(const std::string& m) override { Add(m); }
    TAnswer Ask(const std::string& m, const std::string&, TButtons) override {
        Add(m);
        return TAnswer::No;
    }
    std::string First;

private:
    void Add(const std::string& m) {
        if (First.empty()) First = m;
    }
};

// "velmora: " and the first line of the message; the lines after it (the
// file and the reason) follow as they are.
void PrintFailure(const std::string& message) {
    std::string text = message;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    for (char& c : text)
        if (c == '\r') c = '\n';
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::fprintf(stderr, "velmora: %s\n", text.c_str());
}
} // namespace

int RunCommandLineExport(const std::string& project, const std::string& output) {
    TCollectedMessages messages;
    SetMessageService(&messages);
    int status = 0;
    try {
        TImageFormat format;
        if (!FormatOfExtension(output, format))
            throw EUserError("the output must end in .jpg, .jpeg, .png, .gif or .bmp: " + output);
        TCollageDocument doc;
        doc.SetScrollBoxSize(1000, 800);
        if (!LoadProject(doc, project, false) || !messages.First.empty())
            throw EUserError(messages.First.empty() ? "the project could not be opened: " + project
                                                    : messages.First);
        TBitmap32 picture;
        ComposeCollage(doc, picture);
        WritePicture(output, picture, format);
    } catch (const std::exception& e) {
        PrintFailure(ErrorMessage(e));
        status = 1;
    }
    SetMessageService(nullptr);
    return status;
}
