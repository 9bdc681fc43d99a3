#pragma once
// Where the collage lands on paper. Sizes on the print dialog are screen
// pixels at the display's pixels per inch (d); a printer counts its own
// pixels, possibly at different resolutions across and down, so every
// rectangle handed to a printer is worked out here, from the top-left
// corner of the printable area. Nothing here knows about printers or
// widgets: a printer is described by its printable area and resolutions.

#include "document/PrintSettings.h"
#include "engine/Types.h"

struct TPixelSize {
    int Width = 0, Height = 0;
    bool operator==(const TPixelSize&) const = default;
};

// A printer as placement sees it.
struct TPrinterMetrics {
    double PrintableWidth = 0, PrintableHeight = 0; // device pixels
    double ResolutionX = 0, ResolutionY = 0;        // device pixels per inch
};

// A rectangle in device pixels: origin and size.
struct TDeviceRect {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool operator==(const TDeviceRect&) const = default;
};

// The printable area in screen pixels: round(width × d / rx), round(height
// × d / ry).
TPixelSize PageInScreenPixels(const TPrinterMetrics& printer, double ppi);

// "Scale to Fit Page": the picture's proportions, filling the page in one
// direction. With page (PW, PH) and picture (IW, IH): if PH / IH ≥ PW / IW
// the width is PW and the height PW × IH div IW, else the height is PH and
// the width PH × IW div IH.
TPixelSize FitToPage(TPixelSize page, TPixelSize picture);

// "Center Image": ((PW − w) div 2, (PH − h) div 2).
TPoint CenterOnPage(TPixelSize page, TPixelSize printed);

// The print dialog's placement (screen pixels) in device pixels:
// (round(rx × left / d), round(ry × top / d), round(rx × width / d),
// round(ry × height / d)). Unequal resolutions give unequal pixel counts
// and the same proportions on paper.
TDeviceRect DialogDestination(int left, int top, int width, int height, const TPrinterMetrics& printer,
                              double ppi);

// Direct printing with the stored placement: the picture's own size is its
// pixel size at d; fitted to the printable area or at Scale percent;
// centred, or at Top and Left in their units.
TDeviceRect DirectDestination(const TPrintSettings& settings, TPixelSize picture,
                              const TPrinterMetrics& printer, double ppi);

// The miniature of the paper inside the preview panel: the page's
// proportions at the panel's full width (wide pages) or full height.
TPixelSize PreviewPaperSize(TPixelSize panel, TPixelSize page);
// A placement in page pixels scaled onto the miniature paper (each value
// × miniature size div page size).
TDeviceRect PreviewPicture(TDeviceRect placement, TPixelSize page, TPixelSize paper);

// The full-screen preview: the picture shrunk to fit the screen (never
// enlarged, proportions kept) and centred on it.
TDeviceRect FitOnScreen(TPixelSize picture, TPixelSize screen);
