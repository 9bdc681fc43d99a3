// The collage settings dialog through its controls, and the dialog commands
// of the main window from the menu to undo.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/ui/MainForm.h"
#include "app/ui/SetForm.h"
#include "common/TestSupport.h"
#include "editing/ui/ShadowForm.h"
#include "editing/ui/TransForm.h"
#include "engine/Codecs.h"
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
