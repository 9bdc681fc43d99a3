#pragma once
// Bringing photos and clipart into the collage: new layers from thumbnails
// (double-click or drop), a photo dropped onto a photo or placeholder,
// "Change Photo", and the user's own cliparts in the Customize category.

#include <string>
#include <vector>

class TCanvasEditor;
class TBitmap32;
class TNewRotLayer;

enum class TPlacement {
    VisibleCorner, // the top-left corner of the visible part of the page
    DropPoint,     // the picture's top-left corner at the drop point
};

enum class TPictureKind { Photo, Clipart };

// Adds a layer for the file; for clipart, category is the clipart category
// ("Customize" makes a user clipart). The file is decoded first: a file that
// cannot be read leaves the collage and the history as they were. Returns
// the new layer or nullptr.
TNewRotLayer* AddContentLayer(TCanvasEditor& ed, const std::string& file, TPictureKind kind,
                              const std::string& category, TPlacement placement, int dropX = 0, int dropY = 0);

// What a drop of files from the file manager means: a drop that holds a
// project opens the first project (the rest is ignored); a drop of picture
// files only (.jpg, .jpeg, .png, .gif, .bmp, letter case ignored) adds them
// as photos; anything else does nothing.
struct TFileDrop {
    std::string Project;               // the project to open, or ""
    std::vector<std::string> Pictures; // the pictures to add, in drop order
};
TFileDrop PlanFileDrop(const std::vector<std::string>& files);
// A photo file the program reads (by extension, letter case ignored).
bool IsPhotoFile(const std::string& path);

// Pictures that arrive from other programs: a file, or a picture without one
// (copied from an image editor); Picture, when set, is used instead of
// reading File.
struct TDroppedPicture {
    std::string File;
    const TBitmap32* Picture = nullptr;
};
// View pixels between the top-left corners of pictures added together.
inline constexpr int kDroppedPictureStep = 24;
// Adds the pictures as photos, the first at the view point (x, y) with
// DropPoint, or at the visible corner, the others each a step further down
// and right; they end up selected and the whole addition is one history
// step. Every picture is read before the collage changes: when one cannot
// be read (the loader has said why) nothing is added. Returns how many
// layers were added.
int AddPhotoLayers(TCanvasEditor& ed, const std::vector<TDroppedPicture>& pictures, TPlacement placement,
                   int x = 0, int y = 0);

// A photo dropped on the drop-target layer: its picture changes, its place
// stays. Returns false when nothing changed (locked target, unreadable file).
// `decoded`, when given, is the file's picture already read.
bool DropPhotoOnLayer(TCanvasEditor& ed, TNewRotLayer& target, const std::string& file,
                      const TBitmap32* decoded = nullptr);

// "Change Photo": asks for a picture and gives it to every selected photo and
// placeholder.
void PMenuChangephotoClick(TCanvasEditor& ed);

// The user's own folder of the Customize clipart category (`category` is
// its name as listed, "Customize" in any letter case), in the user's
// library: the shipped library is read-only once installed.
std::string UserClipartFolder(const std::string& category = "Customize");
// Copies pictures into it under free names (rose.png, rose0.png, rose1.png
// ...), appending each name written to `added` as it goes. A copy that
// fails throws EUserError naming the file and the reason; the pictures
// before it stay, and are in `added`.
void AddUserCliparts(const std::vector<std::string>& files, std::vector<std::string>& added,
                     const std::string& category = "Customize");
// Removes a user clipart's file; throws EUserError with the file system's
// reason when it cannot be removed.
void DeleteUserClipart(const std::string& file);

// The default mask every new photo gets.
inline constexpr const char* kDefaultPhotoMask = "Circle\\yuan13.msk";
