#pragma once
// The collage as a picture outside the program: Save as Image in four
// formats, the desktop wallpaper, and the command-line export.

#include <string>

#include "platform/Wallpaper.h"

class TCollageDocument;
class TBitmap32;

// The entries of the picture save dialog's filter, numbered from 1.
enum class TImageFormat { Jpeg = 1, Bmp = 2, Gif = 3, Png = 4 };
inline constexpr const char* kImageFilter =
    "JPG Format (small file size)|*.jpg|BMP Format (high quality)|*.bmp|GIF Format (for web)|*.gif|"
    "Png Format(*.png)|*.png";

// The composed collage: page background and every content layer. Throws
// EUserError when a layer could not be drawn, rather than handing on a
// picture that silently lacks layers.
void ComposeCollage(TCollageDocument& doc, TBitmap32& picture);

// Writes the picture in the format (whatever the path's extension says):
// baseline JPEG at quality 90, 32-bit BMP, GIF of at most 256 colours
// without dithering, PNG with alpha at compression level 9.
void WritePicture(const std::string& path, const TBitmap32& picture, TImageFormat format);

// The format a file name's extension names; false for an unknown one.
bool FormatOfExtension(const std::string& path, TImageFormat& format);

// What the picture save dialog remembers between uses.
struct TImageSaveDialogState {
    std::string Folder;
    std::string FileName;
    int FilterIndex = 1;
};
// Save as Image: the dialog, then the picture. True when a file was written.
bool SaveAsImageCommand(TCollageDocument& doc, TImageSaveDialogState& state);

// Where the wallpaper picture goes: "VelmoraWallpaper.bmp" in the resource
// folder, or in the user data folder when the resource folder cannot be
// written (an installed program).
std::string WallpaperFile();
// Writes the wallpaper picture and tells the desktop to show it.
void SetCollageAsWallpaper(TCollageDocument& doc, TWallpaperStyle style, const TCommandRunner& run = RunProcess);

// velmora --export PROJECT OUTPUT: renders the project headless. Returns the
// exit status; a failure prints "velmora: " and its message on standard
// error, a file that failed and the reason on the lines after the first.
int RunCommandLineExport(const std::string& project, const std::string& output);
