// Temporary loader through QImage until the codec module lands.
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
// strongest compression, written under a temporary name and renamed.
void SavePNG32(const std::string& path, const TBitmap32& source, bool, int level, TColor32, bool) {
    if (source.Empty()) throw EUserError("Cannot write an empty picture to " + path);
    const QString target = QString::fromStdString(path);
    const QString temp = target + ".part";
    const int quality = std::clamp(100 - level * 11, 0, 100);
    if (!source.ToImage().save(temp, "PNG", quality)) {
        QFile::remove(temp);
        throw EUserError("Cannot write " + path);
    }
    QFile::remove(target);
    if (!QFile::rename(temp, target)) {
        QFile::remove(temp);
        throw EUserError("Cannot write " + path);
    }
}
