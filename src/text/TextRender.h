#pragma once
// Drawing the picture of a text layer.
//
// A text layer's Picture is its text drawn once, at the em size in pixels
// the user chose, into a transparent picture just large enough for it; the
// layer then scales, rotates and shadows that picture like any other. The
// text is split into lines at its line breaks (nothing wraps); each line is
// measured with the font's metrics so that its box holds all of its ink --
// the wider of the advance (trailing space included) and the ink's extent
// (italic overhang, negative bearings), ascent + descent high -- and lines
// are stacked top to bottom, each placed left, centred or right within the
// widest.
//
// The letters are filled with the text colour or with a texture picture
// tiled mirrored in both directions. The glow is the letters grown by half
// its pen width, in its own colour, under them -- the shape a round-joined
// pen of that width stroked along the letters' outline paints together with
// their fill. It is computed from the letters' coverage (cost independent of
// the outline's complexity), and the picture grows by that half width on
// every side so the glow is never cut.
//
// Everything is drawn at straight alpha straight into the picture; only the
// letters' coverage goes through QPainter.

#include <QFont>
#include <QString>
#include <string>
#include <vector>

#include "engine/Bitmap32.h"

// How a text looks: what the text page holds for it.
struct TTextLook {
    std::string Text;     // UTF-8; lines end at CR LF, LF or CR
    std::string FontName; // a family name; one that is not installed draws in the generic sans-serif face
    int Size = 100;       // em size in pixels
    bool Bold = false, Italic = false, Underline = false;
    int LineAlign = 0;        // lines within the picture: 0 left, 1 centred, 2 right
    TColor Color = 0xFFFFFF;  // platform colour 0x00BBGGRR
    bool Halation = false;    // glow around the letters
    TColor HalationColor = 0; // platform colour
    int HalationSize = 10;    // glow pen width in pixels, 1..100
    std::string TextureFile;  // full path; empty or unreadable = the solid colour
};

// No side of a text picture may be longer: a larger text is refused rather
// than drawn into a picture of a hundred megapixels on every keystroke.
constexpr int kMaxTextPictureSide = 8000;

// The lines of a text (split at CR LF, LF and CR).
std::vector<QString> SplitTextLines(const std::string& text);

// The size of the letters' box from the measured line boxes: W is the
// largest round(w + 0.5), H is round(sum of h + 0.5), rounding halves to
// even; a W or H of 0 becomes 200.
struct TTextBoxSize {
    int Width = 0, Height = 0;
    bool operator==(const TTextBoxSize&) const = default;
};
TTextBoxSize TextBoxSize(const std::vector<double>& widths, const std::vector<double>& heights);

// Whether the family is installed (aliases such as "Arial" for its
// metric-compatible replacement count).
bool FontFamilyInstalled(const std::string& family);
// The font a look is drawn with: the family (or the generic sans-serif one
// when it is not installed), the em size in pixels, bold, italic and
// underline from the look's own flags.
QFont TextFont(const TTextLook& look);

// Half the glow pen width, rounded up, plus one pixel for the antialiased
// rim: how far the picture reaches past the letters' box on every side
// (0 without glow).
int GlowMargin(const TTextLook& look);

enum class TTextDraw { Drawn, TooLarge };

// Draws the look into picture: resized to the letters' box plus the glow
// margin on every side, transparent where there is no ink, blend draw mode.
// TooLarge (picture untouched) when a side would exceed kMaxTextPictureSide.
// boxSize, when given, receives the letters' box (without the margin).
TTextDraw DrawTextPicture(const TTextLook& look, TBitmap32& picture, TTextBoxSize* boxSize = nullptr);

// The glow: for every pixel, the coverage of a disk of the given radius
// centred on it by the pixels whose coverage is at least half -- 255 within
// radius - 0.5 of such a pixel, falling off over one pixel. coverage and glow
// are width x height bytes; glow may not alias coverage.
void GrowCoverage(const uint8_t* coverage, uint8_t* glow, int width, int height, double radius);
