#pragma once
// Printing the collage: the program's printer, its measurements, and the
// print job itself. Without any printer installed a PDF file is always a
// destination, on the locale's usual paper. The print and page setup
// dialogs are windows and come in as functions.

#include <QImage>
#include <QLocale>
#include <QPageSize>
#include <functional>
#include <memory>
#include <string>

#include "document/PrintSettings.h"
#include "output/PrintLayout.h"

class QPrinter;
class TBitmap32;
class TCollageDocument;

// The title of every print job.
inline constexpr const char* kPrintJobTitle = "Quorvel";

// Headline of a print job that failed (a key of the language table).
inline constexpr const char* kPrintFailed = "The collage could not be printed.";

// The paper a locale uses: Letter where it measures in inches (the United
// States' system), A4 everywhere else.
QPageSize::PageSizeId LocalePaper(const QLocale& locale = QLocale());

// The program's printer: the system's default printer at its own settings,
// or, with none installed, a PDF file on the locale's paper with no margins
// (the whole sheet is printable). High resolution.
std::unique_ptr<QPrinter> MakePrinter();

// True when the printer can take a job: an installed printer or a PDF file.
bool PrintingAvailable(const QPrinter& printer);

// The printable area (device pixels, after the user's margins) and the
// resolutions.
TPrinterMetrics MetricsOf(const QPrinter& printer);

// The picture as paper shows it: transparent parts are white paper.
QImage PictureOnPaper(const TBitmap32& picture);

// Runs one job titled "Quorvel" that draws the picture stretched into dest
// (device pixels from the top-left corner of the printable area). A PDF
// file is written under a temporary name beside it and takes its name only
// when complete, so a failed job leaves any earlier file as it was. A
// failure throws EUserError naming the file (or printer) and the reason.
void PrintPicture(QPrinter& printer, const QImage& picture, const TDeviceRect& dest);

// The print dialog: lets the user choose the printer or file; false when
// cancelled.
using TChoosePrinter = std::function<bool(QPrinter&)>;

// The menu's "Print...": the print dialog, then the composed collage with
// the stored placement. False when the user cancelled.
bool PrintCollageDirect(TCollageDocument& doc, QPrinter& printer, const TPrintSettings& settings,
                        const TChoosePrinter& choose, double ppi);

// The print dialog's own "Print...", after its dialog: the collage composed
// anew and printed at the placement (screen pixels from the top left of the
// printable area, as the dialog's fields hold it).
void PrintCollagePlaced(TCollageDocument& doc, QPrinter& printer, const TDeviceRect& placement, double ppi);
