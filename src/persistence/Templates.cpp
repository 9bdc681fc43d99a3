#include "persistence/Templates.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <algorithm>

#include "document/CollageDocument.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "platform/Paths.h"

std::string FreeTemplateFolder() {
    return ResourceRoot() + "template/Free/";
}
std::string CollageTemplateFolder() {
    return ResourceRoot() + "template/Collage/";
}

std::vector<std::string> TemplateThumbnails(const std::string& folder) {
    std::vector<std::string> paths;
    const QDir dir(QString::fromStdString(folder));
    if (!dir.exists()) return paths;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::vector<QFileInfo> files;
    for (const QFileInfo& fi : entries)
        if (fi.isFile() && fi.fileName().endsWith(".JPG", Qt::CaseInsensitive)) files.push_back(fi);
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const int c = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.fileName() < b.fileName();
    });
    for (const QFileInfo& fi : files) paths.push_back(fi.absoluteFilePath().toStdString());
    return paths;
}

std::string TemplateCaption(const std::string& thumbnailPath) {
    QString name = QString::fromStdString(ExtractFileName(thumbnailPath));
    const int dot = name.lastIndexOf('.');
    if (dot >= 0) name.truncate(dot);
    if (name.isEmpty()) return "";
    return (name.left(1).toUpper() + name.mid(1).toLower()).toStdString();
}

std::string TemplateProjectFor(const std::string& thumbnailPath) {
    const size_t slash = thumbnailPath.find_last_of('/');
    const size_t dot = thumbnailPath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return thumbnailPath + ".clv";
    return thumbnailPath.substr(0, dot) + ".clv";
}

TBitmap32 TemplateThumbnail(TCollageDocument& doc) {
    TBitmap32 page;
    doc.RenderCollage(page); // a layer that fails to draw ends the drawing
    int w = kThumbnailWidth, h = kThumbnailHeight;
    FitInside(page.Width(), page.Height(), w, h);
    TBitmap32 thumb(w, h);
    if (thumb.Empty()) return thumb;
    thumb.Clear(0);
    page.DrawMode = TDrawMode::Opaque;
    page.Resampler = TResamplerKind::Linear;
    thumb.StretchDraw(thumb.BoundsRect(), page);
    return thumb;
}

// Written through Qt for now; the program's own JPEG encoder takes over here.
void SaveThumbnailJPEG(const std::string& path, const TBitmap32& picture) {
    QImageWriter writer(QString::fromStdString(path), "jpeg");
    if (picture.Empty() || !writer.write(picture.ToImage().convertToFormat(QImage::Format_RGB32)))
        throw EUserError(kPictureWriteFailed, path,
                         picture.Empty() ? "empty picture" : writer.errorString().toStdString());
}
