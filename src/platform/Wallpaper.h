#pragma once
// Setting the desktop wallpaper on the Linux desktops people use. The
// desktop is recognised from XDG_CURRENT_DESKTOP (and DESKTOP_SESSION); each
// has its own way of taking a picture and a style. Commands run through a
// replaceable runner so that tests can check them without touching a real
// desktop.

#include <functional>
#include <string>
#include <vector>

enum class TWallpaperStyle { Center = 0, Tile = 1, Stretch = 2 };

struct TCommand {
    std::string Program;
    std::vector<std::string> Arguments;
    bool operator==(const TCommand&) const = default;
};

// Runs a command; returns its exit status (-1 when it could not start) and
// its standard output.
using TCommandRunner = std::function<int(const TCommand& command, std::string& output)>;

enum class TDesktop { Gnome, Cinnamon, Mate, Kde, Xfce, Other };

TDesktop DetectDesktop(const std::string& currentDesktop, const std::string& session);
TDesktop DetectDesktop(); // from the environment

// Sets the picture (an absolute path) as the wallpaper with the style.
// Failures of the desktop's tools leave the desktop as it was; the result
// says whether the last command reported success.
bool SetDesktopWallpaper(const std::string& picture, TWallpaperStyle style, TDesktop desktop,
                         const TCommandRunner& run);
bool SetDesktopWallpaper(const std::string& picture, TWallpaperStyle style);

// The runner that starts real processes (QProcess, 10 s limit).
int RunProcess(const TCommand& command, std::string& output);
