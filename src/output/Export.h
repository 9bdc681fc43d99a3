#pragma once
// The collage as a picture outside the program: Save as Image in four
// formats, the desktop wallpaper, and the command-line export.

#include <functional>
#include <string>
#include <vector>

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
// baseline JPEG at quality 90 (or jpegQuality), 32-bit BMP, GIF of at most
// 256 colours without dithering, PNG with alpha at compression level 9.
void WritePicture(const std::string& path, const TBitmap32& picture, TImageFormat format,
                  int jpegQuality = 90);

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

// ---- The command line ----
//
// Every failure prints one line on standard error, "velmora: " + what
// failed + ": " + the file + ": " + the reason (the decoder's or the file
// system's), what being "project", "layer N (kind)", "--fill photo N" or
// "output"; the exit status tells the kind of failure.
enum TExitCode : int {
    ExitOk = 0,
    ExitProject = 1, // the project, or a picture, mask or frame it names, cannot be read or drawn
    ExitUsage = 2,   // the command line is wrong
    ExitFill = 3,    // a --fill photo cannot be read, or there are more photos than placeholders
    ExitOutput = 4,  // the output file cannot be written
};

struct TExportOptions {
    // Photos put into the project's placeholders in stacking order (bottom
    // first), cropped to each box as a dropped photo is; more photos than
    // placeholders is an error, fewer leave the rest as placeholders.
    std::vector<std::string> Fill;
    int JpegQuality = 90; // 1..100
};

// velmora --export PROJECT OUTPUT [--fill PHOTO...] [--jpeg-quality N]:
// renders the project headless at its full page size. Returns the exit
// status.
int RunCommandLineExport(const std::string& project, const std::string& output,
                         const TExportOptions& options = {});

// velmora --thumbnail PROJECT OUTPUT SIZE: a PNG whose longer side is SIZE
// (never larger than the page), for file managers. The preview kept in the
// project file serves when it is at least that large; otherwise the project
// is rendered quickly at that size. needRendering is called before the
// first rendering (the caller sets up what text needs); it is not called
// when the preview serves.
int RunCommandLineThumbnail(const std::string& project, const std::string& output, int size,
                            const std::function<void()>& needRendering = {});

// The text of "velmora --help".
std::string CommandLineHelp();
