#pragma once
// Thumbnails of picture files and the painting of one grid cell.
//
// LoadThumbnail is the single place where the grids decode pictures. It runs
// on worker threads (see ThumbnailLoader.h), so it never shows a message,
// keeps no shared state, and reports every failure -- missing file, unknown
// content, corrupt data, a picture too large -- as false.

#include <string>

#include "engine/Bitmap32.h"
#include "engine/PictureUtils.h" // ShrinkPicture

// What a picture file holds, told by its first bytes rather than its
// extension: masks (".msk") are JPEG or GIF data and frames (".frm") PNG
// data under extensions of their own.
enum class TPictureKind { Unknown, JPEG, PNG, GIF, BMP };
TPictureKind SniffPictureKind(const unsigned char* head, size_t size);
TPictureKind SniffPictureFile(const std::string& path);

// Size of the thumbnail of a picture of picW x picH in an area of
// areaW x areaH: the FitInside rule (never enlarged, divisions truncating).
// A side that fitting would shrink to 0 is kept at 1 pixel so a very thin
// picture still shows as a line.
void ThumbnailSize(int picW, int picH, int areaW, int areaH, int& w, int& h);

// Where a picture of picW x picH is drawn in a cell of cellW x cellH whose
// picture part is pictureH high (the cell height, less the caption when one
// is shown): fitted into (cellW - 6) x (pictureH - 6) and centred at
// ((cellW - w) div 2, (pictureH - h) div 2).
TRect ThumbnailRect(int picW, int picH, int cellW, int pictureH);

// Decodes `path` by its content and shrinks it to the thumbnail size for a
// box of boxWidth x boxHeight (the area of ThumbnailRect: cell width - 6 by
// picture height - 6). `out` gets exactly that size, straight alpha, blend
// draw mode (transparent PNG, frame and GIF pixels blend over the cell).
// Only the seven extensions a grid shows are read. False -- with `out`
// emptied -- for a missing or unreadable file.
//
// Decoding: PNG data goes through LoadPNG32, the program's PNG decoder with
// its transparency rules, so frames look as they will when applied; JPEG,
// GIF and BMP data are decoded in full by content. The JPEG branch is where
// libjpeg-turbo's DCT-domain scaling belongs: choose the largest scale_denom
// of 2, 4 and 8 whose scaled size still covers the thumbnail size, decode at
// that scale and shrink the rest of the way here (see DecodeForThumbnail).
bool LoadThumbnail(const std::string& path, int boxWidth, int boxHeight, TBitmap32& out);

// ---- Painting one cell ----

// What a cell looks like at one moment.
struct TPicCellLook {
    int Width = 80;                    // W
    int Height = 80;                   // the whole cell
    int PictureHeight = 80;            // H': Height less the caption label when shown
    TColor32 Color = 0xFFF0F0F0;       // the cell's own colour (its parent's)
    TColor32 BKColor = 0xFFFFFFFF;     // inner box behind the picture
    TColor32 BorderColor = 0xFF808080; // 1-pixel frame around the picture area
    TColor32 SelectBorderColor = 0xFF000000;
    TColor32 MouseOverColor = 0xFFFFFFFF;
    bool Selected = false;
    bool Hovered = false;
    bool ShowName = false;
    TRect LabelRect;          // the caption label's bounds in the cell (with ShowName)
    bool Placeholder = false; // waiting for the picture: a neutral box is shown
};

// Paints a cell from scratch, bottom to top:
//  1. the whole canvas in Color; when Color differs from BKColor, the inner
//     box [3, W-4) x [3, H'-4) in BKColor;
//  2. the picture into `dest` (drawn when the sizes agree, stretched
//     otherwise; blending follows the picture's draw mode), or the
//     placeholder when asked for;
//  3. the picture frame: a 1-pixel outline of (2, 2)-(W-3, H'-3) in
//     BorderColor;
//  4. selected: the 2-pixel band of (1, 1)-(W-1, H'-1) -- pixels 0-1 and
//     W-2..W-1, 0-1 and H'-2..H'-1 -- in SelectBorderColor and, with a
//     caption, the label's rectangle filled in it; hovered and not
//     selected: the same band in MouseOverColor.
// The canvas gets the cell's size; it is opaque wherever painted.
void PaintPicCell(TBitmap32& canvas, const TPicCellLook& look, const TBitmap32* picture, const TRect& dest);
