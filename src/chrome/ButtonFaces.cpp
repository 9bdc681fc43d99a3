#include "chrome/ButtonFaces.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "engine/Codecs.h"
#include "engine/Errors.h"
#include "platform/Paths.h"

namespace {

using L = TCaptionLayout;

// The main buttons keep the places the top bar has always given them; the
// two that open the modify and clipart pages follow at the same pitch.
struct TPlace {
    const char* Name;
    int At;
};
const TPlace kMainLefts[] = {{"ImageButtonAddPhoto", 0},    {"ImageButtonAddText", 100},
                             {"ImageButtonBorder", 199},    {"ImageButtonBackdrop", 305},
                             {"ImageButtonOupput", 413},    {"ImageButtonMod", 520},
                             {"ImageButtonAddClipart", 620}};
const TPlace kToolTops[] = {{"ImageButtonCrop", 17},     {"ImageButtonTrans", 66},
                            {"ImageButtonShadow", 114},  {"ImageBtnFlipH", 163},
                            {"ImageButtonFlipV", 210},   {"ImageButtonZoomIn", 258},
                            {"ImageButtonZoomOut", 305}, {"ImageButtonUndo", 353},
                            {"ImageButtonRedo", 402},    {"ImageButtonPreview", 450}};

const std::vector<TPictureButtonInfo> kButtons = {
    // the top bar
    {"ImageButtonAddPhoto", "mainbutton", "addphoto", "", L::Main, "MenuAddPhoto", nullptr, 1},
    {"ImageButtonAddText", "mainbutton", "addtext", "", L::Main, "MenuAddText", nullptr, 4},
    {"ImageButtonBorder", "mainbutton", "border", "", L::Main, nullptr, "&Border", 5},
    {"ImageButtonBackdrop", "mainbutton", "backdrop", "", L::Main, nullptr, "&Backdrop", 6},
    {"ImageButtonOupput", "mainbutton", "save&print", "", L::Main, nullptr, "Save", 7},
    {"ImageButtonMod", "mainbutton", "modify", "", L::Main, nullptr, "&Modify", 2},
    {"ImageButtonAddClipart", "mainbutton", "clipart", "", L::Main, nullptr, "Add &Clipart", 3},
    // the photo tools beside the canvas
    {"ImageButtonCrop", "toolsbtn", "crop", nullptr, L::Tool, "MenuCrop", nullptr, 8},
    {"ImageButtonTrans", "toolsbtn", "transparent", nullptr, L::Tool, "MenuTransparent", nullptr, 9},
    {"ImageButtonShadow", "toolsbtn", "shadow", nullptr, L::Tool, "MenuShadow", nullptr, 10},
    {"ImageBtnFlipH", "toolsbtn", "fliphorizontally", "invalid_fliphorizontically.bmp", L::Tool,
     "MenuFlipHorizontally", nullptr, 11},
    {"ImageButtonFlipV", "toolsbtn", "flipvertically", nullptr, L::Tool, "MenuFlipVertically", nullptr, 12},
    {"ImageButtonZoomIn", "toolsbtn", "zoomin", nullptr, L::Tool, "MenuZoomIn", nullptr, 13},
    {"ImageButtonZoomOut", "toolsbtn", "zoomout", nullptr, L::Tool, "MenuZoomOut", nullptr, 14},
    {"ImageButtonUndo", "toolsbtn", "undo", nullptr, L::Tool, "MenuUnDo", nullptr, 15},
    {"ImageButtonRedo", "toolsbtn", "redo", nullptr, L::Tool, "MenuReDo", nullptr, 16},
    {"ImageButtonPreview", "toolsbtn", "preview", "invalid_prview.bmp", L::Tool, "MenuPreview", nullptr, 17},
    // the side-panel pages
    {"ImageButtonDelBorder", "delborder", "deleteborder", "", L::Border, "MenuDelFrameBorder", nullptr, 18},
    {"ImageButtonInsertText", "addtext", "add", "", L::Text, nullptr, "&Insert Text", 0},
    {"ImageButtonModText", "addtext", "modify", "", L::Text, nullptr, "&Modify Text", 0},
    {"ImageButtonSaveAsImage", "save&print", "saveAsImage", "", L::Output, "MenuSaveasImage", nullptr, 0},
    {"ImageButtonSaveAsWallpaper", "save&print", "saveAsWallPaper", "", L::Output, "MenuSaveasWallpaper",
     nullptr, 0},
    {"ImageButtonSaveAsProject", "save&print", "saveProject", "", L::Output, "MenuSaveasProject", nullptr, 0},
    // the print buttons wear the pictures of the three save buttons, in order
    {"ImageButtonPaperSet", "save&print", "saveAsImage", "", L::Output, "MenuPaperSettings", nullptr, 0},
    {"ImageButtonPrintPreview", "save&print", "saveAsWallPaper", "", L::Output, "MenuPrintPreview", nullptr,
     0},
    {"ImageButtonPrint", "save&print", "saveProject", "", L::Output, "MenuPrint", nullptr, 0},
};

int PlaceOf(const TPlace* places, size_t n, const std::string& name) {
    for (size_t i = 0; i < n; ++i)
        if (name == places[i].Name) return places[i].At;
    return -1;
}

QImage LoadPicture(const std::string& path) {
    const std::string missing = MissingFileReason(path);
    if (!missing.empty()) throw EUserError(kPictureReadFailed, path, missing);
    TBitmap32 picture;
    DecodeBMPFile(path, picture);
    return picture.ToImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

QFont CaptionFont(TCaptionLayout layout) {
    // A narrow sans face: the captions were laid out for small condensed
    // type, and the desktop's default face may be much wider.
    QFont font("Liberation Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(CaptionPointSize(layout));
    font.setBold(true);
    return font;
}

const std::vector<TPictureButtonInfo>& PictureButtons() {
    return kButtons;
}

const TPictureButtonInfo* FindPictureButton(const std::string& name) {
    for (const TPictureButtonInfo& b : kButtons)
        if (name == b.Name) return &b;
    return nullptr;
}

int MainButtonLeft(const std::string& name) {
    return PlaceOf(kMainLefts, std::size(kMainLefts), name);
}

int ToolButtonTop(const std::string& name) {
    return PlaceOf(kToolTops, std::size(kToolTops), name);
}

std::string ButtonPictureFile(const TPictureButtonInfo& button, TFace face) {
    const std::string folder = std::string("resource/") + button.Folder + "/";
    switch (face) {
    case TFace::Normal:
        return folder + "normal_" + button.Word + ".bmp";
    case TFace::Hover:
        return folder + "on_" + button.Word + ".bmp";
    case TFace::Pressed:
        return folder + "down_" + button.Word + ".bmp";
    case TFace::Disabled:
        if (!button.InvalidFile) return folder + "invalid_" + button.Word + ".bmp";
        return *button.InvalidFile ? folder + button.InvalidFile : std::string();
    }
    return {};
}

std::string DoubleSizeFile(const std::string& file) {
    const size_t dot = file.rfind('.');
    const size_t slash = file.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return file + "@2x";
    return file.substr(0, dot) + "@2x" + file.substr(dot);
}

std::string PaintedCaption(const std::string& caption) {
    std::string s = caption;
    std::erase(s, '&');
    return s;
}

int CaptionX(TCaptionLayout layout, int W, int w) {
    switch (layout) {
    case L::Tool:
        return 30 + (100 - w) / 2;
    case L::Main:
    case L::Output:
        return (W - w) / 2;
    case L::Border:
        return 40 + (W - 40 - w) / 2;
    case L::Text:
        return 22 + (W - 25 - w) / 2;
    }
    return 0;
}

int CaptionY(TCaptionLayout layout, int H, int h) {
    return layout == L::Main ? 94 : (H - h) / 2;
}

int CaptionPointSize(TCaptionLayout layout) {
    return layout == L::Border || layout == L::Text ? 10 : 8;
}

bool CaptionOnFace(TCaptionLayout layout, TFace face) {
    return face != TFace::Disabled || (layout != L::Main && layout != L::Output);
}

int CaptionBand(TCaptionLayout layout, int W) {
    switch (layout) {
    case L::Tool:
        return 100;
    case L::Main:
    case L::Output:
        return W;
    case L::Border:
        return W - 40;
    case L::Text:
        return W - 25;
    }
    return W;
}

TButtonFaces LoadButtonFaces(const std::string& root, const TPictureButtonInfo& button, double ratio) {
    TButtonFaces faces;
    for (int i = 0; i < kFaceCount; ++i) {
        const std::string file = ButtonPictureFile(button, TFace(i));
        if (file.empty()) continue;
        // a library without the double-size set still works, a little blurred
        if (ratio > 1) {
            const std::string sharp = root + DoubleSizeFile(file);
            if (FileExists(sharp)) {
                faces[size_t(i)] = LoadPicture(sharp);
                faces[size_t(i)].setDevicePixelRatio(2);
                continue;
            }
        }
        faces[size_t(i)] = LoadPicture(root + file);
    }
    return faces;
}

void PaintCaption(TButtonFaces& faces, const std::string& caption, TCaptionLayout layout) {
    const QString text = QString::fromStdString(caption);
    const QFont font = CaptionFont(layout);
    const bool fixedX = layout == L::Border || layout == L::Text;
    int x = 0;
    bool measured = false;
    for (int i = 0; i < kFaceCount; ++i) {
        QImage& img = faces[size_t(i)];
        if (img.isNull() || !CaptionOnFace(layout, TFace(i))) continue;
        // logical size: a double-size picture keeps the layouts' coordinates
        const QSize size = img.deviceIndependentSize().toSize();
        QPainter p(&img);
        p.setFont(font);
        p.setPen(Qt::white);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QFontMetrics m = p.fontMetrics();
        const int w = m.horizontalAdvance(text), h = m.height();
        if (!fixedX || !measured) {
            x = CaptionX(layout, size.width(), w);
            measured = true;
        }
        const int y = CaptionY(layout, size.height(), h);
        p.drawText(x, y + m.ascent(), text);
    }
}

int HintLeft(int bevel2Left, int bevel3Left, int labelWidth) {
    return bevel2Left + (bevel3Left - bevel2Left - labelWidth) / 2;
}
