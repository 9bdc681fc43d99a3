#include <QDir>
#include <QFile>
#include <QTest>
#include <functional>

#include "browser/BrowserFixtures.h"

QImage SolidPicture(int w, int h, QRgb c, bool transparentCentre) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    if (transparentCentre)
        for (int y = h / 4; y < h - h / 4; ++y)
            for (int x = w / 4; x < w - w / 4; ++x) img.setPixel(x, y, qRgba(0, 0, 0, 0));
    return img;
}

void WritePicture(const std::string& path, const QImage& image, const char* format) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write " + path);
    if (!image.save(&f, format, 90)) throw std::runtime_error("cannot encode " + path);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write " + path);
    f.write(bytes.data(), qint64(bytes.size()));
}

void WriteTinyGif(const std::string& path) {
    static const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                        0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04,
                                        0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01,
                                        0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    WriteBytes(path, std::string(reinterpret_cast<const char*>(gif), sizeof gif));
}

void MakeFolder(const std::string& path) {
    QDir().mkpath(QString::fromStdString(path));
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}
