// Printing: the print dialog's fields and couplings, the placement on
// printers of every resolution, and real jobs written as PDF files and
// read back as pictures.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <sys/stat.h>

#include "document/EditorTestSupport.h"
#include "engine/Errors.h"
#include "output/PrintPreview.h"
#include "output/Printing.h"

namespace {
// The printable area of 8 × 10.5 inches at 600 dpi across and 300 down.
const TPrinterMetrics kUnevenPrinter{8 * 600, 10.5 * 300, 600, 300};

TPrintSettings InPixels() {
    TPrintSettings s;
    s.TopUnit = s.LeftUnit = s.WidthUnit = s.HeightUnit = 0;
    return s;
}
} // namespace

TEST(PrintPlacement, FitCentreAndEveryFieldCoupling) {
    TScriptedMessages messages;
    TPrintPreviewModel m(InPixels(), {1024, 768}, PageInScreenPixels(kUnevenPrinter, 96), 96);
    ASSERT_EQ(m.Page, (TPixelSize{768, 1008}));
    m.Show();
    // fitted: the page's width, centred vertically, the centre box locked
    EXPECT_EQ(m.Width.Text, "768.000");
    EXPECT_EQ(m.Height.Text, "576.000");
    EXPECT_EQ(m.Scale, "75.00");
    EXPECT_EQ(m.Left.Text, "0.000");
    EXPECT_EQ(m.Top.Text, "216.000");
    EXPECT_TRUE(m.Center);
    EXPECT_FALSE(m.CenterEnabled || m.Top.Enabled || m.Left.Enabled || m.ScaleEnabled || m.Width.Enabled);
    EXPECT_EQ(m.Shown, (TDeviceRect{0, 216, 768, 576}));

    // not fitted: the picture's own size; the centre box is free again
    m.FitPageClick(false);
    EXPECT_EQ(m.Width.Text, "1024.000");
    EXPECT_EQ(m.Height.Text, "768.000");
    EXPECT_EQ(m.Scale, "100.00");
    EXPECT_TRUE(m.CenterEnabled && m.Center && m.Width.Enabled && m.ScaleEnabled);
    EXPECT_EQ(m.Left.Text, "-128.000");
    // the height pulls the width and the scale along, and recentres
    m.Height.Text = "384";
    m.HeightChange();
    EXPECT_EQ(m.Width.Text, "512.000");
    EXPECT_EQ(m.Scale, "50.000");
    EXPECT_EQ(m.Left.Text, "128.000");
    EXPECT_EQ(m.Top.Text, "312.000");
    m.Scale = "25";
    m.ScaleChange();
    EXPECT_EQ(m.Width.Text, "256.000");
    EXPECT_EQ(m.Height.Text, "192.000");
    EXPECT_EQ(m.Shown, (TDeviceRect{256, 408, 256, 192}));
    EXPECT_TRUE(messages.Errors.empty());
    // a field that is no number says so and moves nothing else
    m.Width.Text = "5x";
    m.WidthChange();
    EXPECT_EQ(m.Height.Text, "192.000");
    ASSERT_EQ(messages.Errors, std::vector<std::string>{"Width must be float."});

    // units convert the shown value; a list over a field with no number
    // keeps the field's unit
    m.Width.Text = "96";
    EXPECT_TRUE(m.UnitChange(TPrintField::Width, 3));
    EXPECT_EQ(m.Width.Text, "25.4");
    EXPECT_EQ(m.Width.Unit, 3);
    m.CenterClick(false);
    EXPECT_TRUE(m.Top.Enabled && m.Left.Enabled);
    m.Top.Text = "";
    EXPECT_FALSE(m.UnitChange(TPrintField::Top, 2));
    EXPECT_EQ(m.Top.Unit, 0);
    EXPECT_EQ(messages.Errors.back(), "Top must be float.");

    // OK stops at the first field that is no number; the scale is never
    // taken over
    EXPECT_FALSE(m.OK());
    EXPECT_FALSE(m.Accepted);
    m.Top.Text = "2";
    m.Left.Text = "3.5";
    EXPECT_TRUE(m.OK());
    EXPECT_TRUE(m.Accepted);
    EXPECT_EQ(m.Settings.Top, 2);
    EXPECT_EQ(m.Settings.Left, 3.5);
    EXPECT_EQ(m.Settings.WidthUnit, 3);
    EXPECT_FALSE(m.Settings.Center || m.Settings.FitPage);
    EXPECT_EQ(m.Settings.Scale, 100);
    EXPECT_EQ(m.PrintWidth, 25.4);

    // checking the fit box forces and locks centring again; so does a new
    // paper, on which the picture is fitted anew
    m.FitPageClick(true);
    EXPECT_TRUE(m.Center);
    EXPECT_FALSE(m.CenterEnabled || m.Top.Enabled);
    m.PageChanged({1008, 768});
    EXPECT_EQ(m.Placement(), (TDeviceRect{0, 6, 1008, 756}));
}

