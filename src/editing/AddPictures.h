#pragma once
// Bringing photos and clipart into the collage: new layers from thumbnails
// (double-click or drop), a photo dropped onto a photo or placeholder,
// "Change Photo", and the user's own cliparts in the Customize category.

#include <string>
#include <vector>

class TCanvasEditor;
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

// A photo dropped on the drop-target layer: its picture changes, its place
// stays. Returns false when nothing changed (locked target, unreadable file).
bool DropPhotoOnLayer(TCanvasEditor& ed, TNewRotLayer& target, const std::string& file);

// "Change Photo": asks for a picture and gives it to every selected photo and
// placeholder.
void PMenuChangephotoClick(TCanvasEditor& ed);

// The folder of the Customize clipart category.
std::string UserClipartFolder();
// Copies pictures into it under free names (rose.png, rose0.png, rose1.png
// ...); returns the names written. A copy that fails throws EUserError
// naming the file and the reason (the pictures before it stay).
std::vector<std::string> AddUserCliparts(const std::vector<std::string>& files);

// The default mask every new photo gets.
inline constexpr const char* kDefaultPhotoMask = "Circle\\yuan13.msk";
