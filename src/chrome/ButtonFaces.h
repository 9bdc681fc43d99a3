#pragma once
// The picture buttons of the main window and of the side-panel pages: which
// pictures each one shows, where they lie in the resource library, and how
// its caption is painted onto them.
//
// A caption is not a property of the button but white bold text painted onto
// each of its pictures, so it can follow the chosen language. Pictures are
// loaded afresh before every painting: a caption is never painted over an
// older one.
//
// On a high-density screen (device pixel ratio above 1) a button uses the
// pictures drawn at twice the size ("name@2x.bmp") and paints its caption on
// them at ratio 2, so the caption layouts keep their logical coordinates.

#include <QFont>
#include <QImage>
#include <array>
#include <string>
#include <vector>

// The five ways of placing a caption on a button's pictures.
enum class TCaptionLayout {
    Tool,   // photo tools: icon on the left, caption centred in the 100 pixels after it
    Main,   // top bar: caption centred under the picture, at y = 94
    Output, // output page: caption centred on the button
    Border, // delete-border button: 10 point, 40-pixel icon on the left
    Text,   // insert/modify text buttons: 10 point, 22-pixel icon on the left
};

// A button's pictures by state: normal, pointer over it ("on"), pressed
// ("down") and disabled ("invalid").
enum class TFace { Normal, Hover, Pressed, Disabled };
inline constexpr int kFaceCount = 4;
using TButtonFaces = std::array<QImage, kFaceCount>; // a null picture: the button has none

// One picture button.
struct TPictureButtonInfo {
    const char* Name;   // object name of the button
    const char* Folder; // folder under "resource/"
    const char* Word;   // the pictures are normal_, on_, down_ + Word + ".bmp"
    // file of the disabled picture: nullptr "invalid_" + Word + ".bmp", "" none
    const char* InvalidFile;
    TCaptionLayout Layout;
    // the caption is the caption of this menu item ...
    const char* CaptionMenu;
    // ... or, when there is no menu item, this language text
    const char* CaptionKey;
    int Hint; // number of the "HintNN" text shown while the pointer is over it; 0 none
};

// Every picture button: the main buttons left to right, the photo tools top
// to bottom, then the buttons of the side-panel pages.
const std::vector<TPictureButtonInfo>& PictureButtons();
const TPictureButtonInfo* FindPictureButton(const std::string& name);

// Place of the main buttons in the top bar and of the photo tools in their
// column (logical pixels); -1 for the page buttons.
int MainButtonLeft(const std::string& name);
int ToolButtonTop(const std::string& name);
inline constexpr int kMainButtonWidth = 93, kMainButtonHeight = 118;
inline constexpr int kToolButtonWidth = 147, kToolButtonHeight = 50;

// The file of one picture of a button (relative to the resource root), ""
// when the button has no picture for that state.
std::string ButtonPictureFile(const TPictureButtonInfo& button, TFace face);
// The same file at twice the size: "name@2x.bmp".
std::string DoubleSizeFile(const std::string& file);

// The caption as painted: every '&' removed.
std::string PaintedCaption(const std::string& caption);

// Caption position on a W x H picture for a text of w x h pixels (div
// truncates toward zero; a caption wider than its band gets a negative
// offset and is clipped by the picture).
int CaptionX(TCaptionLayout layout, int W, int w);
int CaptionY(TCaptionLayout layout, int H, int h);
// Point size of the caption font (8 is the platform's small default), and
// the font: a narrow sans face (Liberation Sans where installed) in bold.
int CaptionPointSize(TCaptionLayout layout);
QFont CaptionFont(TCaptionLayout layout);
// Whether a picture of that state gets the caption.
bool CaptionOnFace(TCaptionLayout layout, TFace face);
// Width of the band the caption is centred in, for a W-pixel button: a
// caption wider than that is clipped or crowds the icon.
int CaptionBand(TCaptionLayout layout, int W);

// Loads the pictures of a button from root + "resource/" (root ends in '/').
// At ratio > 1 the double-size pictures are used where they exist, with
// their device pixel ratio set to 2. A missing or unreadable picture throws
// EUserError naming the file and the file system's or the decoder's reason.
TButtonFaces LoadButtonFaces(const std::string& root, const TPictureButtonInfo& button, double ratio);

// Paints the caption ('&' removed by the caller) onto the faces as the
// layout says: white bold, no background. The x of the border and text
// layouts is measured once on the normal picture and kept for the others.
void PaintCaption(TButtonFaces& faces, const std::string& caption, TCaptionLayout layout);

// Left of the hint label centred between the two separators of the status
// bar (their left edges) for a label of the given width.
int HintLeft(int bevel2Left, int bevel3Left, int labelWidth);