TEST(PrintPlacement, PrinterPixelsKeepProportionsAtUnevenResolutions) {
    // 8 × 6 inches at (0, 2.25) inches, in pixels of 1/600 and 1/300 inch
    EXPECT_EQ(DialogDestination(0, 216, 768, 576, kUnevenPrinter, 96), (TDeviceRect{0, 675, 4800, 1800}));
    EXPECT_EQ(DirectDestination(TPrintSettings{}, {1024, 768}, kUnevenPrinter, 96),
              (TDeviceRect{0, 675, 4800, 1800}));
    // at half its size, 1 cm down and 2 inches across
    TPrintSettings s;
    s.FitPage = s.Center = false;
    s.Scale = 50;
    s.Top = 1;
    s.TopUnit = 2;
    s.Left = 2;
    EXPECT_EQ(DirectDestination(s, {1024, 768}, kUnevenPrinter, 96), (TDeviceRect{1200, 119, 3200, 1200}));
    // a wide page fills its height
    EXPECT_EQ(FitToPage({1008, 768}, {1024, 1024}), (TPixelSize{768, 768}));

    // the miniature keeps the paper's proportions inside the panel
    const TPixelSize paper = PreviewPaperSize({257, 257}, {768, 1008});
    EXPECT_EQ(paper, (TPixelSize{195, 257}));
    EXPECT_EQ(PreviewPicture({0, 216, 768, 576}, {768, 1008}, paper), (TDeviceRect{0, 55, 195, 146}));
    // the full-screen preview shrinks, never enlarges, and centres
    EXPECT_EQ(FitOnScreen({600, 900}, {1280, 1024}), (TDeviceRect{340, 62, 600, 900}));
    EXPECT_EQ(FitOnScreen({4000, 3000}, {1280, 1024}), (TDeviceRect{0, 32, 1280, 960}));
    // on a screen of twice the density the same collage uses every pixel
    EXPECT_EQ(FitOnScreen({4000, 3000}, {2560, 2048}), (TDeviceRect{0, 64, 2560, 1920}));
}

namespace {
// A red page with a green corner, so position, size and orientation show.
struct TPrintFixture : TEditorFixture {
    TPrintFixture() {
        Doc.CollageSettings.BKColor = 0x0000FF; // red
        Doc.ApplyCanvasSettings();
        AddLayer({0, 0, 128, 96}, itPhoto, 128, 96, 0xFF00C000);
    }
};

// The collage lies where the millimetres say on the page rasterised at
// 100 dpi, the right way up.
void ExpectInkAt(const TPdfPage& page, double x, double y, double w, double h) {
    EXPECT_EQ(InkMismatch(page, 100, x, y, w, h), "");
    // red page, green corner at the top left
    const QRgb middle = page.Page.pixel(page.Ink.center()),
               corner = page.Page.pixel(page.Ink.topLeft() + QPoint(3, 3));
    EXPECT_TRUE(qRed(middle) > 200 && qGreen(middle) < 60 && qBlue(middle) < 60) << std::hex << middle;
    EXPECT_TRUE(qGreen(corner) > 150 && qRed(corner) < 60) << std::hex << corner;
}
} // namespace

