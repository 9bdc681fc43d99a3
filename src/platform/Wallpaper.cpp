#include "platform/Wallpaper.h"

#include <QProcess>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <sstream>

namespace {
std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string FileUri(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded).toStdString();
}

// GNOME, Cinnamon and MATE share these option names.
const char* GnomeOption(TWallpaperStyle s) {
    switch (s) {
    case TWallpaperStyle::Center: return "centered";
    case TWallpaperStyle::Tile: return "wallpaper";
    case TWallpaperStyle::Stretch: return "stretched";
    }
    return "centered";
}

bool Ok(const TCommandRunner& run, const TCommand& c) {
    std::string out;
    return run(c, out) == 0;
}
} // namespace

TDesktop DetectDesktop(const std::string& currentDesktop, const std::string& session) {
    const std::string all = Lower(currentDesktop + ":" + session);
    auto has = [&](const char* s) { return all.find(s) != std::string::npos; };
    if (has("cinnamon")) return TDesktop::Cinnamon;
    if (has("mate")) return TDesktop::Mate;
    if (has("kde") || has("plasma")) return TDesktop::Kde;
    if (has("xfce")) return TDesktop::Xfce;
    if (has("gnome") || has("unity") || has("budgie") || has("pantheon")) return TDesktop::Gnome;
    return TDesktop::Other;
}

TDesktop DetectDesktop() {
    return DetectDesktop(qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(),
                         qEnvironmentVariable("DESKTOP_SESSION").toStdString());
}

bool SetDesktopWallpaper(const std::string& picture, TWallpaperStyle style, TDesktop desktop,
                         const TCommandRunner& run) {
    switch (desktop) {
    case TDesktop::Gnome: {
        const std::string uri = FileUri(picture);
        Ok(run, {"gsettings", {"set", "org.gnome.desktop.background", "picture-uri", uri}});
        Ok(run, {"gsettings", {"set", "org.gnome.desktop.background", "picture-uri-dark", uri}});
        return Ok(run, {"gsettings", {"set", "org.gnome.desktop.background", "picture-options", GnomeOption(style)}});
    }
    case TDesktop::Cinnamon:
        Ok(run, {"gsettings", {"set", "org.cinnamon.desktop.background", "picture-uri", FileUri(picture)}});
        return Ok(run,
                  {"gsettings", {"set", "org.cinnamon.desktop.background", "picture-options", GnomeOption(style)}});
    case TDesktop::Mate:
        Ok(run, {"gsettings", {"set", "org.mate.background", "picture-filename", picture}});
        return Ok(run, {"gsettings", {"set", "org.mate.background", "picture-options", GnomeOption(style)}});
    case TDesktop::Kde: {
        const char* mode = style == TWallpaperStyle::Tile      ? "tile"
                           : style == TWallpaperStyle::Stretch ? "stretch"
                                                               : "pad";
        return Ok(run, {"plasma-apply-wallpaperimage", {"--fill-mode", mode, picture}});
    }
    case TDesktop::Xfce: {
        // every monitor and workspace has its own property; set them all
        std::string listing;
        if (run({"xfconf-query", {"-c", "xfce4-desktop", "-l"}}, listing) != 0) return false;
        const char* imageStyle = style == TWallpaperStyle::Tile      ? "2"
                                 : style == TWallpaperStyle::Stretch ? "3"
                                                                     : "1";
        std::istringstream lines(listing);
        std::string line;
        bool any = false, ok = true;
        while (std::getline(lines, line)) {
            const std::string suffix = "/last-image";
            if (line.size() < suffix.size() || line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            any = true;
            const std::string base = line.substr(0, line.size() - suffix.size());
            ok = Ok(run, {"xfconf-query", {"-c", "xfce4-desktop", "-p", line, "-s", picture}}) && ok;
            ok = Ok(run, {"xfconf-query", {"-c", "xfce4-desktop", "-p", base + "/image-style", "-s", imageStyle}}) &&
                 ok;
        }
        if (!any) {
            const std::string base = "/backdrop/screen0/monitor0/workspace0";
            ok = Ok(run, {"xfconf-query", {"-c", "xfce4-desktop", "-p", base + "/last-image", "-n", "-t", "string",
                                           "-s", picture}});
            ok = Ok(run, {"xfconf-query",
                          {"-c", "xfce4-desktop", "-p", base + "/image-style", "-n", "-t", "int", "-s", imageStyle}}) &&
                 ok;
        }
        return ok;
    }
    case TDesktop::Other: {
        const char* option = style == TWallpaperStyle::Tile      ? "--bg-tile"
                             : style == TWallpaperStyle::Stretch ? "--bg-scale"
                                                                 : "--bg-center";
        return Ok(run, {"feh", {option, picture}});
    }
    }
    return false;
}

bool SetDesktopWallpaper(const std::string& picture, TWallpaperStyle style) {
    return SetDesktopWallpaper(picture, style, DetectDesktop(), RunProcess);
}

int RunProcess(const TCommand& command, std::string& output) {
    QProcess p;
    QStringList args;
    for (const auto& a : command.Arguments) args << QString::fromStdString(a);
    p.start(QString::fromStdString(command.Program), args);
    if (!p.waitForStarted(3000)) return -1;
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(1000);
        return -1;
    }
    output = p.readAllStandardOutput().toStdString();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
