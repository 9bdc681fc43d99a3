#pragma once
// Builders shared by the project and template tests: a small resource
// library of our own, picture files, layers made the way the commands make
// them, and comparisons of whole layers.

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "document/CollageDocument.h"

// A resource library in a fresh folder, installed as ResourceRoot for the
// lifetime of the object:
//   Masks/Circle/yuan13.msk   JPEG, white disc on black
//   Frames/Free/gold.frm      PNG, an opaque band round a transparent opening
//   Frames/Free/gold.msk      GIF companion, black outside an inner rectangle
//   Frames/Free/plain.frm     PNG without companion
//   Cliparts/Animals/cat.png  PNG with alpha
//   background/paper.jpg      JPEG
class TMiniLibrary {
public:
    TMiniLibrary();
    ~TMiniLibrary();
    std::string Root; // with a trailing '/'
};

// Picture files in folder: a JPEG / PNG of (w, h) with a colour gradient and
// a marker pixel so flips and crops show.
std::string WriteJpeg(const std::string& path, int w, int h, int seed = 0);
std::string WritePng(const std::string& path, int w, int h, int seed = 0, bool alpha = false);
// A grey GIF of (w, h) through giflib; grey(x, y) gives each pixel.
void WriteGreyGif(const std::string& path, int w, int h, int (*grey)(int x, int y, int w, int h));
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);

// A content layer made as the picture commands make one (loaded from file
// when file is not empty, else from picture).
TNewRotLayer* AddLayer(TCollageDocument& doc, uint8_t kind, const std::string& file,
                       const TFloatRect& location, const std::string& sourceFile);
TNewRotLayer* AddLayer(TCollageDocument& doc, uint8_t kind, const TBitmap32& picture,
                       const TFloatRect& location, const std::string& sourceFile);
// A text layer whose picture is the text drawn by Qt.
TNewRotLayer* AddTextLayer(TCollageDocument& doc, const std::string& text, const TFloatRect& location);
// A template placeholder as the loader makes one.
TNewRotLayer* AddPlaceholder(TCollageDocument& doc, const TFloatRect& location);

// Every field a project keeps, compared (with gtest expectations); what
// names the comparison in failure messages.
void ExpectSameLayer(const TNewRotLayer& a, const TNewRotLayer& b, const std::string& what);
// The two documents render the same pixels.
void ExpectSameRender(TCollageDocument& a, TCollageDocument& b);

// Names of the element children of a node, in order.
std::vector<std::string> ChildNames(const pugi::xml_node& node);
std::vector<std::string> AttributeNames(const pugi::xml_node& node);
// Entries of a folder (names only, sorted), hidden ones included.
std::vector<std::string> FolderEntries(const std::string& folder);