TEST(Printing, PdfJobsLandWhereThePlacementSaysAndFailuresKeepFiles) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(LocalePaper(), QPageSize::Letter);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(LocalePaper(), QPageSize::A4);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::unique_ptr<QPrinter> printer = MakePrinter();
    QLocale::setDefault(before);
    if (printer->outputFormat() != QPrinter::PdfFormat) GTEST_SKIP() << "a printer is installed";
    // without a printer: a PDF file on A4, the whole sheet printable
    EXPECT_EQ(printer->pageLayout().pageSize().id(), QPageSize::A4);
    const TPrinterMetrics metrics = MetricsOf(*printer);
    EXPECT_NEAR(metrics.PrintableWidth / metrics.ResolutionX, 210 / 25.4, 0.01);
    EXPECT_NEAR(metrics.PrintableHeight / metrics.ResolutionY, 297 / 25.4, 0.01);
    EXPECT_TRUE(PrintingAvailable(*printer));

    TPrintFixture f;
    TScriptedMessages messages;
    const std::string dir = MakeTempDir(), pdf = dir + "/collage.pdf";
    int asked = 0;
    const auto toFile = [&](QPrinter& p) {
        ++asked;
        p.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    // direct printing, fitted and centred: the page's width, 3:4 high
    ASSERT_TRUE(PrintCollageDirect(f.Doc, *printer, TPrintSettings{}, toFile, 96));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(messages.BusyStarts, 1);
    EXPECT_EQ(messages.BusyDepth, 0);
    ExpectInkAt(RasterisePdf(pdf, 100), 0, (297 - 157.5) / 2, 210, 157.5);
    // one job titled "Quorvel" holding the picture once, as JPEG data
    const std::string info = PopplerTool({"pdfinfo"}, pdf);
    EXPECT_NE(info.find("Title:           Quorvel\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Creator:         Velmora\n"), std::string::npos) << info;
    const std::string images = PopplerTool({"pdfimages", "-list"}, pdf);
    EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 3) << images; // two heading lines
    EXPECT_NE(images.find("1024   768  rgb     3   8  jpeg"), std::string::npos) << images;
    // a PDF gets the permissions of any new file of the user
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(pdf.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    // the dialog's placement: 2 cm from the top and left, 10 cm wide
    const int at = ToPixels(TLengthUnit::Centimetre, 2, 96), wide = ToPixels(TLengthUnit::Centimetre, 10, 96);
    PrintCollagePlaced(f.Doc, *printer, {at, at, wide, wide * 768 / 1024}, 96);
    ExpectInkAt(RasterisePdf(pdf, 100), 20, 20, 100, 75);

    // failures name the file and the reason, leave the printer's file name
    // as the user chose it, and leave no half-written file behind
    const QByteArray good = [&] {
        QFile in(QString::fromStdString(pdf));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }();
    for (const auto& [target, reason] : {std::pair{dir + "/missing/b.pdf", "No such file or directory"},
                                         std::pair{dir + "/taken", "Is a directory"}}) {
        QDir().mkpath(QString::fromStdString(dir + "/taken/x"));
        printer->setOutputFileName(QString::fromStdString(target));
        try {
            PrintCollagePlaced(f.Doc, *printer, {at, at, wide, wide}, 96);
            ADD_FAILURE() << "printed into " << target;
        } catch (const EUserError& e) {
            EXPECT_EQ(e.Headline(), kPrintFailed);
            EXPECT_EQ(e.File(), target);
            EXPECT_EQ(e.Reason(), reason);
        }
        EXPECT_EQ(printer->outputFileName().toStdString(), target);
    }
    EXPECT_EQ(QDir(QString::fromStdString(dir)).entryList(QDir::Files | QDir::Hidden),
              QStringList{"collage.pdf"});
    QFile after(QString::fromStdString(pdf));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), good);
    EXPECT_EQ(messages.BusyDepth, 0);
}
