#include "output/PrintLayout.h"

#include <cstdint>

#include "engine/PictureUtils.h"
#include "platform/Units.h"

namespace {
// a × b div c without overflow on large pages
int MulDiv(int a, int b, int c) {
    return c == 0 ? 0 : int(int64_t(a) * b / c);
}
} // namespace

TPixelSize PageInScreenPixels(const TPrinterMetrics& printer, double ppi) {
    if (printer.ResolutionX <= 0 || printer.ResolutionY <= 0) return {};
    return {Round(printer.PrintableWidth * ppi / printer.ResolutionX),
            Round(printer.PrintableHeight * ppi / printer.ResolutionY)};
}

TPixelSize FitToPage(TPixelSize page, TPixelSize picture) {
    if (picture.Width <= 0 || picture.Height <= 0) return {};
    // PH / IH ≥ PW / IW, compared without division
    if (int64_t(page.Height) * picture.Width >= int64_t(page.Width) * picture.Height)
        return {page.Width, MulDiv(page.Width, picture.Height, picture.Width)};
    return {MulDiv(page.Height, picture.Width, picture.Height), page.Height};
}

TPoint CenterOnPage(TPixelSize page, TPixelSize printed) {
    return {Div(page.Width - printed.Width, 2), Div(page.Height - printed.Height, 2)};
}

TDeviceRect DialogDestination(int left, int top, int width, int height, const TPrinterMetrics& printer,
                              double ppi) {
    const double rx = printer.ResolutionX, ry = printer.ResolutionY;
    return {Round(rx * left / ppi), Round(ry * top / ppi), Round(rx * width / ppi), Round(ry * height / ppi)};
}

TDeviceRect DirectDestination(const TPrintSettings& s, TPixelSize picture, const TPrinterMetrics& printer,
                              double ppi) {
    const double rx = printer.ResolutionX, ry = printer.ResolutionY;
    if (rx <= 0 || ry <= 0 || ppi <= 0 || picture.Width <= 0 || picture.Height <= 0) return {};
    // everything in inches
    const double pw = printer.PrintableWidth / rx, ph = printer.PrintableHeight / ry;
    const double iw = picture.Width / ppi, ih = picture.Height / ppi;
    double w, h;
    if (!s.FitPage) {
        w = iw * s.Scale / 100;
        h = ih * s.Scale / 100;
    } else if (ph / ih >= pw / iw) {
        w = pw;
        h = ih * pw / iw;
    } else {
        h = ph;
        w = iw * ph / ih;
    }
    double left, top;
    if (s.Center) {
        top = (ph - h) / 2;
        left = (pw - w) / 2;
    } else {
        top = ToPixels(TLengthUnit(s.TopUnit), s.Top, ppi) / ppi;
        left = ToPixels(TLengthUnit(s.LeftUnit), s.Left, ppi) / ppi;
    }
    return {Round(rx * left), Round(ry * top), Round(rx * w), Round(ry * h)};
}

TPixelSize PreviewPaperSize(TPixelSize panel, TPixelSize page) {
    if (page.Width <= 0 || page.Height <= 0) return {};
    if (page.Height < page.Width) return {panel.Width, MulDiv(panel.Width, page.Height, page.Width)};
    return {MulDiv(panel.Height, page.Width, page.Height), panel.Height};
}

TDeviceRect PreviewPicture(TDeviceRect placement, TPixelSize page, TPixelSize paper) {
    return {MulDiv(placement.X, paper.Width, page.Width), MulDiv(placement.Y, paper.Height, page.Height),
            MulDiv(placement.Width, paper.Width, page.Width),
            MulDiv(placement.Height, paper.Height, page.Height)};
}

TDeviceRect FitOnScreen(TPixelSize picture, TPixelSize screen) {
    int w = screen.Width, h = screen.Height;
    FitInside(picture.Width, picture.Height, w, h);
    return {Div(screen.Width - w, 2), Div(screen.Height - h, 2), w, h};
}
