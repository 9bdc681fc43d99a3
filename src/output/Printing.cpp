#include "output/Printing.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "document/CollageDocument.h"
#include "engine/Bitmap32.h"
#include "engine/Errors.h"
#include "language/Language.h"
#include "output/Export.h"
#include "platform/Messages.h"

QPageSize::PageSizeId LocalePaper(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

std::unique_ptr<QPrinter> MakePrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Qt falls back to its PDF writer when no printer is installed (but not
    // always when a print system without printers is); its paper is then A4
    // everywhere and its margins a few points wide
    if (printer->outputFormat() == QPrinter::PdfFormat || QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageSize(QPageSize(LocalePaper()));
        printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    printer->setDocName(kPrintJobTitle);
    printer->setCreator(kProductName);
    return printer;
}

bool PrintingAvailable(const QPrinter& printer) {
    return printer.isValid() || !QPrinterInfo::availablePrinterNames().isEmpty();
}

TPrinterMetrics MetricsOf(const QPrinter& printer) {
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    return {area.width(), area.height(), double(printer.logicalDpiX()), double(printer.logicalDpiY())};
}

QImage PictureOnPaper(const TBitmap32& picture) {
    QImage out(picture.Width(), picture.Height(), QImage::Format_RGB32);
    for (int y = 0; y < picture.Height(); ++y) {
        const TColor32* src = picture.ScanLine(y);
        auto* dst = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int x = 0; x < picture.Width(); ++x) {
            const uint32_t c = src[x], a = c >> 24;
            if (a == 255) {
                dst[x] = c;
                continue;
            }
            // c' = (c·a + 255·(255 − a) + 127) / 255 per channel
            uint32_t r = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t ch = (c >> shift) & 0xFF;
                r |= ((ch * a + 255 * (255 - a) + 127) / 255) << shift;
            }
            dst[x] = r;
        }
    }
    return out;
}

namespace {
std::string S(const QString& s) {
    return s.toStdString();
}

// The file a PDF job should leave: what is written is complete exactly when
// the writer got to its end-of-file mark.
bool EndsLikeAPdf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 16) return false;
    f.seek(f.size() - 16);
    return f.read(16).contains("%%EOF");
}

// Draws the picture as one job on whatever the printer is set to.
void RunJob(QPrinter& printer, const QImage& picture, const TDeviceRect& dest, const std::string& name) {
    printer.setDocName(kPrintJobTitle);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EUserError(kPrintFailed, name, Lang("The print job could not be started."));
    painter.drawImage(QRect(dest.X, dest.Y, dest.Width, dest.Height), picture);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw EUserError(kPrintFailed, name, Lang("The printer reported an error."));
}
} // namespace

void PrintPicture(QPrinter& printer, const QImage& picture, const TDeviceRect& dest) {
    if (printer.outputFormat() != QPrinter::PdfFormat) {
        RunJob(printer, picture, dest, S(printer.printerName()));
        return;
    }
    const QString target = printer.outputFileName();
    if (target.isEmpty()) throw EUserError(kPrintFailed, "", Lang("No file name was chosen."));
    const QFileInfo info(target);
    QTemporaryFile part(info.absolutePath() + "/." + info.fileName() + ".XXXXXX");
    if (!part.open()) throw EUserError(kPrintFailed, S(target), S(part.errorString()));
    part.close();
    // the printer keeps the user's name for the next dialog whatever happens
    struct TRestoreName {
        QPrinter& Printer;
        QString Name;
        ~TRestoreName() { Printer.setOutputFileName(Name); }
    } restore{printer, target};
    printer.setOutputFileName(part.fileName());
    RunJob(printer, picture, dest, S(target));
    if (!EndsLikeAPdf(part.fileName()))
        throw EUserError(kPrintFailed, S(target), Lang("The file was not written completely."));
    // a temporary file is private to its owner; the PDF gets the usual
    // permissions of a new file
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const QByteArray from = QFile::encodeName(part.fileName()), to = QFile::encodeName(target);
    ::chmod(from.constData(), 0666 & ~mask);
    if (std::rename(from.constData(), to.constData()) != 0)
        throw EUserError(kPrintFailed, S(target), std::strerror(errno));
    part.setAutoRemove(false);
}

bool PrintCollageDirect(TCollageDocument& doc, QPrinter& printer, const TPrintSettings& settings,
                        const TChoosePrinter& choose, double ppi) {
    if (!PrintingAvailable(printer)) {
        ShowInfo(Lang("Can not find any printer."));
        return false;
    }
    if (!choose(printer)) return false;
    TBusyScope busy;
    TBitmap32 picture;
    ComposeCollage(doc, picture);
    const TDeviceRect dest =
        DirectDestination(settings, {picture.Width(), picture.Height()}, MetricsOf(printer), ppi);
    PrintPicture(printer, PictureOnPaper(picture), dest);
    return true;
}

void PrintCollagePlaced(TCollageDocument& doc, QPrinter& printer, const TDeviceRect& placement, double ppi) {
    TBusyScope busy;
    TBitmap32 picture;
    ComposeCollage(doc, picture);
    const TDeviceRect dest = DialogDestination(placement.X, placement.Y, placement.Width, placement.Height,
                                               MetricsOf(printer), ppi);
    PrintPicture(printer, PictureOnPaper(picture), dest);
}
