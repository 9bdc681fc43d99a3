#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <filesystem>
#include <fstream>

#include "common/TestSupport.h"
#include "persistence/Configuration.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

void WriteRaw(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

std::string ReadRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A configuration with every field away from its default.
TConfiguration Edited() {
    TConfiguration c;
    c.CollageSettings.SizeType = 0;
    c.CollageSettings.PredifineType = 1;
    c.CollageSettings.Width = 1050;
    c.CollageSettings.Height = 750;
    c.CollageSettings.WidthUnit = 2;
    c.CollageSettings.HeightUnit = 1;
    c.CollageSettings.Orientation = 1;
    c.CollageSettings.BKType = 2;
    c.CollageSettings.BKColor = 0x0080FF;
    c.CollageSettings.BKImageFile = "/home/anna/Bilder/Urlaub 2011/a=b ä.jpg";
    c.CollageSettings.BKImageFillType = 1;
    c.UserPhotoFolder = "/home/anna/Bilder; Fotos";
    c.PrintSettings.Top = 0.1;
    c.PrintSettings.Left = 2.54 / 96.0;
    c.PrintSettings.TopUnit = 3;
    c.PrintSettings.LeftUnit = 0;
    c.PrintSettings.Center = false;
    c.PrintSettings.Scale = 37.5;
    c.PrintSettings.FitPage = false;
    c.PrintSettings.WidthUnit = 2;
    c.PrintSettings.HeightUnit = 0;
    c.PrintSettings.BorderBox = false;
    c.PrintSettings.PrintTime = "2011-05-02 10:00";
    c.LanguageIndex = 3;
    c.RecentProjects = {"/home/anna/Urlaub 2011.clv", "/home/anna/a=b.clv"};
    return c;
}

// Puts the user data folder under a fresh temporary home for one test.
class ConfigurationFolder : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = qgetenv("XDG_CONFIG_HOME");
        FBase = MakeTempDir() + "/nested/config";
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(FBase));
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", FSaved); }
    std::string FBase;
    QByteArray FSaved;
};

} // namespace

TEST_F(ConfigurationFolder, MissingFileGivesDefaultsAndCreatesTheFolder) {
    ASSERT_EQ(UserDataFolder(), FBase + "/VelmoraFree2011");
    ASSERT_EQ(ConfigurationFile(), FBase + "/VelmoraFree2011/cfg.ini");
    TConfiguration c = Edited();
    ReadConfiguration(c);
    EXPECT_TRUE(fs::is_directory(UserDataFolder()));
    EXPECT_FALSE(fs::exists(ConfigurationFile())); // reading writes nothing

    EXPECT_EQ(c.LanguageIndex, -1);
    const TPrintSettings& p = c.PrintSettings;
    EXPECT_EQ(p.Top, 20.0);
    EXPECT_EQ(p.Left, 20.0);
    EXPECT_EQ(p.TopUnit, 1);
    EXPECT_EQ(p.LeftUnit, 1);
    EXPECT_TRUE(p.Center);
    EXPECT_EQ(p.Scale, 100.0);
    EXPECT_TRUE(p.FitPage);
    EXPECT_EQ(p.WidthUnit, 1);
    EXPECT_EQ(p.HeightUnit, 1);
    EXPECT_TRUE(p.BorderBox);
    EXPECT_EQ(p.PrintTime, "");
    EXPECT_EQ(p, TPrintSettings());

    // The file's own defaults, which differ from a new page's in two places.
    const TCollageSettings& s = c.CollageSettings;
    EXPECT_EQ(s.SizeType, 0);
    EXPECT_EQ(s.PredifineType, 0);
    EXPECT_EQ(s.Width, 1024);
    EXPECT_EQ(s.Height, 768);
    EXPECT_EQ(s.WidthUnit, 0);
    EXPECT_EQ(s.HeightUnit, 0);
    EXPECT_EQ(s.Orientation, 0);
    EXPECT_EQ(s.BKType, 1);
    EXPECT_EQ(s.BKColor, 16777215);
    EXPECT_EQ(s.BKImageFile, "");
    EXPECT_EQ(s.BKImageFillType, 0);
    EXPECT_EQ(c.UserPhotoFolder, "");
}

