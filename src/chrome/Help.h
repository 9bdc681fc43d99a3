#pragma once
// Where the commands that lead out of the program go: the user guide (HTML
// pages under "help/" in the resource library, opened in the browser), and
// what the About box says about the program.
//
// The program has no web site: every link is a page of the guide that ships
// with it.

#include <string>
#include <vector>

#include "engine/LibraryVersions.h"

// Pages of the guide that commands open.
inline constexpr const char* kHelpStartPage = "index.html";         // Help Contents, the logo, the About box
inline constexpr const char* kHelpMaterialsPage = "materials.html"; // adding one's own pictures
inline constexpr const char* kHelpLanguagesPage = "translating.html"; // making a translation

// ResourceRoot() + "help/" + page.
std::string HelpPagePath(const std::string& page);
// The same as a local file address ("file:///usr/share/velmora/help/index.html").
std::string HelpPageUrl(const std::string& page);

// The program's version, set by the build from the project's version.
std::string ProgramVersion();
// The program's licence, one line.
std::string ProgramLicence();
// The libraries the program is built on with their versions: Qt, the
// picture libraries, pugixml and zstd.
std::vector<TLibraryVersion> UsedLibraries();
