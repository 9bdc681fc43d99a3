#include "Output.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "engine/Bitmap32.h"
#include "engine/Codecs.h"

namespace resgen {

namespace {
void MakeParent(const std::string& path) {
    const QString dir = QFileInfo(QString::fromStdString(path)).absolutePath();
    if (!QDir().mkpath(dir)) throw std::runtime_error("cannot create folder " + dir.toStdString());
}

TBitmap32 ToBitmap(const QImage& image) {
    TBitmap32 bitmap;
    bitmap.FromImage(image);
    return bitmap;
}
} // namespace

void WriteJpeg(const std::string& path, const QImage& image, int quality) {
    MakeParent(path);
    // Grey pictures go through as R = G = B: their chroma planes are flat, so
    // they decode to exact greys again.
    EncodeJPEGFile(path, ToBitmap(image), quality);
}

void WritePng(const std::string& path, const QImage& image) {
    MakeParent(path);
    EncodePNGFile(path, ToBitmap(image), kLibraryPngLevel);
}

void WriteGif(const std::string& path, const QImage& image) {
    MakeParent(path);
    // At most 256 greys, so the encoder keeps every level exactly.
    EncodeGIFFile(path, ToBitmap(image.convertToFormat(QImage::Format_Grayscale8)));
}

void WriteText(const std::string& path, const std::string& text) {
    MakeParent(path);
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(text.data(), qint64(text.size())) != qint64(text.size()))
        throw std::runtime_error("cannot write " + path);
}

void WriteBmp(const std::string& path, const QImage& image) {
    MakeParent(path);
    EncodeBMPFile(path, ToBitmap(image));
}

} // namespace resgen
