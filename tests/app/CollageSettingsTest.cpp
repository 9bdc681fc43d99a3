// The collage settings dialog through its controls, the dialog commands of
// the main window from the menu to undo, printing through the print dialog
// and the full-screen preview.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/ui/ImageScreenWidget.h"
#include "app/ui/MainForm.h"
#include "app/ui/SetForm.h"
#include "common/TestSupport.h"
#include "editing/ui/ShadowForm.h"
#include "editing/ui/TransForm.h"
#include "engine/Codecs.h"
#include "output/PrintLayout.h"
#include "output/ui/PreviewForm.h"
#include "output/ui/PrintPreviewForm.h"
#include "platform/Units.h"
#include "platform/ui/ColorBox.h"
#include "platform/ui/TrackBar.h"

namespace {
// Runs act on the first visible dialog of that class once a modal loop has
// shown it.
template <class D> void WhenShown(std::function<void(D*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<D*>(w); d && d->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(d);
                return;
            }
    });
    timer->start();
}

std::string PictureFile() {
    const std::string path = MakeTempDir() + "/paper.png";
    TBitmap32 picture{60, 40};
    picture.Clear(0xFF20A040);
    EncodePNGFile(path, picture);
    return path;
}
} // namespace

TEST(SetForm, TypingUnitsAndOkChecksThroughTheControls) {
    SetPixelsPerInch(96);
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    TSetForm form(TCollageSettings{}, "/nonexistent/");
    EXPECT_TRUE(form.RadioBtnCustomize->isChecked());
    EXPECT_FALSE(form.ComboBoxDefineSize->isEnabled());
    EXPECT_EQ(form.EditWidth->text(), "1024");
    EXPECT_EQ(form.ComboBoxDefineSize->itemText(0), "Wallet photo(2\" X 3\")");

    // only digits and the point are typed
    form.EditWidth->clear();
    QTest::keyClicks(form.EditWidth, "1x0-2,4");
    QTest::keyClick(form.EditWidth, Qt::Key_Backspace);
    EXPECT_EQ(form.EditWidth->text(), "1024");
    QTest::keyClick(form.EditWidth, Qt::Key_Home);
    QTest::keyClick(form.EditWidth, Qt::Key_Delete);
    EXPECT_EQ(form.EditWidth->text(), "024");
    form.EditWidth->setText("1024");

    // the two units move together, rounding to whole pixels first
    form.ComboBoxWidthUnit->setCurrentIndex(1);
    EXPECT_EQ(form.EditWidth->text(), "10.67");
    EXPECT_EQ(form.EditHeight->text(), "8.00");
    EXPECT_EQ(form.ComboBoxHeightUnit->currentIndex(), 1);
    form.ComboBoxHeightUnit->setCurrentIndex(0);
    EXPECT_EQ(form.EditWidth->text(), "1024");
    EXPECT_EQ(form.EditHeight->text(), "768");
    form.ComboBoxWidthUnit->setCurrentIndex(1);
    form.EditWidth->setText("4");
    form.ComboBoxWidthUnit->setCurrentIndex(2);
    EXPECT_EQ(form.EditWidth->text(), "10.16");
    form.EditWidth->setText("1.2.3");
    form.ComboBoxWidthUnit->setCurrentIndex(0);
    ASSERT_EQ(messages.Errors.size(), 1u);
    EXPECT_EQ(messages.Errors[0], "Width must be float.");
    EXPECT_EQ(form.ComboBoxWidthUnit->currentIndex(), 2); // put back

    // OK's checks leave the dialog open
    QTest::mouseClick(form.BtnOK, Qt::LeftButton);
    EXPECT_EQ(messages.Errors.back(), "Width is invalid.");
    form.EditWidth->setText("4");
    form.ComboBoxWidthUnit->setCurrentIndex(0);
    EXPECT_EQ(form.EditWidth->text(), "151");
    EXPECT_EQ(form.EditHeight->text(), "768");
    form.EditWidth->setText("10001");
    QTest::mouseClick(form.BtnOK, Qt::LeftButton);
    ASSERT_FALSE(messages.Infos.empty());
    EXPECT_EQ(messages.Infos.back(), "Width must be range from 10 to 10000.");
    form.EditWidth->setText("800");
    QTest::mouseClick(form.RBtnImage, Qt::LeftButton);
    EXPECT_FALSE(form.ColorBoxBK->isEnabled());
    EXPECT_TRUE(form.RBtnTile->isEnabled());
    QTest::mouseClick(form.BtnOK, Qt::LeftButton);
    EXPECT_EQ(messages.Infos.back(), "Please load an image for background.");
    EXPECT_FALSE(form.Accepted);

    // a picture from the picture dialog, which starts in the background folder
    const std::string picture = PictureFile();
    dialogs.Results = {{picture, 1}};
    QTest::mouseClick(form.ButtonLoadImage, Qt::LeftButton);
    EXPECT_EQ(dialogs.Requests.back().InitialDir, "/nonexistent/background/");
    EXPECT_FALSE(form.ImageBK->pixmap().isNull());
    // a predefined size replaces the custom one
    QTest::mouseClick(form.RBnPredefine, Qt::LeftButton);
    EXPECT_FALSE(form.EditWidth->isEnabled());
    form.ComboBoxDefineSize->setCurrentIndex(1);
    QTest::mouseClick(form.BtnOK, Qt::LeftButton);
    ASSERT_TRUE(form.Accepted);
    EXPECT_EQ(form.Settings.SizeType, 0);
    EXPECT_EQ(form.Settings.Width, 1050);
    EXPECT_EQ(form.Settings.BKType, 2);
    EXPECT_EQ(form.Settings.BKImageFile, picture);
}

