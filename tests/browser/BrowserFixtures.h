#pragma once
// Picture files and resource folders made by the tests themselves.

#include <QImage>
#include <functional>
#include <string>
#include <vector>

// A w x h picture: colour c everywhere, or with a transparent centre.
QImage SolidPicture(int w, int h, QRgb c, bool transparentCentre = false);
// Writes the picture in `format` ("PNG", "JPEG", "BMP") under any file name.
void WritePicture(const std::string& path, const QImage& image, const char* format);
// A 1 x 1 GIF (a transparent pixel), written byte for byte.
void WriteTinyGif(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
void MakeFolder(const std::string& path);

// Waits (bounded, processing events) until the predicate holds.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000);
