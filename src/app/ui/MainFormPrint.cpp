// The main window's print commands and the full-screen preview.

#include <QPrinter>
#include <QScreen>

#include "app/ui/MainForm.h"
#include "engine/Bitmap32.h"
#include "language/Language.h"
#include "output/Printing.h"
#include "output/ui/PreviewForm.h"
#include "output/ui/PrintPreviewForm.h"
#include "platform/Messages.h"
#include "platform/Units.h"

QPrinter& TMainForm::Printer() {
    if (!FPrinter) FPrinter = MakePrinter();
    return *FPrinter;
}

void TMainForm::MenuPaperSettingsClick() {
    if (PrintDialogs.PageSetup) PrintDialogs.PageSetup(Printer(), this);
}

void TMainForm::MenuPrintPreviewClick() {
    QPrinter& printer = Printer();
    if (!PrintingAvailable(printer)) {
        ShowInfo(Lang("Can not find any printer."));
        return;
    }
    QImage picture;
    {
        TBusyScope busy;
        TBitmap32 composed;
        ComposeCollage(Doc, composed);
        picture = PictureOnPaper(composed);
    }
    const double ppi = PixelsPerInch();
    TPrintPreviewForm form(
        Configuration.PrintSettings, picture, printer, PrintDialogs,
        [this, &printer, ppi](const TDeviceRect& placement) {
            PrintCollagePlaced(Doc, printer, placement, ppi);
        },
        this);
    picture = QImage(); // the dialog keeps a small copy
    form.exec();
    if (!form.Model.Accepted) return;
    // everything but the scale, which only direct printing uses
    const TPrintSettings& s = form.Model.Settings;
    TPrintSettings& kept = Configuration.PrintSettings;
    kept.Top = s.Top;
    kept.Left = s.Left;
    kept.TopUnit = s.TopUnit;
    kept.LeftUnit = s.LeftUnit;
    kept.Center = s.Center;
    kept.FitPage = s.FitPage;
    kept.WidthUnit = s.WidthUnit;
    kept.HeightUnit = s.HeightUnit;
    kept.BorderBox = s.BorderBox;
}

void TMainForm::MenuPrintClick() {
    PrintCollageDirect(
        Doc, Printer(), Configuration.PrintSettings,
        [this](QPrinter& printer) {
            return PrintDialogs.ChoosePrinter && PrintDialogs.ChoosePrinter(printer, this);
        },
        PixelsPerInch());
}

void TMainForm::MenuPreviewClick() {
    QImage picture;
    {
        TBitmap32 composed;
        ComposeCollage(Doc, composed);
        picture = PictureOnPaper(composed);
    }
    const QScreen* shows = screen();
    TPreviewForm form(picture, shows->geometry(), shows->devicePixelRatio(), this);
    picture = QImage();
    form.exec();
}