TEST(MainForm, DialogCommandsRunFromTheMenusAndUndo) {
    TStartOptions o;
    o.ShowSplash = false;
    o.EnableStartTimer = false;
    TMainForm form(o);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    for (const char* name : {"MenuSettings", "MenuShadow", "MenuDelShadow", "MenuTransparent", "MenuCrop"})
        EXPECT_TRUE(form.findChild<QAction*>(name)->isEnabled()) << name;
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    form.Doc.SetModified(false);

    // the 2R page with a picture background
    const std::string picture = PictureFile();
    dialogs.Results = {{picture, 1}};
    WhenShown<TSetForm>([](TSetForm* d) {
        QTest::mouseClick(d->RBnPredefine, Qt::LeftButton);
        d->ComboBoxDefineSize->setCurrentIndex(1);
        QTest::mouseClick(d->RBtnImage, Qt::LeftButton);
        QTest::mouseClick(d->ButtonLoadImage, Qt::LeftButton);
        QTest::mouseClick(d->BtnOK, Qt::LeftButton);
    });
    form.findChild<QAction*>("MenuSettings")->trigger();
    EXPECT_EQ(form.Doc.ImageScreen.Bitmap.Width(), 1050);
    EXPECT_EQ(form.Doc.ImageScreen.Bitmap.Pixel(10, 10), 0xFF20A040u);
    EXPECT_EQ(form.LabelSize->text(), "Size: 1050 X 750");
    EXPECT_EQ(form.LabelSaved->text(), "Unsaved");
    EXPECT_TRUE(form.MenuUnDo->isEnabled());
    form.MenuUnDo->trigger();
    EXPECT_EQ(form.Doc.ImageScreen.Bitmap.Width(), 1024);

    // the shadow dialog changes a selected layer live and Apply keeps it
    auto* layer = form.Doc.Layers().Add<TNewRotLayer>();
    layer->Picture.SetSize(50, 50);
    layer->SetLocation({10, 10, 110, 110});
    layer->SetViewedRect({0, 0, 50, 50});
    layer->RebuildScreenCache();
    form.Editor.SelectLayer(layer);
    WhenShown<TShadowForm>([](TShadowForm* d) {
        d->CheckBoxSetShadow->click();
        d->suiTrackBarSmoothness->setValue(6);
        QTest::mouseClick(d->ButtonApply, Qt::LeftButton);
    });
    form.findChild<QAction*>("MenuShadow")->trigger();
    EXPECT_TRUE(layer->ShadowOn);
    EXPECT_EQ(layer->ShadowSmooth, 6);
    form.MenuUnDo->trigger();
    EXPECT_FALSE(layer->ShadowOn);

    // the transparency window comes and goes with its command
    QAction* trans = form.findChild<QAction*>("MenuTransparent");
    trans->trigger();
    EXPECT_TRUE(form.TransForm->isVisible());
    trans->trigger();
    EXPECT_FALSE(form.TransForm->isVisible());

    // closing now asks to save
    messages.Answers = {TAnswer::Cancel};
    EXPECT_FALSE(form.close());
    EXPECT_EQ(messages.Questions.size(), 1u);
    form.Doc.SetModified(false);
}

