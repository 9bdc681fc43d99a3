#include "Output.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <gif_lib.h>
#include <stdexcept>
#include <vector>

namespace resgen {

namespace {
void MakeParent(const std::string& path) {
    const QString dir = QFileInfo(QString::fromStdString(path)).absolutePath();
    if (!QDir().mkpath(dir)) throw std::runtime_error("cannot create folder " + dir.toStdString());
}

void Save(const std::string& path, const QImage& image, const char* format, int quality) {
    MakeParent(path);
    // The format is named explicitly: .msk and .frm do not tell Qt what to write.
    QImageWriter writer(QString::fromStdString(path), format);
    writer.setQuality(quality);
    if (!writer.write(image))
        throw std::runtime_error("cannot write " + path + ": " + writer.errorString().toStdString());
}
} // namespace

void WriteJpeg(const std::string& path, const QImage& image, int quality) {
    const QImage img = image.format() == QImage::Format_Grayscale8 ? image : image.convertToFormat(QImage::Format_RGB32);
    Save(path, img, "jpeg", quality);
}

void WritePng(const std::string& path, const QImage& image) {
    Save(path, image.convertToFormat(QImage::Format_ARGB32), "png", -1);
}

void WriteGif(const std::string& path, const QImage& image) {
    MakeParent(path);
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) throw std::runtime_error("cannot write " + path);
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    bool ok = map && EGifPutScreenDesc(gif, grey.width(), grey.height(), 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, grey.width(), grey.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> row(size_t(grey.width()));
    for (int y = 0; ok && y < grey.height(); ++y) {
        const uchar* src = grey.constScanLine(y);
        std::copy(src, src + grey.width(), row.begin());
        ok = EGifPutLine(gif, row.data(), grey.width()) == GIF_OK;
    }
    if (map) GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    if (!ok) throw std::runtime_error("cannot write " + path);
}

} // namespace resgen
