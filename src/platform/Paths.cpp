#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {
std::string gOverride;

std::string WithSlash(std::string s) {
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}
} // namespace

void SetResourceRoot(const std::string& root) { gOverride = root.empty() ? "" : WithSlash(root); }

std::string ResourceRoot() {
    if (!gOverride.empty()) return gOverride;
    const QByteArray env = qgetenv("VELMORA_RESOURCES");
    if (!env.isEmpty()) return WithSlash(env.toStdString());
    QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    if (QFileInfo(exeDir + "/resource").isDir()) return WithSlash(exeDir.toStdString());
    QString shared = QDir::cleanPath(exeDir + "/../share/velmora");
    if (QFileInfo(shared).isDir()) return WithSlash(shared.toStdString());
    return WithSlash(exeDir.toStdString());
}

std::string UserDataFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + "/.config";
    return (base + "/VelmoraFree2011").toStdString();
}

std::string NativePath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string StoredPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool FileExists(const std::string& path) {
    QFileInfo fi(QString::fromStdString(path));
    return fi.exists() && fi.isFile();
}

std::string MissingFileReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::strerror(errno);
    if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    return "";
}

bool DirectoryExists(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isDir(); }

bool ForceDirectories(const std::string& path) {
    if (path.empty()) return false;
    return QDir().mkpath(QString::fromStdString(path));
}

std::string LowerExtension(const std::string& path) {
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return "";
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

std::string ExtractFileName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileDir(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "" : path.substr(0, slash);
}
