#pragma once
// The project file: a collage saved as D/P.clv (a small XML file naming the
// project folder) plus the project folder D/P_CLV holding the description
// "Info.cfg" and copies of the pictures the layers need:
//
//   D/P.clv                      root "File": Version, Type, Folder
//   D/P_CLV/Info.cfg             root "vlm_project": Setting, Layer1, Layer2...
//   D/P_CLV/UserImage/           background "0.ext", photos and texts "N.ext"
//   D/P_CLV/Clipart/Customize/   user cliparts "N.png"
//
// Names of library pictures inside the files keep the backslash form
// ("Circle\yuan13.msk"); they are converted when a file is opened.
//
// Saving writes everything under temporary names beside the target and swaps
// the finished project in with renames, so an existing project survives any
// failure. Loading reads and checks both files before it touches the
// document, so a project that cannot be opened leaves the collage as it was.

#include <cstdint>
#include <string>

class TCollageDocument;

// Writes the document as the project file path (a template when asTemplate:
// photos become empty placeholders). When the project folder exists without
// its project file the user is asked before it is replaced. On success the
// document is bound to path and unmodified; on failure the error has been
// shown, any previous project at path is intact and the document keeps its
// binding and its modified flag.
//
// The save dialogs ask that question themselves, before the dialog closes
// (TFolderQuestion::Answered): a No there offers the dialog again.
enum class TFolderQuestion { Ask, Answered };
bool SaveProject(TCollageDocument& doc, const std::string& path, bool asTemplate,
                 TFolderQuestion folderQuestion = TFolderQuestion::Ask);
// The question before a project folder without its project file is replaced
// by a save to path: "The project folder [%s] has existed, do you want to
// overwrite?". True for Yes.
bool ConfirmProjectFolderReplace(const std::string& path);

// Replaces the document by the project at path. False (with the error shown)
// when the project cannot be opened; the document is then untouched. True
// when the description was read -- also when something in it could not be
// read: a layer whose picture cannot be decoded becomes a placeholder at its
// place, a mask or sub-frame that cannot be decoded is left off, and reading
// stops at a damaged layer element keeping the layers read so far. Then one
// error lists every failure ("file: reason", a line each) and the document
// is left untitled so that saving cannot overwrite the intact file with the
// partial collage. A template (asTemplate) opens untitled as well. The
// history is cleared and no layer is selected. Every error names the file
// and the reason on the lines after the first.
bool LoadProject(TCollageDocument& doc, const std::string& path, bool asTemplate);

// The project folder that belongs to a project file: the extension replaced
// by "_CLV" ("/d/P.clv" -> "/d/P_CLV").
std::string ProjectFolderFor(const std::string& projectFile);

// What a description may ask for. A page side outside 1..MaxPageSide makes
// the description unusable; shadow blur passes are kept to 0..MaxShadowSmooth
// (the range the shadow dialog offers); a layer whose box is wider or higher
// than MaxLayerSide counts as damaged. The defaults cover everything the
// program itself writes; the fuzzing harness lowers them.
struct TProjectLimits {
    int MaxPageSide = 10000;
    int MaxShadowSmooth = 10;
    int64_t MaxLayerSide = 1'000'000;
};
void SetProjectLimits(const TProjectLimits& limits);
const TProjectLimits& ProjectLimits();
