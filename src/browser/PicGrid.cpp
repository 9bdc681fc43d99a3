#include "browser/PicGrid.h"

#include <QString>
#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

int GridColumns(int width, const TGridMetrics& m) {
    const int pitch = m.ColumnPitch();
    if (pitch <= 0) return 1;
    return std::max(1, Div(width + m.ExtraWidth, pitch));
}

TPoint CellPosition(int k, int columns, const TGridMetrics& m, int scrollX, int scrollY) {
    if (columns < 1) columns = 1;
    return {(k % columns) * m.ColumnPitch() + m.Border - scrollX,
            (k / columns) * m.RowPitch() + m.Border - scrollY};
}

std::string UpperExtension(const std::string& fileName) {
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = fileName.substr(dot);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return ext;
}

namespace {
constexpr std::array<const char*, 5> kPhotoExtensions{".PNG", ".GIF", ".BMP", ".JPG", ".JPEG"};
constexpr std::array<const char*, 7> kPictureExtensions{".PNG",  ".FRM", ".GIF", ".JPG",
                                                        ".JPEG", ".MSK", ".BMP"};

template <size_t N> bool OneOf(const std::string& ext, const std::array<const char*, N>& list) {
    return std::any_of(list.begin(), list.end(), [&](const char* e) { return ext == e; });
}
} // namespace

bool IsPictureExtension(const std::string& upperExt) {
    return OneOf(upperExt, kPictureExtensions);
}

bool AcceptsFile(const std::string& fileName, const TPicFilter& filter) {
    const std::string ext = UpperExtension(fileName);
    if (filter.ShowPhoto && !OneOf(ext, kPhotoExtensions)) return false;
    if (filter.ShowMask && ext != ".MSK") return false;
    if (filter.ShowFrame && ext != ".FRM") return false;
    return IsPictureExtension(ext);
}

bool NameLess(const std::string& a, const std::string& b) {
    const int c = QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
    if (c != 0) return c < 0;
    return a < b;
}

std::vector<std::string> ScanPictureFiles(const std::string& folder, const TPicFilter& filter) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, ec);
    if (ec) return names;
    // increment(ec) instead of a range loop: a failing step ends the scan
    // instead of throwing
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code e;
        if (it->is_directory(e)) continue;
        if (!it->is_regular_file(e)) continue;
        std::string name = it->path().filename().string();
        if (AcceptsFile(name, filter)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string CaptionText(const std::string& path, bool includeExt) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!includeExt) {
        const size_t dot = name.rfind('.');
        if (dot != std::string::npos) name.erase(dot);
    }
    return name;
}

std::string CollapseSeparators(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if ((c == '/' || c == '\\') && !out.empty() && out.back() == c) continue;
        out.push_back(c);
    }
    return out;
}

bool SamePicturePath(const std::string& a, const std::string& b) {
    return CollapseSeparators(a) == CollapseSeparators(b);
}
