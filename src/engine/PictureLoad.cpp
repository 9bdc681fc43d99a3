// Temporary loader through QImage until the codec module lands.
#include <QImage>

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
TDecodedPNG DecodePNGFile(const std::string& path) {
    TDecodedPNG png;
    QImage img(QString::fromStdString(path));
    if (img.isNull()) throw EUserError("Cannot read " + path);
    png.Pixels.FromImage(img);
    png.ColorType = 6;
    return png;
}
