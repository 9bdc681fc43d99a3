#pragma once
// Changing the page settings of a collage as one undoable step, and the
// checks the collage settings dialog runs on its input before it lets the
// new settings through.
//
// A page change re-places every layer from the old page size to the new one
// (TCollageDocument::AdjustAllLayer); photos keep their proportions by
// adjusting their crop, with rounding, so the step keeps each layer's exact
// placement, crop and text scale from before and after rather than trying to
// compute them back.

#include <string>
#include <vector>

#include "document/CollageSettings.h"
#include "engine/Types.h"
#include "history/UnRedo.h"

class TCanvasEditor;
class TCollageDocument;
class TNewRotLayer;

// ---- The page-settings step ----

// Where a layer sits on the page and what of its picture it shows.
struct TLayerFit {
    TFloatRect Location;
    TRect ViewedRect;
    float TextScaleX = 1.0f, TextScaleY = 1.0f;
    bool operator==(const TLayerFit&) const = default;
};
TLayerFit LayerFitOf(const TNewRotLayer& layer);

// The first record of a PageSettings step (Position -1): the whole settings.
struct TPageSettingsRecord : THistoryRecord {
    TCollageSettings Before, After;
};
// One record per content layer.
struct TLayerFitRecord : THistoryRecord {
    TLayerFit Before, After;
};

// Applies confirmed settings: the page is rebuilt, every content layer
// re-placed from the old to the new page size, the border frame fitted to the
// new page and, when the page colour changed, given the new paper colour.
// Records one PageSettings step and marks the document modified.
void ChangeCollageSettings(TCanvasEditor& ed, const TCollageSettings& settings);
// Undo (before side) or redo (after side) of a PageSettings step. A border
// frame that can no longer be re-papered keeps its picture; the reason is
// returned ("" when all went well).
std::string ApplyPageSettingsStep(TCollageDocument& doc, const THistoryEntry& step, bool undo);

// ---- The settings dialog's input ----

// The predefined page sizes in list order, in pixels before orientation.
struct TPredefinedSize {
    const char* Caption; // the language key (only the first has one) ...
    const char* Note;    // ... followed by this, untranslated
    int Width, Height;
};
inline constexpr TPredefinedSize kPredefinedSizes[] = {
    {"Wallet photo", "(2\" X 3\")", 600, 900},
    {"", "2R (3.5\" X 2.5\")", 1050, 750},
};

// What the dialog's controls hold when OK is pressed.
struct TPageSettingsInput {
    bool Predefined = false;
    int PredefinedIndex = -1; // -1: nothing chosen in the list
    std::string WidthText, HeightText;
    int WidthUnit = 0, HeightUnit = 0; // 0 pixel, 1 inch, 2 centimetre
    bool Landscape = false;
    int BKType = 1; // 0 transparent, 1 colour, 2 picture
    TColor BKColor = 0xFFFFFF;
    std::string BKImageFile;
    int FillType = 2; // 0 tile, 1 centre, 2 stretch
};

// The control a failed check sends the user back to.
enum class TPageInputField { None, SizeList, Width, Height, Background };

struct TPageInputCheck {
    bool Ok = true;
    bool Error = false;  // an error box rather than an information box
    std::string Message; // the language key; empty when already reported
    TPageInputField Field = TPageInputField::None;
};

// Runs the dialog's checks in order and writes the accepted values into
// settings (the fields before a failed check may already be written). A
// background picture must exist and decode: one that does not is refused here
// with the picture loader's own message, so a page never ends up white
// because of a picture that was accepted but could not be read.
TPageInputCheck CheckPageSettingsInput(const TPageSettingsInput& input, TCollageSettings& settings);
