#pragma once
// The per-user settings file cfg.ini in UserDataFolder(): the last page
// settings, the last photo folder, the print placement and the language.
// Read once at start-up, rewritten in full at exit.

#include <string>
#include <vector>

#include "document/CollageSettings.h"
#include "document/PrintSettings.h"

struct TConfiguration {
    TCollageSettings CollageSettings;
    std::string UserPhotoFolder; // folder last chosen in the photo folder tree
    TPrintSettings PrintSettings;
    int LanguageIndex = -1; // -1 built-in English, else a position in the language list
    // The projects opened or saved last, the latest first (section
    // "Recent", keys "File1" ... "File8").
    std::vector<std::string> RecentProjects;

    bool operator==(const TConfiguration&) const = default;
};

// How many projects File > Open Recent offers.
constexpr int kMaxRecentProjects = 8;
// Puts path first in the recent projects (once; the oldest falls off).
void RememberRecentProject(TConfiguration& config, const std::string& path);
// Drops the recent projects whose file is gone; true when any was dropped.
bool DropVanishedRecentProjects(TConfiguration& config);

// UserDataFolder() + "/cfg.ini".
std::string ConfigurationFile();

// Fills every field from the file, each missing or unreadable value taking its
// default; the folder is created (with its parents) first. A missing file
// gives all defaults. Never reports anything.
void ReadConfiguration(TConfiguration& config);
// Writes every key, in a fixed order, replacing the whole file (keys the
// program does not know are gone afterwards). The file is replaced atomically:
// it is the old one or the complete new one, never missing or half-written.
// False when it could not be written; the caller reports nothing.
bool WriteConfiguration(const TConfiguration& config);

// The same against an explicit folder (tests, tools).
void ReadConfiguration(TConfiguration& config, const std::string& folder);
bool WriteConfiguration(const TConfiguration& config, const std::string& folder);
