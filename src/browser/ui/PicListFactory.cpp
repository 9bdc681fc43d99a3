#include "browser/ui/PicListFactory.h"

#include <QApplication>
#include <QFontDatabase>

#include "browser/ui/FilterList.h"
#include "browser/ui/PicFileList.h"

namespace {
constexpr TColor32 kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kSilver = 0xFFC0C0C0, kRed = 0xFFFF0000,
                   kLime = 0xFF00FF00, kYellow = 0xFFFFFF00, kNavy = 0xFF000080, kBlue = 0xFF0000FF;

QColor Q(TColor32 c) {
    return QColor::fromRgb(c & 0xFFFFFF);
}

struct TListLook {
    const char* Name;
    bool Photo, Mask, Frame, ShowName;
    int Box, Border, Extra;
    TColor32 FontColor, BKColor, SelectBorderColor, MouseOverColor;
    bool SelectFontYellow; // otherwise the window-text colour
    bool OwnBlack;         // black of its own; otherwise the parent's colour
};

TPicFileList* Make(QWidget* parent, const TListLook& l) {
    auto* list = new TPicFileList(parent);
    list->setObjectName(l.Name);
    list->ShowPhoto = l.Photo;
    list->ShowMask = l.Mask;
    list->ShowFrame = l.Frame;
    list->ShowName = l.ShowName;
    list->IncludeExt = true;
    list->BoxPanelWidth = l.Box;
    list->BoxPanelHeight = l.Box;
    list->Border = l.Border;
    list->ExtraWidth = l.Extra;
    list->BorderColor = kSilver;
    list->BKColor = l.BKColor;
    list->SelectBorderColor = l.SelectBorderColor;
    list->MouseOverColor = l.MouseOverColor;
    list->Font = {ListFont(), Q(l.FontColor)};
    list->SelectFont = {ListFont(), l.SelectFontYellow ? Q(kYellow)
                                                       : QApplication::palette().color(QPalette::WindowText)};
    list->ParentColor = !l.OwnBlack;
    list->Color = kBlack;
    return list;
}
} // namespace

QFont ListFont() {
    const QString family =
        QFontDatabase::hasFamily("Tahoma") ? QStringLiteral("Tahoma") : QApplication::font().family();
    QFont f(family);
    f.setPointSize(8);
    return f;
}

TPicFileList* CreatePhotoList(QWidget* parent) {
    return Make(parent, {"PicFileListPhoto", true, false, false, true, 80, 2, 40, kWhite, kBlack, kRed, kLime,
                         true, true});
}
TPicFileList* CreateMaskList(QWidget* parent) {
    return Make(parent, {"PicFileListMask", false, true, false, false, 80, 2, 40, kYellow, kBlack, kRed,
                         kLime, false, true});
}
TPicFileList* CreateSubFrameList(QWidget* parent) {
    return Make(parent, {"PicFileListSubFrame", false, false, true, false, 80, 2, 40, kYellow, kBlack, kRed,
                         kLime, false, false});
}
TPicFileList* CreateFrameList(QWidget* parent) {
    return Make(parent, {"PicFileListFrame", false, false, true, false, 80, 2, 40, kYellow, kBlack, kRed,
                         kLime, false, true});
}
TPicFileList* CreateClipartList(QWidget* parent) {
    return Make(parent, {"PicFileListClipart", true, false, false, false, 80, 2, 40, kYellow, kBlack, kRed,
                         kLime, false, false});
}
TPicFileList* CreateTextureList(QWidget* parent) {
    return Make(parent, {"PicFileListTexture", false, false, false, false, 47, 1, 10, kWhite, kWhite, kNavy,
                         kBlue, false, false});
}
TFilterList* CreateFilterList(QWidget* parent) {
    auto* list = new TFilterList(parent);
    list->setObjectName("FilterListPanel");
    list->ShowName = true;
    list->BorderColor = kSilver;
    list->BKColor = kBlack;
    list->SelectBorderColor = kRed;
    list->MouseOverColor = kLime;
    list->Font = {ListFont(), QApplication::palette().color(QPalette::WindowText)};
    list->SelectFont = {ListFont(), Q(kYellow)};
    return list;
}