TEST(MainForm, PrintDialogPrintsWhereItsFieldsSayAndOkKeepsThemButNotTheScale) {
    SetPixelsPerInch(96);
    TStartOptions o;
    o.ShowSplash = false;
    o.EnableStartTimer = false;
    TMainForm form(o);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TScriptedMessages messages;
    form.Doc.CollageSettings.BKType = 1;
    form.Doc.CollageSettings.BKColor = 0x0000FF;
    form.Doc.ApplyCanvasSettings();
    const std::string pdf = MakeTempDir() + "/collage.pdf";
    int chosen = 0;
    form.PrintDialogs.ChoosePrinter = [&](QPrinter& p, QWidget*) {
        ++chosen;
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    form.PrintDialogs.PageSetup = [](QPrinter& p, QWidget*) {
        p.setPageSize(QPageSize(QPageSize::A4));
        p.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    form.Printer().setPageSize(QPageSize(QPageSize::A4));
    form.Configuration.PrintSettings.Scale = 80;
    std::string fitted, placed;
    WhenShown<TPrintPreviewForm>([&](TPrintPreviewForm* d) {
        // fitted and centred on A4: the paper is portrait in the miniature
        EXPECT_FALSE(d->CheckBoxCenter->isEnabled());
        EXPECT_FALSE(d->EditTop->isEnabled());
        EXPECT_EQ(d->ImagePreview->geometry(), QRect(38, 0, 181, 257));
        EXPECT_EQ(d->ImagePreview->PictureRect, QRect(0, 60, 181, 135));
        QTest::mouseClick(d->ButtonPrint, Qt::LeftButton);
        fitted = InkMismatch(RasterisePdf(pdf, 100), 100, 0, (297 - 157.5) / 2, 210, 157.5);
        // 2 cm from the top and left, 10 cm wide
        d->CheckBoxFitPage->click();
        d->CheckBoxCenter->click();
        for (QComboBox* unit : {d->ComboBoxTopUnit, d->ComboBoxLeftUnit, d->ComboBoxWidthUnit})
            unit->setCurrentIndex(2);
        for (QLineEdit* edit : {d->EditTop, d->EditLeft, d->EditWidth}) {
            edit->selectAll();
            QTest::keyClicks(edit, edit == d->EditWidth ? "10" : "2");
        }
        EXPECT_EQ(d->EditHeight->text(), "2.948"); // inches
        EXPECT_EQ(d->EditScale->text(), "36.849");
        QTest::mouseClick(d->ButtonPrint, Qt::LeftButton);
        placed = InkMismatch(RasterisePdf(pdf, 100), 100, 20, 20, 100, 75);
        // landscape paper: the picture at its own size again, the paper wide
        QTest::mouseClick(d->ButtonPageSet, Qt::LeftButton);
        EXPECT_EQ(d->EditScale->text(), "100.00");
        EXPECT_GT(d->ImagePreview->width(), d->ImagePreview->height());
        QTest::mouseClick(d->ButtonOK, Qt::LeftButton);
    });
    QPushButton* button = form.findChild<QPushButton*>("ImageButtonPrintPreview");
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(fitted, "");
    EXPECT_EQ(placed, "");
    EXPECT_TRUE(messages.Errors.empty()) << messages.Errors.front();
    // OK kept the placement, not the scale the dialog showed
    const TPrintSettings& kept = form.Configuration.PrintSettings;
    EXPECT_EQ(kept.Top, 2);
    EXPECT_EQ(kept.TopUnit, 2);
    EXPECT_EQ(kept.WidthUnit, 2);
    EXPECT_FALSE(kept.Center || kept.FitPage);
    EXPECT_EQ(kept.Scale, 80);
    // the menu's Print uses it: 80 % of the collage's own size at 2 cm
    form.findChild<QAction*>("MenuPrint")->trigger();
    EXPECT_EQ(chosen, 3);
    EXPECT_EQ(InkMismatch(RasterisePdf(pdf, 100), 100, 20, 20, 1024 * 0.8 * 25.4 / 96, 768 * 0.8 * 25.4 / 96),
              "");
    form.Doc.SetModified(false);
}

TEST(MainForm, FullScreenPreviewFitsTheScreenAndClosesOnEscOrAnyButton) {
    TStartOptions o;
    o.ShowSplash = false;
    o.EnableStartTimer = false;
    TMainForm form(o);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int seen = 0;
    for (bool key : {true, false}) {
        WhenShown<TPreviewForm>([&, key](TPreviewForm* p) {
            ++seen;
            const QScreen* screen = form.screen();
            const double ratio = screen->devicePixelRatio();
            const TPixelSize physical{int(screen->geometry().width() * ratio),
                                      int(screen->geometry().height() * ratio)};
            EXPECT_EQ(p->Shown, FitOnScreen({1024, 768}, physical));
            EXPECT_EQ(p->geometry(), screen->geometry());
            EXPECT_EQ(p->Label1->text().toStdString(), "Click left mouse button or press 'Esc' key to close");
            EXPECT_EQ(p->Label2->text(), p->Label1->text());
            EXPECT_EQ(p->Label2->pos() + QPoint(1, 1), p->Label1->pos());
            if (key)
                QTest::keyClick(p, Qt::Key_Escape);
            else
                QTest::mouseRelease(p, Qt::RightButton, {}, QPoint(400, 300));
        });
        if (key) {
            form.ImageScreen->viewport()->setFocus();
            QTest::keyClick(form.ImageScreen->viewport(), Qt::Key_P, Qt::ControlModifier);
        } else {
            form.findChild<QAction*>("MenuPreview")->trigger();
        }
        EXPECT_EQ(seen, key ? 1 : 2);
    }
}
