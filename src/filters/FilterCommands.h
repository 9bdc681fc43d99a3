#pragma once
// The filter browser's commands, without widgets: the thumbnails' pictures,
// the parameter page's set-up and live preview, applying a filter to the
// selected photo at full resolution, and deleting the filters of the
// selected photos. The widgets (the filter list, the parameter page, the
// main window's handlers) gather the control values and call these.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "document/CanvasEditor.h"
#include "filters/BmpFilter.h"

// ---- The thumbnails ----

// The thumbnail source of a picture: stretched to fit 80 x 60 (never
// enlarged) with the picture's own resampler and drawing mode.
constexpr int kThumbnailSourceWidth = 80, kThumbnailSourceHeight = 60;
TBitmap32 ThumbnailSource(const TBitmap32& picture, int boxWidth = kThumbnailSourceWidth,
                          int boxHeight = kThumbnailSourceHeight);
// A copy of the source run through the filter with its built-in defaults.
TBitmap32 FilterThumbnail(const TBitmap32& source, FilterProc proc);

// ---- The parameter page ----

// The filter modes the track bars' tag holds.
enum TFilterMode : int {
    fmNone = -1,
    fmBrightnessContrast = 0,
    fmCanvas = 1,
    fmMosaic = 2,
    fmSketch = 3,
    fmBlur = 4,
    fmSaturation = 5,
    fmColorMatrix = 6,
};

// The six filters without parameters run at once on a double-click.
bool FilterAppliesAtOnce(int filterIndex);
// The mode of a filter with parameters; fmNone for the others.
int FilterModeOf(int filterIndex);

// One track bar of the page: its label (an index into FilterNames()), its
// range and its starting position. Hidden bars have Visible false.
struct TParamBar {
    bool Visible = false;
    int LabelIndex = 0;
    int Min = 0, Max = 0, Position = 0;
};
struct TParamPageSetup {
    int Mode = fmNone;
    std::array<TParamBar, 3> Bars;
    bool CheckBox = false; // "Colorized", checked
};
TParamPageSetup ParamPageSetup(int filterIndex);

// What the page's controls hold.
struct TParamValues {
    std::array<int, 3> Bars{0, 0, 0};
    bool Checked = true;
};

// The parameter block of a mode from the controls: (-1, bar 1, bar 2,
// bar 3); the sketch's (-1, 0 when checked, 1 when not).
FilterParams ModeParams(int mode, const TParamValues& values);
// The mode's filter with the controls' values; fmNone does nothing.
void RunModeFilter(int mode, const TParamValues& values, TBitmap32& picture);

// The live preview: FilterBackup is the selected photo fitted into the
// preview control, the picture shown is a filtered copy of it.
struct TFilterPreview {
    int Mode = fmNone;
    TBitmap32 FilterBackup;
    TBitmap32 Picture;
    // FilterBackup and Picture from the photo, fitted into the box.
    void Load(const TBitmap32& photo, int boxWidth, int boxHeight);
    // Picture := FilterBackup through the mode's filter (modes fmNone and
    // the sketch's track bars leave it as it is).
    void TrackBarChange(const TParamValues& values);
    // The sketch's check box: Picture := FilterBackup sketched.
    void CheckBoxClick(const TParamValues& values);
};

// ---- Commands on the document ----

enum class TFilterClick {
    NoPhoto,  // nothing selected that a filter applies to: nothing changed
    Applied,  // the photo was filtered and the step recorded
    OpenPage, // a filter with parameters: the preview is loaded, show its page
};

// A double-click on filter `filterIndex` of the list.
TFilterClick FilterListPanelDBLClick(TCanvasEditor& ed, int filterIndex, TFilterPreview& preview,
                                     int boxWidth, int boxHeight);
// Apply on the parameter page: the mode's filter on the topmost selected
// photo at full resolution; false when there is none.
bool ApplyParamFilter(TCanvasEditor& ed, int mode, const TParamValues& values);
// Runs a filter on a photo's picture at full resolution and records the
// ReplacePicture step (busy pointer meanwhile). A filter that fails leaves
// the picture as it was.
void FilterPhoto(TCanvasEditor& ed, TNewRotLayer& photo, const std::function<void(TBitmap32&)>& filter);
// "Del Filter": every selected unlocked photo reloaded from its file, its
// flips applied again. Photos whose file cannot be read keep their picture;
// their reasons are shown together, once. Returns the photos restored.
int PMenuDelFilterClick(TCanvasEditor& ed);

// The picture the newest history step left on the layer at `position`, when
// the layer still shows exactly it: a new step can share it.
THistoryPicture SharedNewestPicture(TCollageDocument& doc, int position, const TBitmap32& picture);
