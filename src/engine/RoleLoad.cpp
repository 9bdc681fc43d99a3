#include "engine/RoleLoad.h"

#include <QImageReader>

#include "engine/Errors.h"

namespace {
void LoadAs(const std::string& path, const char* format, TBitmap32& target) {
    QImageReader reader(QString::fromStdString(path), format);
    QImage img = reader.read();
    if (img.isNull()) throw EUserError("Cannot read the picture " + path + ": " + reader.errorString().toStdString());
    target.FromImage(img);
}
} // namespace

void LoadJPEGPicture(const std::string& path, TBitmap32& target) { LoadAs(path, "jpeg", target); }
void LoadGIFPicture(const std::string& path, TBitmap32& target) { LoadAs(path, "gif", target); }
