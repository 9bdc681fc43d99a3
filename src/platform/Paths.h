#pragma once
// Where the program finds its resource library and keeps per-user files.

#include <string>
#include <vector>

// Folder of the resource library, with a trailing '/':
// $VELMORA_RESOURCES when set; else the executable's folder when it holds the
// library (a "resource" sub-folder); else <prefix>/share/velmora/ of an
// installed program.
std::string ResourceRoot();
// Overrides ResourceRoot (tests); an empty string restores the lookup.
void SetResourceRoot(const std::string& root);

// $XDG_CONFIG_HOME (default ~/.config) + "/VelmoraFree2011", no trailing '/'.
std::string UserDataFolder();

// ---- The user's own library ----
// An installed library is read-only, so what a user adds (cliparts, masks,
// frames, backgrounds, textures, templates) lives in a library of their own
// with the same folder layout: $XDG_DATA_HOME (default ~/.local/share) +
// "/velmora/", with a trailing '/'. Both are shown side by side, the shipped
// one first.
std::string UserLibraryRoot();
// The library roots in lookup order: ResourceRoot(), then UserLibraryRoot()
// (once when both are the same folder).
std::vector<std::string> LibraryRoots();
// A library file by its path relative to a root ("Frames/Mine/gold.frm"):
// the shipped file when it exists, else the user's when that exists, else
// the shipped path (messages then name where it was looked for first).
std::string LibraryFile(const std::string& relative);
// The existing folders of that relative path ("Frames/Free"), shipped first.
std::vector<std::string> LibraryFolders(const std::string& relative);
// Where something the user adds under `relative` goes: the shipped folder
// when this user may write there (a build tree), else the user's library.
// The folder is not created.
std::string WritableLibraryFolder(const std::string& relative);
// An existing folder this user may create files in.
bool FolderWritable(const std::string& folder);

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
