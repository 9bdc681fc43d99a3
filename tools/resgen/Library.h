#pragma once
// The catalogue of the resource library: every picture the generator writes,
// each with the function that draws it. Drawing functions are pure (fixed
// seeds), so any item can be drawn again in-process and gives the same pixels.

#include <QImage>
#include <functional>
#include <string>
#include <vector>

namespace resgen {

enum class TFormat { Jpeg, Png, Gif, Svg, Bmp };

// One file: its path relative to the library root and its picture.
struct TPicture {
    std::string Path;
    TFormat Format = TFormat::Png;
    QImage Image;
    int Quality = 92; // JPEG only
    std::string Text; // SVG only: the document
};

// One catalogue entry; most draw one file, a frame with a companion mask two.
struct TItem {
    std::string Path; // the main file, relative to the library root
    std::function<std::vector<TPicture>()> Make;
};
using TCatalogue = std::vector<TItem>;

// The parts of the library, each appending its entries.
void AddMasks(TCatalogue& items);
void AddFrames(TCatalogue& items);
void AddCliparts(TCatalogue& items);
void AddTextures(TCatalogue& items);
void AddBackgrounds(TCatalogue& items);
void AddPhotos(TCatalogue& items);
void AddUi(TCatalogue& items);
// The program's icon for the desktop's icon theme, beside the library:
// icons/hicolor/<n>x<n>/apps/<id>.png for every size of kIconSizes and
// icons/hicolor/scalable/apps/<id>.svg.
void AddIcons(TCatalogue& items);
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The program's one application id (desktop entry, icon, metadata).
inline constexpr const char* kApplicationId = "org.velmora.Velmora";
void AddButtons(TCatalogue& items);

// Everything, in a fixed order.
TCatalogue Catalogue();

// Writes the pictures below root (a folder path without trailing '/').
void WritePictures(const std::string& root, const std::vector<TPicture>& pictures);

struct TGenerateOptions {
    std::string LanguagesSource; // folder with the *.ini language files; empty = none
    std::string HelpSource;      // folder of the user guide's pages; empty = none
    int Threads = 1;
    bool Verbose = false;
    std::string Only; // when set, only items whose path contains this text
};
// Draws and writes the whole library, the empty user-clipart folder and the
// language files. Returns the number of files written; throws
// std::runtime_error on a write failure.
int GenerateLibrary(const std::string& root, const TGenerateOptions& options);

} // namespace resgen
