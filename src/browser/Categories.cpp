#include "browser/Categories.h"

#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "browser/PicGrid.h"

namespace fs = std::filesystem;

std::vector<std::string> ListCategories(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, ec);
    if (ec) return names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code e;
        if (!it->is_directory(e)) continue;
        std::string name = it->path().filename().string();
        if (name == "." || name == "..") continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

std::vector<std::string> TranslateCategories(const std::vector<std::string>& folders, const TLookup& lookup) {
    std::vector<std::string> names;
    names.reserve(folders.size());
    for (const std::string& f : folders) names.push_back(lookup ? lookup(f) : f);
    return names;
}

int IndexOfText(const std::vector<std::string>& items, const std::string& text) {
    const QString wanted = QString::fromStdString(text);
    for (size_t i = 0; i < items.size(); ++i)
        if (QString::fromStdString(items[i]).compare(wanted, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

std::string TrimText(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string CategoryDirectory(const std::string& resourceRoot, const std::string& base,
                              const std::string& category) {
    return JoinPath(JoinPath(resourceRoot, base), TrimText(category)) + "/";
}

std::vector<std::string> CategoryDirectories(const std::vector<std::string>& roots, const std::string& base,
                                             const std::string& category) {
    std::vector<std::string> folders;
    for (const std::string& root : roots) {
        const std::string dir = CategoryDirectory(root, base, category);
        if (QFileInfo(QString::fromStdString(dir)).isDir()) folders.push_back(dir);
    }
    return folders;
}

bool IsCustomizeCategory(const std::string& category) {
    return QString::fromStdString(TrimText(category)).compare("CUSTOMIZE", Qt::CaseInsensitive) == 0;
}

void TCategoryPair::Fill(const std::vector<std::string>& baseFolders) {
    Folders.clear();
    for (const std::string& base : baseFolders)
        for (std::string& name : ListCategories(base))
            if (std::find(Folders.begin(), Folders.end(), name) == Folders.end())
                Folders.push_back(std::move(name));
    std::sort(Folders.begin(), Folders.end(), NameLess);
    Names.clear();
    ItemIndex = -1;
}

bool TCategoryPair::FirstShow(const TLookup& lookup) {
    ItemIndex = IndexOfText(Folders, "Free");
    Names = TranslateCategories(Folders, lookup);
    return ItemIndex >= 0;
}

void TCategoryPair::Choose(int index) {
    ItemIndex = (index >= 0 && index < int(Folders.size())) ? index : -1;
}

std::string TCategoryPair::Current() const {
    return ItemIndex >= 0 && ItemIndex < int(Folders.size()) ? TrimText(Folders[size_t(ItemIndex)])
                                                             : std::string();
}
