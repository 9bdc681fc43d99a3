#pragma once
// The only place where the generator writes picture files. Kept narrow so the
// encoders behind it can be exchanged without touching the drawing code.
// Every writer creates missing parent folders and throws std::runtime_error
// (EUserError from the encoders) when the file cannot be written.

#include <QImage>
#include <string>

namespace resgen {

// Baseline JPEG at the given quality (1..100); grey pictures stay one channel.
void WriteJpeg(const std::string& path, const QImage& image, int quality);
// zlib level of the library's PNG files (see WritePng).
constexpr int kLibraryPngLevel = 6;

// 32-bit RGBA PNG carrying the picture's alpha.
void WritePng(const std::string& path, const QImage& image);
// 8-bit GIF with a 256-level grey palette (the picture is converted to grey).
void WriteGif(const std::string& path, const QImage& grey);
// A text file (SVG pictures), UTF-8.
void WriteText(const std::string& path, const std::string& text);
// 32-bit BMP keeping the alpha (the button pictures).
void WriteBmp(const std::string& path, const QImage& image);

} // namespace resgen