TEST_F(ConfigurationFolder, WriteThenReadKeepsEveryValue) {
    const TConfiguration written = Edited();
    ASSERT_TRUE(WriteConfiguration(written));
    TConfiguration read;
    ReadConfiguration(read);
    EXPECT_EQ(read, written);

    // A second run that changes nothing writes the same bytes.
    const std::string first = ReadRaw(ConfigurationFile());
    ASSERT_TRUE(WriteConfiguration(read));
    EXPECT_EQ(ReadRaw(ConfigurationFile()), first);
    EXPECT_EQ(fs::directory_iterator(UserDataFolder())->path().filename(), "cfg.ini");
    EXPECT_EQ(std::distance(fs::directory_iterator(UserDataFolder()), fs::directory_iterator()), 1);

    // File > Open Recent: the latest first, once each, at most eight; the
    // files that are gone leave the list
    const std::string dir = MakeTempDir();
    for (int i = 0; i < 10; ++i) {
        WriteRaw(dir + "/" + std::to_string(i) + ".clv", "x");
        RememberRecentProject(read, dir + "/" + std::to_string(i) + ".clv");
    }
    RememberRecentProject(read, dir + "/5.clv");
    ASSERT_EQ(read.RecentProjects.size(), size_t(kMaxRecentProjects));
    EXPECT_EQ(read.RecentProjects[0], dir + "/5.clv");
    EXPECT_EQ(read.RecentProjects[1], dir + "/9.clv");
    EXPECT_EQ(read.RecentProjects[7], dir + "/2.clv"); // 0.clv and 1.clv fell off
    fs::remove(dir + "/9.clv");
    EXPECT_TRUE(DropVanishedRecentProjects(read));
    EXPECT_EQ(read.RecentProjects.size(), 7u);
    EXPECT_EQ(read.RecentProjects[1], dir + "/8.clv");
    ASSERT_TRUE(WriteConfiguration(read));
    TConfiguration again;
    ReadConfiguration(again);
    EXPECT_EQ(again.RecentProjects, read.RecentProjects);
}

TEST(Configuration, KeysAreWrittenInTheirFixedOrder) {
    const std::string dir = MakeTempDir() + "/VelmoraFree2011";
    ASSERT_TRUE(WriteConfiguration(TConfiguration(), dir));
    EXPECT_EQ(ReadRaw(dir + "/cfg.ini"), "[System]\n"
                                         "CollageSizeType=1\n"
                                         "PredifineType=0\n"
                                         "Width=1024\n"
                                         "Height=768\n"
                                         "WidthUnit=0\n"
                                         "HeightUnit=0\n"
                                         "Orientation=0\n"
                                         "BKType=1\n"
                                         "BKColor=16777215\n"
                                         "BKImageFile=\n"
                                         "BKImageFillType=2\n"
                                         "UserPhoto=\n"
                                         "\n"
                                         "[PrintPrew]\n"
                                         "Top=20\n"
                                         "Left=20\n"
                                         "TopUnit=1\n"
                                         "LeftUnit=1\n"
                                         "Center=1\n"
                                         "Scale=100\n"
                                         "FitPage=1\n"
                                         "WidthUnit=1\n"
                                         "HeightUnit=1\n"
                                         "BorderBox=1\n"
                                         "PrintTime=\n"
                                         "\n"
                                         "[Language]\n"
                                         "index=-1\n");
}

