#pragma once
// Where the program finds its resource library and keeps per-user files.

#include <string>

// Folder of the resource library, with a trailing '/':
// $VELMORA_RESOURCES when set; else the executable's folder when it holds the
// library (a "resource" sub-folder); else <prefix>/share/velmora/ of an
// installed program.
std::string ResourceRoot();
// Overrides ResourceRoot (tests); an empty string restores the lookup.
void SetResourceRoot(const std::string& root);

// $XDG_CONFIG_HOME (default ~/.config) + "/VelmoraFree2011", no trailing '/'.
std::string UserDataFolder();

// Names stored inside documents keep the backslash form ("Circle\yuan13.msk");
// on disk the separator is '/'.
std::string NativePath(std::string path);
// The stored form of a relative name: '/' becomes '\'.
std::string StoredPath(std::string path);

bool FileExists(const std::string& path);
// Why path cannot be opened as a file, in the file system's words ("No such
// file or directory", "Permission denied", "Is a directory"); "" when it can
// be found as a regular file.
std::string MissingFileReason(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder with all missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& path);
// Lower-cased extension with its dot (".jpg"), "" when there is none.
std::string LowerExtension(const std::string& path);
std::string ExtractFileName(const std::string& path);
std::string ExtractFileDir(const std::string& path);
