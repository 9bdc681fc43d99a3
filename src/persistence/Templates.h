#pragma once
// Templates without widgets: where they live, how the chooser lists and
// captions them, and the thumbnail written beside a template's project.

#include <string>
#include <vector>

#include "engine/Bitmap32.h"

class TCollageDocument;

// ResourceRoot() + "template/Free/" and "template/Collage/".
std::string FreeTemplateFolder();
std::string CollageTemplateFolder();
// Where Save as Template offers to write: the shipped "template/Free/"
// when it can be written (a build tree), else the same folder in the
// user's library (created when missing).
std::string TemplateSaveFolder();

// The thumbnails of a template folder: every file (not folder) whose
// extension is ".jpg" in any letter case, as full paths sorted by name
// (letter case ignored, then byte order) so the grid does not depend on the
// order the file system returns. A missing folder gives an empty list.
std::vector<std::string> TemplateThumbnails(const std::string& folder);
// The thumbnails of several folders, each folder's after the previous one's
// (a category of the shipped library, then the user's).
std::vector<std::string> TemplateThumbnails(const std::vector<std::string>& folders);

// The caption of a thumbnail: the file name without extension, its first
// character upper case and the rest lower case ("birthday PARTY.jpg" ->
// "Birthday party").
std::string TemplateCaption(const std::string& thumbnailPath);

// The project that belongs to a thumbnail: the extension changed to ".clv".
std::string TemplateProjectFor(const std::string& thumbnailPath);

// Grid geometry of tile n (1-based): 162 x 141 pixels, three to a row, at
// left ((n - 1) mod 3) * 170 + 8 and top ((n - 1) div 3) * 149 + 8.
constexpr int kTileWidth = 162, kTileHeight = 141;
inline int TileLeft(int n) {
    return ((n - 1) % 3) * 170 + 8;
}
inline int TileTop(int n) {
    return ((n - 1) / 3) * 149 + 8;
}

// The thumbnail of a collage: the page with every content layer at full
// resolution, fitted inside 135 x 92 pixels (never enlarged) with linear
// resampling.
TBitmap32 TemplateThumbnail(TCollageDocument& doc);
constexpr int kThumbnailWidth = 135, kThumbnailHeight = 92;

// Writes a picture as a JPEG at the default quality. Throws EUserError when
// it cannot be written.
void SaveThumbnailJPEG(const std::string& path, const TBitmap32& picture);
