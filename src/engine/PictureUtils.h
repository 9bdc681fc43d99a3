#pragma once
// Picture utilities: loading picture files with the format check of the
// program, PNG alpha import and export, the size-fitting rules and the paper
// mask of border pictures.

#include <QImage>
#include <string>

#include "engine/Bitmap32.h"

// ---- Loading (PictureLoad.cpp) ----

// Missing file: ShowError "Picture does not exists!\r" + path + ": " + the
// file system's reason, false, target untouched. Otherwise the target is
// cleared to opaque black and the file is decoded by its extension (case
// ignored): .bmp, .jpg/.jpeg, .gif (first frame), .png/.frm (LoadPNG32).
// Another extension: ShowError "Picture format must be bmp, jpeg, jpg or
// png!" with the path on a second line, false. Corrupt data throws
// EUserError (headline kPictureReadFailed, the file, the decoder's reason).
bool LoadPicture32(const std::string& path, TBitmap32& target);
// The decoding of LoadPicture32 without its messages, for decoding away from
// the user-interface thread: target cleared to opaque black, then the file
// decoded by its extension. A missing file, an extension the loader does not
// read and corrupt data all throw EUserError (headline kPictureReadFailed).
void DecodePictureFile(const std::string& path, TBitmap32& target);

// A decoded PNG before its transparency is applied: the picture as opaque
// 32-bit pixels plus what the file said about transparency.
struct TDecodedPNG {
    TBitmap32 Pixels;           // RGB of the picture, alpha 255
    int ColorType = 0;          // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    bool HasKeyColor = false;   // one transparent colour: a grey or RGB tRNS, or a palette tRNS
                                // of only 0 and 255 alphas (its first transparent entry)
    TColor32 KeyColor = 0;      // that colour as 0xFFRRGGBB (16-bit samples: their high byte)
    bool HasPaletteAlpha = false; // a tRNS chunk with palette alphas
    std::vector<uint8_t> Alpha; // per-pixel alpha of colour types 4 and 6, row-major
};

// Decodes a PNG file (throws EUserError on bad data).
TDecodedPNG DecodePNGFile(const std::string& path);
TDecodedPNG DecodePNGMemory(const uint8_t* data, size_t size);

// Applies the transparency rules to an already decoded PNG: RGB with alpha
// 255; a single transparent colour keys every equal pixel to alpha 0; colour
// types 4 and 6 take their alpha data. Palette images with partial
// transparency stay opaque. Result: whether the PNG had transparency.
bool AssignPNG32(TBitmap32& target, const TDecodedPNG& png);
void LoadPNG32(const std::string& path, TBitmap32& target);

// Writes a PNG; with the arguments every caller passes (to8bit false, level 9,
// keepAlpha true) a 32-bit RGBA PNG carrying the source alpha.
void SavePNG32(const std::string& path, const TBitmap32& source, bool to8bit, int level, TColor32 transparent,
               bool keepAlpha);

// Like LoadPicture32 into a QImage (template previews); ".frm" is not
// accepted and the format message is "Picture format must be bmp, jpeg, jpg,
// gif or png!".
bool LoadPictureToBitmap(const std::string& path, QImage& bitmap);

// ---- Size fitting and paper mask (PictureUtils.cpp) ----

// Shrinks (w, h) to fit the box (bw, bh), never enlarging; the result comes
// back through (bw, bh).
void FitInside(int w, int h, int& bw, int& bh);
// The largest (w', h') with the box's aspect ratio that fits in the picture;
// the result comes back through (bw, bh).
void AspectCut(int w, int h, int& bw, int& bh);
// For each pixel: b := 255 − red of K; where P's alpha < b, P's alpha := b and
// P's RGB := (b·paper + (255 − b)·old) div 255. Black mask areas become opaque
// paper; white areas keep the picture.
void ApplyPaperMask(TBitmap32& picture, const TBitmap32& mask, TColor32 paper);
