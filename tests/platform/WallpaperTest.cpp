#include <gtest/gtest.h>

#include "platform/Wallpaper.h"

namespace {
struct TRecorder {
    std::vector<TCommand> Commands;
    std::string ListOutput;
    int Status = 0;
    TCommandRunner Runner() {
        return [this](const TCommand& c, std::string& out) {
            Commands.push_back(c);
            if (c.Arguments.size() == 3 && c.Arguments[2] == "-l") out = ListOutput;
            return Status;
        };
    }
};
} // namespace

TEST(Wallpaper, DesktopDetection) {
    EXPECT_EQ(DetectDesktop("ubuntu:GNOME", ""), TDesktop::Gnome);
    EXPECT_EQ(DetectDesktop("X-Cinnamon", ""), TDesktop::Cinnamon);
    EXPECT_EQ(DetectDesktop("MATE", ""), TDesktop::Mate);
    EXPECT_EQ(DetectDesktop("KDE", ""), TDesktop::Kde);
    EXPECT_EQ(DetectDesktop("XFCE", ""), TDesktop::Xfce);
    EXPECT_EQ(DetectDesktop("", "plasma"), TDesktop::Kde);
    EXPECT_EQ(DetectDesktop("", ""), TDesktop::Other);
    EXPECT_EQ(DetectDesktop("i3", "i3"), TDesktop::Other);
}

TEST(Wallpaper, GnomeSetsBothPictureUrisAndTheOption) {
    TRecorder r;
    EXPECT_TRUE(SetDesktopWallpaper("/tmp/my wall.bmp", TWallpaperStyle::Tile, TDesktop::Gnome, r.Runner()));
    ASSERT_EQ(r.Commands.size(), 3u);
    EXPECT_EQ(r.Commands[0], (TCommand{"gsettings", {"set", "org.gnome.desktop.background", "picture-uri",
                                                      "file:///tmp/my%20wall.bmp"}}));
    EXPECT_EQ(r.Commands[1].Arguments[2], "picture-uri-dark");
    EXPECT_EQ(r.Commands[2], (TCommand{"gsettings", {"set", "org.gnome.desktop.background", "picture-options",
                                                      "wallpaper"}}));
}

TEST(Wallpaper, StylesPerDesktop) {
    TRecorder r;
    SetDesktopWallpaper("/w.bmp", TWallpaperStyle::Stretch, TDesktop::Mate, r.Runner());
    EXPECT_EQ(r.Commands[0], (TCommand{"gsettings", {"set", "org.mate.background", "picture-filename", "/w.bmp"}}));
    EXPECT_EQ(r.Commands[1].Arguments.back(), "stretched");
    r.Commands.clear();
    SetDesktopWallpaper("/w.bmp", TWallpaperStyle::Center, TDesktop::Kde, r.Runner());
    EXPECT_EQ(r.Commands[0], (TCommand{"plasma-apply-wallpaperimage", {"--fill-mode", "pad", "/w.bmp"}}));
    r.Commands.clear();
    SetDesktopWallpaper("/w.bmp", TWallpaperStyle::Tile, TDesktop::Other, r.Runner());
    EXPECT_EQ(r.Commands[0], (TCommand{"feh", {"--bg-tile", "/w.bmp"}}));
    r.Commands.clear();
    SetDesktopWallpaper("/w.bmp", TWallpaperStyle::Center, TDesktop::Cinnamon, r.Runner());
    EXPECT_EQ(r.Commands[1], (TCommand{"gsettings", {"set", "org.cinnamon.desktop.background", "picture-options",
                                                      "centered"}}));
}

TEST(Wallpaper, XfceSetsEveryMonitorItLists) {
    TRecorder r;
    r.ListOutput = "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                   "/backdrop/screen0/monitorHDMI-1/workspace0/image-style\n"
                   "/backdrop/screen0/monitoreDP-1/workspace0/last-image\n";
    EXPECT_TRUE(SetDesktopWallpaper("/w.bmp", TWallpaperStyle::Stretch, TDesktop::Xfce, r.Runner()));
    ASSERT_EQ(r.Commands.size(), 5u);
    EXPECT_EQ(r.Commands[1], (TCommand{"xfconf-query", {"-c", "xfce4-desktop", "-p",
                                                         "/backdrop/screen0/monitorHDMI-1/workspace0/last-image", "-s",
                                                         "/w.bmp"}}));
    EXPECT_EQ(r.Commands[2].Arguments[3], "/backdrop/screen0/monitorHDMI-1/workspace0/image-style");
    EXPECT_EQ(r.Commands[2].Arguments.back(), "3");
    EXPECT_EQ(r.Commands[3].Arguments[3], "/backdrop/screen0/monitoreDP-1/workspace0/last-image");
}

TEST(Wallpaper, FailingToolIsReportedNotHidden) {
    TRecorder r;
    r.Status = 1;
    EXPECT_FALSE(SetDesktopWallpaper("/w.bmp", TWallpaperStyle::Center, TDesktop::Gnome, r.Runner()));
    EXPECT_FALSE(SetDesktopWallpaper("/w.bmp", TWallpaperStyle::Center, TDesktop::Xfce, r.Runner()));
}