TEST(Configuration, OutOfRangeValuesAreCorrected) {
    const std::string dir = MakeTempDir();
    WriteRaw(dir + "/cfg.ini",
             "[system]\r\n"
             "width=0\r\nHeight=-5\r\nWidthUnit=5\r\nHeightUnit=3\r\n"
             "BKType=300\r\nOrientation=abc\r\nBKColor=-16777201\r\n"
             "[PrintPrew]\r\nTop=12,5\r\nLeft=x\r\nTopUnit=7\r\nLeftUnit=-1\r\nWidthUnit=3\r\n"
             "Center=0\r\nFitPage=2\r\nScale=1e400\r\n"
             "[LANGUAGE]\r\nINDEX=42\r\n");
    TConfiguration c;
    ReadConfiguration(c, dir);
    EXPECT_EQ(c.CollageSettings.Width, 1024);
    EXPECT_EQ(c.CollageSettings.Height, 768);
    EXPECT_EQ(c.CollageSettings.WidthUnit, 0);
    EXPECT_EQ(c.CollageSettings.HeightUnit, 0);
    EXPECT_EQ(c.CollageSettings.BKType, 1);      // not a byte value
    EXPECT_EQ(c.CollageSettings.Orientation, 0); // unreadable
    EXPECT_EQ(c.CollageSettings.BKColor, -16777201);
    EXPECT_EQ(c.PrintSettings.Top, 12.5); // written with a decimal comma
    EXPECT_EQ(c.PrintSettings.Left, 20.0);
    EXPECT_EQ(c.PrintSettings.TopUnit, 1);
    EXPECT_EQ(c.PrintSettings.LeftUnit, 1);
    EXPECT_EQ(c.PrintSettings.WidthUnit, 3);
    EXPECT_FALSE(c.PrintSettings.Center);
    EXPECT_TRUE(c.PrintSettings.FitPage);
    EXPECT_EQ(c.PrintSettings.Scale, 100.0); // out of range for a double
    EXPECT_EQ(c.LanguageIndex, 42);          // kept even when no such language exists

    WriteRaw(dir + "/cfg.ini", "[System]\nWidth=2\nWidthUnit=2\nHeightUnit=1\n");
    ReadConfiguration(c, dir);
    EXPECT_EQ(c.CollageSettings.Width, 2);
    EXPECT_EQ(c.CollageSettings.WidthUnit, 2);
    EXPECT_EQ(c.CollageSettings.HeightUnit, 1);
}

TEST(Configuration, UnknownKeysAreGoneAfterTheNextWrite) {
    const std::string dir = MakeTempDir();
    WriteRaw(dir + "/cfg.ini", "[System]\nAddedByHand=1\nWidth=640\n[Extra]\nx=y\n[Language]\nindex=0\n");
    TConfiguration c;
    ReadConfiguration(c, dir);
    EXPECT_EQ(c.CollageSettings.Width, 640);
    EXPECT_EQ(c.LanguageIndex, 0);
    ASSERT_TRUE(WriteConfiguration(c, dir));
    const std::string text = ReadRaw(dir + "/cfg.ini");
    EXPECT_EQ(text.find("AddedByHand"), std::string::npos);
    EXPECT_EQ(text.find("[Extra]"), std::string::npos);
    EXPECT_NE(text.find("Width=640\n"), std::string::npos);
    EXPECT_NE(text.find("[Language]\nindex=0\n"), std::string::npos);
}

TEST(Configuration, AnUnwritableFolderIsNoFailure) {
    const std::string dir = MakeTempDir();
    WriteRaw(dir + "/occupied", "a file where the folder should be");
    TConfiguration c = Edited();
    EXPECT_FALSE(WriteConfiguration(c, dir + "/occupied/VelmoraFree2011"));
    ReadConfiguration(c, dir + "/occupied/VelmoraFree2011");
    EXPECT_EQ(c, TConfiguration{[] {
                  TConfiguration d;
                  d.CollageSettings.SizeType = 0;
                  d.CollageSettings.BKImageFillType = 0;
                  return d;
              }()});
    EXPECT_EQ(ReadRaw(dir + "/occupied"), "a file where the folder should be");
}
