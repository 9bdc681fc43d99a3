#include "persistence/Configuration.h"

#include <algorithm>

#include "language/IniFile.h"
#include "platform/Paths.h"

namespace {

const char* const kSystem = "System";
const char* const kPrint = "PrintPrew";
const char* const kLanguage = "Language";
const char* const kRecent = "Recent";

std::string FileIn(const std::string& folder) {
    return folder + "/cfg.ini";
}

// The page fields are bytes; a value outside 0..255 is no byte value at all
// and takes the default rather than wrapping round.
uint8_t ReadByte(const TIniFile& ini, const char* key, uint8_t def) {
    const int v = ini.ReadInteger(kSystem, key, def);
    return v >= 0 && v <= 255 ? uint8_t(v) : def;
}

// Print units index a four-entry list (pixel, inch, centimetre, millimetre);
// anything else would index past it.
int ReadPrintUnit(const TIniFile& ini, const char* key) {
    const int v = ini.ReadInteger(kPrint, key, 1);
    return v >= 0 && v <= 3 ? v : 1;
}

} // namespace

void RememberRecentProject(TConfiguration& config, const std::string& path) {
    if (path.empty()) return;
    auto& list = config.RecentProjects;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > size_t(kMaxRecentProjects)) list.resize(kMaxRecentProjects);
}

bool DropVanishedRecentProjects(TConfiguration& config) {
    auto& list = config.RecentProjects;
    const size_t before = list.size();
    list.erase(std::remove_if(list.begin(), list.end(), [](const std::string& p) { return !FileExists(p); }),
               list.end());
    return list.size() != before;
}

std::string ConfigurationFile() {
    return FileIn(UserDataFolder());
}

void ReadConfiguration(TConfiguration& config) {
    ReadConfiguration(config, UserDataFolder());
}

bool WriteConfiguration(const TConfiguration& config) {
    return WriteConfiguration(config, UserDataFolder());
}

void ReadConfiguration(TConfiguration& config, const std::string& folder) {
    ForceDirectories(folder);
    const TIniFile ini(FileIn(folder));

    TCollageSettings& c = config.CollageSettings;
    c.SizeType = ReadByte(ini, "CollageSizeType", 0);
    c.PredifineType = ReadByte(ini, "PredifineType", 0);
    c.Width = ini.ReadInteger(kSystem, "Width", 1024);
    if (c.Width <= 0) c.Width = 1024;
    c.Height = ini.ReadInteger(kSystem, "Height", 768);
    if (c.Height <= 0) c.Height = 768;
    c.WidthUnit = ReadByte(ini, "WidthUnit", 0);
    if (c.WidthUnit > 2) c.WidthUnit = 0;
    c.HeightUnit = ReadByte(ini, "HeightUnit", 0);
    if (c.HeightUnit > 2) c.HeightUnit = 0;
    c.Orientation = ReadByte(ini, "Orientation", 0);
    c.BKType = ReadByte(ini, "BKType", 1);
    c.BKColor = ini.ReadInteger(kSystem, "BKColor", 16777215);
    c.BKImageFile = ini.ReadString(kSystem, "BKImageFile", "");
    c.BKImageFillType = ReadByte(ini, "BKImageFillType", 0);
    config.UserPhotoFolder = ini.ReadString(kSystem, "UserPhoto", "");

    TPrintSettings& p = config.PrintSettings;
    p.Top = ini.ReadFloat(kPrint, "Top", 20.0);
    p.Left = ini.ReadFloat(kPrint, "Left", 20.0);
    p.TopUnit = ReadPrintUnit(ini, "TopUnit");
    p.LeftUnit = ReadPrintUnit(ini, "LeftUnit");
    p.Center = ini.ReadBool(kPrint, "Center", true);
    p.Scale = ini.ReadFloat(kPrint, "Scale", 100.0);
    p.FitPage = ini.ReadBool(kPrint, "FitPage", true);
    p.WidthUnit = ReadPrintUnit(ini, "WidthUnit");
    p.HeightUnit = ReadPrintUnit(ini, "HeightUnit");
    p.BorderBox = ini.ReadBool(kPrint, "BorderBox", true);
    p.PrintTime = ini.ReadString(kPrint, "PrintTime", "");

    config.LanguageIndex = ini.ReadInteger(kLanguage, "index", -1);

    config.RecentProjects.clear();
    for (int i = 1; i <= kMaxRecentProjects; ++i) {
        const std::string path = ini.ReadString(kRecent, "File" + std::to_string(i), "");
        auto& list = config.RecentProjects;
        if (!path.empty() && std::find(list.begin(), list.end(), path) == list.end()) list.push_back(path);
    }
}

bool WriteConfiguration(const TConfiguration& config, const std::string& folder) {
    ForceDirectories(folder);
    // Built from nothing, so only the keys below end up in the file.
    TIniFile ini;
    const TCollageSettings& c = config.CollageSettings;
    ini.WriteInteger(kSystem, "CollageSizeType", c.SizeType);
    ini.WriteInteger(kSystem, "PredifineType", c.PredifineType);
    ini.WriteInteger(kSystem, "Width", c.Width);
    ini.WriteInteger(kSystem, "Height", c.Height);
    ini.WriteInteger(kSystem, "WidthUnit", c.WidthUnit);
    ini.WriteInteger(kSystem, "HeightUnit", c.HeightUnit);
    ini.WriteInteger(kSystem, "Orientation", c.Orientation);
    ini.WriteInteger(kSystem, "BKType", c.BKType);
    ini.WriteInteger(kSystem, "BKColor", c.BKColor);
    ini.WriteString(kSystem, "BKImageFile", c.BKImageFile);
    ini.WriteInteger(kSystem, "BKImageFillType", c.BKImageFillType);
    ini.WriteString(kSystem, "UserPhoto", config.UserPhotoFolder);

    const TPrintSettings& p = config.PrintSettings;
    ini.WriteFloat(kPrint, "Top", p.Top);
    ini.WriteFloat(kPrint, "Left", p.Left);
    ini.WriteInteger(kPrint, "TopUnit", p.TopUnit);
    ini.WriteInteger(kPrint, "LeftUnit", p.LeftUnit);
    ini.WriteBool(kPrint, "Center", p.Center);
    ini.WriteFloat(kPrint, "Scale", p.Scale);
    ini.WriteBool(kPrint, "FitPage", p.FitPage);
    ini.WriteInteger(kPrint, "WidthUnit", p.WidthUnit);
    ini.WriteInteger(kPrint, "HeightUnit", p.HeightUnit);
    ini.WriteBool(kPrint, "BorderBox", p.BorderBox);
    ini.WriteString(kPrint, "PrintTime", p.PrintTime);

    ini.WriteInteger(kLanguage, "index", config.LanguageIndex);

    for (size_t i = 0; i < config.RecentProjects.size() && i < size_t(kMaxRecentProjects); ++i)
        ini.WriteString(kRecent, "File" + std::to_string(i + 1), config.RecentProjects[i]);
    return WriteFileAtomically(FileIn(folder), ini.Text());
}
