// The texts of the program that language files translate, as data: the
// translator's template and the completeness check of shipped translations
// are made from this table.

#include <unordered_set>

#include "language/Language.h"

namespace {

using G = TLanguageGroup;

struct TRawKey {
    const char* Key;
    const char* Default; // nullptr: the key itself
};

// Main menu and shortcut menu.
const TRawKey kMenu[] = {
    {"&File", nullptr},
    {"&New Project", nullptr},
    {"&Open Project", nullptr},
    {"Save as &Image", nullptr},
    {"Save as &Wallpaper", nullptr},
    {"Save Pro&ject", nullptr},
    {"Save Project As...", nullptr},
    {"Paper &Settings", nullptr},
    {"Print Pre&view", nullptr},
    {"&Print", nullptr},
    {"E&xit", nullptr},
    {"&Edit", nullptr},
    {"&UnDo", nullptr},
    {"&ReDo", nullptr},
    {"C&ut", nullptr},
    {"&Copy", nullptr},
    {"&Paste", nullptr},
    {"&Delete", nullptr},
    {"Select &All", nullptr},
    {"Flip &Horizontally", nullptr},
    {"Flip &Vertically", nullptr},
    {"&Settings", nullptr},
    {"&Design", nullptr},
    {"Add &Photo", nullptr},
    {"Add &Text", nullptr},
    {"&Del Mask", nullptr},
    {"&Del Frame", nullptr},
    {"&Shadow", nullptr},
    {"&Del Shadow", nullptr},
    {"&Transparent", nullptr},
    {"&Crop", nullptr},
    {"Zoom &In", nullptr},
    {"Zoom &Out", nullptr},
    {"&Del Border", nullptr},
    {"&View", nullptr},
    {"&Preview", nullptr},
    {"&Layer", nullptr},
    {"Send to &Front", nullptr},
    {"Send to &Back", nullptr},
    {"Layer &Top", nullptr},
    {"Layer B&ottom", nullptr},
    {"&More Languages", nullptr},
    {"&Help", nullptr},
    {"Help &Contents", nullptr},
    {"&About...", nullptr},
    {"&Download More Materials", nullptr},
    {"Set &Shadow", nullptr},
    {"Rotate90", nullptr},
    {"Del Fil&ter", nullptr},
    // Items of our own: the template command, the border item and the
    // shortcut menu's items that have no main-menu twin.
    {"Save as &Template", nullptr},
    {"&Frame", nullptr},
    {"Del &Mask", nullptr},
    {"Del Frame", nullptr},
    {"Change &Photo", nullptr},
    {"Del Border", nullptr},
};

// Labels and buttons of the side panel and the painted button captions.
const TRawKey kPanel[] = {
    {"Clipart Type", nullptr},
    {"Frame Type", nullptr},
    {"Mask Type", nullptr},
    {"Please Input Text", nullptr},
    {"Antialias Level", nullptr},
    {"&Apply", nullptr},
    {"&Cancel", nullptr},
    {"Add &Clipart", nullptr},
    {"&Delete", nullptr},
    {"&Backdrop", nullptr},
    {"Save", nullptr},
    {"&Insert Text", nullptr},
    {"&Modify Text", nullptr},
    // the text page
    {"Horizontal", nullptr},
    {"Vertical", nullptr},
    {"Left", nullptr},
    {"Right", nullptr},
    {"Custom", nullptr},
    {"Top", nullptr},
    {"Middle", nullptr},
    {"Bottom", nullptr},
    {"Halation", nullptr},
    {"Texture", nullptr},
    {"Value", nullptr},
    {"Bold", nullptr},
    {"Italic", nullptr},
    {"Underline", nullptr},
    {"Align Left", nullptr},
    {"Align Center", nullptr},
    {"Align Right", nullptr},
    // The modify page's button, its three tabs, the border label and the
    // hints of the thumbnail grids.
    {"&Modify", nullptr},
    {"Mask", nullptr},
    {"Frame", nullptr},
    {"Filter", nullptr},
    {"Border Type", nullptr},
    {"Double click or drag a photo to load", nullptr},
    {"Double click or drag clipart to apply", nullptr},
    {"Double click frame to apply", nullptr},
    {"Drag a sub frame onto any photo to apply", nullptr},
    {"Drag mask onto any photo to apply", nullptr},
};

// Status bar and message boxes of the main window.
const TRawKey kStatus[] = {
    {"Unsaved", nullptr},
    {"Saved", nullptr},
    {"Untitled", nullptr},
    {"Size", nullptr},
    {"Double Click or", nullptr},
    {"Drag Photo Here.", nullptr},
    {"Please set font size.", nullptr},
    {"The project folder [%s] has existed, do you want to overwrite?", nullptr},
    {"Information", nullptr},
    {"The project has been modified", nullptr},
    {"do you want to save it?", nullptr},
    {"Save Project", nullptr},
    {"The project file is error", nullptr},
    {"Please set antialias level", nullptr},
    {"The layer is locked!", nullptr},
    {"Some layers have been locked", nullptr},
    {"Font size must greater than 0.", nullptr},
    {"The text is too large: its picture would be more than 8000 pixels wide or high.", nullptr},
    {"The picture could not be read.", nullptr},
    {"The picture could not be written.", nullptr},
    {"The project could not be saved.", nullptr},
    {"The collage could not be printed.", nullptr},
    {"The print job could not be started.", nullptr},
    {"The printer reported an error.", nullptr},
    {"No file name was chosen.", nullptr},
    {"The file was not written completely.", nullptr},
    {"The file [%s] already exists, do you want to replace it?", nullptr},
    {"Not enough memory for this operation.", nullptr},
    {"An unexpected error occurred.", nullptr},
    {"Selected a photo first and double click a filter to apply an effection", nullptr},
    // Message boxes: their captions and buttons, and the messages of our own.
    {"Error", nullptr},
    {"&Yes", nullptr},
    {"&No", nullptr},
    {"A layer of the collage could not be drawn; no picture was written.", nullptr},
    {"Layer %d", nullptr},
};

const TRawKey kHint[] = {
    {"Hint01", "Add your photo into this collage"},
    {"Hint02", "Modify your photo with mask, frame or filter"},
    {"Hint03", "Add some beautiful decorations into this collage"},
    {"Hint04", "Add custom text into this collage"},
    {"Hint05", "Add border for this collage"},
    {"Hint06", "Set size or change background for this collage"},
    {"Hint07", "Save or print this collage"},
    {"Hint08", "Crop your selected photo"},
    {"Hint09", "Set transparence for your selected photo"},
    {"Hint10", "Set shadow for your selected photo"},
    {"Hint11", "Filp your selected photo horizontally"},
    {"Hint12", "Filp your selected photo vertically"},
    {"Hint13", "Zoom in your selected photo"},
    {"Hint14", "Zoom out your selected photo"},
    {"Hint15", "Undo your operation"},
    {"Hint16", "Redo your operation"},
    {"Hint17", "Preview your editing collage"},
    {"Hint18", "Delete border for this collage"},
    {"Hint19", "Add frame for your selected photo"},
    {"Hint20", "Add mask for your selected photo"},
    {"Hint21", "Modify your selected photo with filters"},
    {"Hint22", "Capture your photo from webcam and add it into this collage"},
};

// The filter browser's vocabulary, in its fixed order (FilterNames relies on
// it). The cells are narrow, so the long English name takes two lines.
const TRawKey kFilter[] = {
    {"Gray", nullptr},         {"Brightness and Contrast", "Brightness\nand Contrast"},
    {"Carve", nullptr},        {"Relievo", nullptr},
    {"Canvas", nullptr},       {"Equalization", nullptr},
    {"Mosaic", nullptr},       {"Line", nullptr},
    {"Sketch", nullptr},       {"Inverse", nullptr},
    {"Blur", nullptr},         {"Saturation", nullptr},
    {"Color Matrix", nullptr}, {"Brightness", nullptr},
    {"Contrast", nullptr},     {"Range", nullptr},
    {"Colorized", nullptr},    {"Radius", nullptr},
    {"Red", nullptr},          {"Green", nullptr},
    {"Blue", nullptr},         {"&Border", nullptr},
};

// Dialogs: collage settings, wallpaper options, print, full-screen preview,
// shadow, crop, templates.
const TRawKey kDialog[] = {
    {"Collage Setting", nullptr},
    {"Preset collage size", nullptr},
    {"Predefine", nullptr},
    {"Customize", nullptr},
    {"Width", nullptr},
    {"Height", nullptr},
    {"Orientation", nullptr},
    {"Landscape", nullptr},
    {"Portrait", nullptr},
    {"Background", nullptr},
    {"Transparent", nullptr},
    {"Color", nullptr},
    {"Image", nullptr},
    {"Load...", nullptr},
    {"Tile", nullptr},
    {"Center", nullptr},
    {"Stretch", nullptr},
    {"&OK", nullptr},
    {"&Cancel", nullptr},
    {"Please choose a collage size.", nullptr},
    {"Please input width value.", nullptr},
    {"Width is invalid.", nullptr},
    {"Width must be range from 10 to 10000.", nullptr},
    {"Please input height value.", nullptr},
    {"Height is invalid.", nullptr},
    {"Height must be range from 10 to 10000.", nullptr},
    {"Please load an image for background.", nullptr},
    {"Height must be float.", nullptr},
    {"Width must be float.", nullptr},
    {"Wallet photo", nullptr},
    {"Pixel", nullptr},
    {"Inch", nullptr},
    {"Cm", nullptr},
    {"Desktop Wallpaper Option", nullptr},
    {"Please select an option for wallpaper!", nullptr},
    {"Print", nullptr},
    {"Position", nullptr},
    {"Top:", nullptr},
    {"Left:", nullptr},
    {"Center Image", nullptr},
    {"Print Size", nullptr},
    {"Scale:", nullptr},
    {"Scale to Fit Page", nullptr},
    {"Height:", nullptr},
    {"Width:", nullptr},
    {"&Print...", nullptr},
    {"&Page Settings", nullptr},
    {"Can not find any printer.", nullptr},
    {"Left must be float.", nullptr},
    {"Top must be float.", nullptr},
    {"Scale value must be float.", nullptr},
    {"centimeter", nullptr},
    {"millimeter", nullptr},
    {"Click left mouse button or press 'Esc' key to close", nullptr},
    {"Preview", nullptr},
    {"Shadow", nullptr},
    {"Offset_X", nullptr},
    {"Offset_Y", nullptr},
    {"Opacity", nullptr},
    {"Smoothness", nullptr},
    {"Show Color", nullptr},
    {"Set Shadow", nullptr},
    {"Crop", nullptr},
    {"&Reset", nullptr},
    {"Template", nullptr},
    {"Click Here to Get More Templates", nullptr},
    {"Free", nullptr},
    {"Collage", nullptr},
    // the colour boxes' extended and system colours
    {"Money Green", nullptr},
    {"Sky Blue", nullptr},
    {"Cream", nullptr},
    {"Medium Gray", nullptr},
    {"Window", nullptr},
    {"Window Text", nullptr},
    {"Highlight", nullptr},
    {"Button Face", nullptr},
    {"Info Background", nullptr},
    // File dialogs: the names of their filters and the clipart dialog's title.
    {"All Supported Format", nullptr},
    {"BMP Format (high quality)", nullptr},
    {"GIF Format (for web)", nullptr},
    {"Png Format(*.png)", nullptr},
    {"JPG Format (small file size)", nullptr},
    {"Project File(*.clv)", nullptr},
    {"Add Clipart", nullptr},
};

const char* const kColours[] = {"Black", "Maroon",  "Green",  "Olive", "Navy",     "Purple",
                                "Teal",  "Gray",    "Silver", "Red",   "Lime",     "Yellow",
                                "Blue",  "Fuchsia", "Aqua",   "White", "Custom..."};

const char* const kCategories[] = {"Free",      "Circle",  "Heart",  "Star",        "Vignette", "Artistic",
                                   "Classic",   "Wood",    "Gold",   "Film",        "Ornament", "Simple",
                                   "Love",      "Party",   "Nature", "Celebration", "Arrows",   "Bubbles",
                                   "Customize", "Collage", "Baby",   "Travel",      "Winter",   "Wedding"};

std::vector<TLanguageKey> BuildKeys() {
    std::vector<TLanguageKey> keys;
    std::unordered_set<std::string_view> seen;
    auto add = [&](const char* key, const char* def, G group) {
        if (!seen.insert(key).second) return; // shared by several places: one line
        keys.push_back({key, def ? def : key, group});
    };
    for (const TRawKey& k : kMenu) add(k.Key, k.Default, G::Menu);
    for (const TRawKey& k : kPanel) add(k.Key, k.Default, G::Panel);
    for (const TRawKey& k : kStatus) add(k.Key, k.Default, G::Status);
    for (const TRawKey& k : kHint) add(k.Key, k.Default, G::Hint);
    for (const TRawKey& k : kFilter) add(k.Key, k.Default, G::Filter);
    for (const TRawKey& k : kDialog) add(k.Key, k.Default, G::Dialog);
    for (const char* c : kColours) add(c, nullptr, G::Colour);
    for (const char* c : kCategories) add(c, nullptr, G::Category);
    return keys;
}

} // namespace

const std::vector<TLanguageKey>& LanguageKeys() {
    static const std::vector<TLanguageKey> keys = BuildKeys();
    return keys;
}

std::vector<std::string> FilterNames() {
    std::vector<std::string> names;
    for (const TRawKey& k : kFilter) names.push_back(LangDefault(k.Key, k.Default ? k.Default : k.Key));
    return names;
}

std::string HintText(int n) {
    if (n < 1 || n > int(std::size(kHint))) return {};
    const TRawKey& k = kHint[n - 1];
    return LangDefault(k.Key, k.Default);
}

const std::vector<std::string>& TextColorNames() {
    static const std::vector<std::string> names(std::begin(kColours), std::end(kColours));
    return names;
}

const std::vector<std::string>& CategoryNames() {
    static const std::vector<std::string> names(std::begin(kCategories), std::end(kCategories));
    return names;
}
