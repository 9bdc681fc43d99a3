// Fuzzes the project reader with a project built from the input: the bytes
// before the first NUL are the project file, the rest is its Info.cfg. An
// input without NUL is taken as the Info.cfg of a well-formed project file.
// The project folder holds a few real pictures and the resource library a
// mask, a frame with its companion and a clipart, so layers really get built.
//
// Whatever loads is saved again and loaded back: the second load must give
// the same page and the same number of layers.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "document/CollageDocument.h"
#include "persistence/ProjectFile.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

class TQuiet final : public TMessageService {
public:
    void Error(const std::string&) override {}
    void Info(const std::string&) override {}
    TAnswer Ask(const std::string&, const std::string&, TButtons) override { return TAnswer::Yes; }
};

std::string gWork;

void Write(const std::string& path, const char* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, std::streamsize(size));
}

void Picture(const std::string& path, int w, int h, const char* format, bool alpha) {
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba(x * 13, y * 17, 90, alpha ? (x * y) % 256 : 255));
    img.save(QString::fromStdString(path), format);
}

// The project folder's pictures under the names the inputs use most.
void FillProjectFolder(const std::string& folder) {
    fs::create_directories(folder + "/UserImage");
    fs::create_directories(folder + "/Clipart/Customize");
    for (const char* n : {"0.jpg", "1.jpg", "3.jpg"})
        fs::copy_file(gWork + "/pic.jpg", folder + "/UserImage/" + n);
    for (const char* n : {"0.png", "1.png", "2.png", "4.png"})
        fs::copy_file(gWork + "/pic.png", folder + "/UserImage/" + n);
    for (const char* n : {"1.png", "5.png"})
        fs::copy_file(gWork + "/pic.png", folder + "/Clipart/Customize/" + n);
    Write(folder + "/UserImage/9.png", "\x89PNG\r\n\x1a\n broken", 16);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    // Saving flushes every file to disk; in memory that costs nothing, so
    // the folders live there when the system offers it.
    char shm[] = "/dev/shm/velmora-fuzz-XXXXXX", tmp[] = "/tmp/velmora-fuzz-XXXXXX";
    const char* work = mkdtemp(shm);
    gWork = work ? work : mkdtemp(tmp);
    Picture(gWork + "/pic.jpg", 24, 18, "JPEG", false);
    Picture(gWork + "/pic.png", 20, 20, "PNG", true);
    const std::string lib = gWork + "/lib/";
    fs::create_directories(lib + "Masks/Circle");
    fs::create_directories(lib + "Frames/Free");
    fs::create_directories(lib + "Cliparts/Animals");
    fs::copy_file(gWork + "/pic.jpg", lib + "Masks/Circle/yuan13.msk");
    fs::copy_file(gWork + "/pic.png", lib + "Frames/Free/gold.frm");
    fs::copy_file(gWork + "/pic.png", lib + "Frames/Free/plain.frm");
    Picture(lib + "Frames/Free/gold.msk", 20, 20, "PNG", false); // not a GIF: a decoding failure
    fs::copy_file(gWork + "/pic.png", lib + "Cliparts/Animals/cat.png");
    SetResourceRoot(lib);
    static TQuiet quiet;
    SetMessageService(&quiet);
    // pages and layers of a size that keeps every run short
    TProjectLimits limits;
    limits.MaxPageSide = 1200;
    limits.MaxLayerSide = 1500;
    limits.MaxShadowSmooth = 3;
    SetProjectLimits(limits);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = gWork + "/in";
    fs::remove_all(in);
    fs::create_directories(in);
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(data, 0, size);
    const std::string clv = in + "/P.clv";
    if (nul) {
        const size_t cut = size_t(static_cast<const uint8_t*>(nul) - data);
        Write(clv, bytes, cut);
        FillProjectFolder(in + "/P_CLV");
        Write(in + "/P_CLV/Info.cfg", bytes + cut + 1, size - cut - 1);
    } else {
        const char project[] =
            "<File><Version>2011.5.02</Version><Type>Project</Type><Folder>P_CLV</Folder></File>";
        Write(clv, project, sizeof project - 1);
        FillProjectFolder(in + "/P_CLV");
        Write(in + "/P_CLV/Info.cfg", bytes, size);
    }

    TCollageDocument doc;
    if (!LoadProject(doc, clv, false)) return 0;

    const std::string out = gWork + "/out/Q.clv";
    if (!SaveProject(doc, out, false)) std::abort(); // a loaded collage must be writable
    TCollageDocument back;
    if (!LoadProject(back, out, false)) std::abort();
    TCollageSettings a = doc.CollageSettings, b = back.CollageSettings;
    a.BKImageFile = b.BKImageFile = "";
    if (!(a == b)) std::abort();
    if (doc.LayerCount() != back.LayerCount()) {
        std::fprintf(stderr, "layers: %d then %d\n", doc.LayerCount(), back.LayerCount());
        std::abort();
    }
    return 0;
}
