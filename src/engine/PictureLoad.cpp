// Temporary loader through QImage until the codec module lands.
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <algorithm>

#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

bool LoadPicture32(const std::string& path, TBitmap32& target) {
    if (!FileExists(path)) {
        ShowError("Picture does not exists!\r" + path);
        return false;
    }
    target.Clear(0xFF000000);
    QImage img(QString::fromStdString(path));
    if (img.isNull()) throw EUserError("Cannot read " + path);
    target.FromImage(img);
    return true;
}
bool AssignPNG32(TBitmap32& target, const TDecodedPNG& png) {
    target.Assign(png.Pixels);
    return false;
}
void LoadPNG32(const std::string& path, TBitmap32& target) {
    QImage img(QString::fromStdString(path));
    if (img.isNull()) throw EUserError("Cannot read " + path);
    target.FromImage(img);
}
// Stand-in writer until the codec module lands: a 32-bit RGBA PNG at the
// strongest compression, encoded in memory and written under a temporary
// name that is renamed into place.
void SavePNG32(const std::string& path, const TBitmap32& source, bool, int level, TColor32, bool) {
    if (source.Empty()) throw EUserError("Cannot write an empty picture to " + path);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    const int quality = std::clamp(100 - level * 11, 0, 100);
    if (!source.ToImage().save(&buffer, "PNG", quality)) throw EUserError("Cannot encode " + path);
    const QString target = QString::fromStdString(path);
    const QString temp = target + ".part";
    QFile file(temp);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        QFile::remove(temp);
        throw EUserError("Cannot write " + path + ": " + file.errorString().toStdString());
    }
    QFile::remove(target);
    if (!QFile::rename(temp, target)) {
        QFile::remove(temp);
        throw EUserError("Cannot write " + path);
    }
}
