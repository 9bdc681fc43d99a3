#include "persistence/ProjectPreview.h"

#include <pugixml.hpp>
#include <zlib.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "document/CollageDocument.h"
#include "engine/Codecs.h"
#include "engine/PictureUtils.h"
#include "platform/Paths.h"

TBitmap32 FitPreview(const TBitmap32& picture, int size) {
    int w = size, h = size;
    FitInside(picture.Width(), picture.Height(), w, h);
    TBitmap32 out;
    if (picture.Empty()) return out;
    ShrinkPicture(picture, std::max(w, 1), std::max(h, 1), out);
    return out;
}

TBitmap32 ComposePreview(TCollageDocument& doc) {
    TBitmap32 page;
    if (!doc.RenderCollage(page)) return {};
    return FitPreview(page, kPreviewSize);
}

bool ReadProjectPreview(const std::string& projectFile, TBitmap32& preview, int* pageWidth, int* pageHeight) {
    pugi::xml_document xml;
    if (!xml.load_file(projectFile.c_str())) return false;
    const pugi::xml_node node = xml.document_element().child(kPreviewElement);
    if (!node) return false;
    if (pageWidth) *pageWidth = std::max(0, node.attribute("PageWidth").as_int());
    if (pageHeight) *pageHeight = std::max(0, node.attribute("PageHeight").as_int());
    const QByteArray png = QByteArray::fromBase64(QByteArray(node.text().get()));
    if (png.isEmpty()) return false;
    try {
        DecodePNGToBitmapMemory(reinterpret_cast<const uint8_t*>(png.constData()), size_t(png.size()),
                                preview);
    } catch (const std::exception&) {
        return false;
    }
    return !preview.Empty();
}

std::vector<uint8_t> PngWithText(const TBitmap32& picture,
                                 const std::vector<std::pair<std::string, std::string>>& text) {
    std::vector<uint8_t> png = EncodePNGMemory(picture, 9);
    // the signature (8 bytes) and the IHDR chunk (4 + 4 + 13 + 4 bytes)
    constexpr size_t kAfterHeader = 8 + 25;
    if (png.size() < kAfterHeader) return png;
    std::vector<uint8_t> chunks;
    for (const auto& [keyword, value] : text) {
        std::vector<uint8_t> body{'t', 'E', 'X', 't'};
        body.insert(body.end(), keyword.begin(), keyword.end());
        body.push_back(0);
        body.insert(body.end(), value.begin(), value.end());
        const uint32_t length = uint32_t(body.size() - 4);
        const uint32_t crc = uint32_t(crc32(crc32(0, nullptr, 0), body.data(), uInt(body.size())));
        for (int shift = 24; shift >= 0; shift -= 8) chunks.push_back(uint8_t(length >> shift));
        chunks.insert(chunks.end(), body.begin(), body.end());
        for (int shift = 24; shift >= 0; shift -= 8) chunks.push_back(uint8_t(crc >> shift));
    }
    png.insert(png.begin() + kAfterHeader, chunks.begin(), chunks.end());
    return png;
}

namespace {
std::string FileUri(const std::string& file) {
    const QString absolute = QFileInfo(QString::fromStdString(file)).absoluteFilePath();
    return QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded).toStdString();
}

std::string CacheFolder() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.cache";
    return (base + "/thumbnails").toStdString();
}

// Written beside its place and renamed into it, readable by its owner only,
// as the thumbnail cache asks.
void WritePrivately(const std::string& path, const std::vector<uint8_t>& data) {
    const std::string temp = path + ".velmora-" + std::to_string(::getpid());
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return;
    ::fchmod(::fileno(f), 0600);
    const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    if (std::fclose(f) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0)
        std::remove(temp.c_str());
}
} // namespace

std::string DesktopThumbnailPath(const std::string& file, bool large) {
    const QByteArray md5 =
        QCryptographicHash::hash(QByteArray::fromStdString(FileUri(file)), QCryptographicHash::Md5).toHex();
    return CacheFolder() + (large ? "/large/" : "/normal/") + md5.toStdString() + ".png";
}

void WriteDesktopThumbnails(const std::string& file, const TBitmap32& preview) {
    struct stat st {};
    if (preview.Empty() || ::stat(file.c_str(), &st) != 0) return;
    const std::vector<std::pair<std::string, std::string>> text{
        {"Thumb::URI", FileUri(file)},
        {"Thumb::MTime", std::to_string(int64_t(st.st_mtime))},
        {"Thumb::Size", std::to_string(int64_t(st.st_size))},
        {"Software", "Velmora"},
    };
    for (const bool large : {false, true}) {
        const std::string path = DesktopThumbnailPath(file, large);
        const std::string folder = ExtractFileDir(path);
        if (!QDir().mkpath(QString::fromStdString(folder))) continue;
        ::chmod(folder.c_str(), 0700);
        ::chmod(ExtractFileDir(folder).c_str(), 0700);
        WritePrivately(path, PngWithText(FitPreview(preview, large ? 256 : 128), text));
    }
}
