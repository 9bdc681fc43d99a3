#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include "app/ui/MainForm.h"
#include "browser/ui/SidePanel.h"
#include "common/TestSupport.h"
#include "text/ui/ColorBox.h"
#include "text/ui/TextPage.h"

namespace {
TStartOptions Quiet() {
    TStartOptions o;
    o.ShowSplash = false;
    o.EnableStartTimer = false;
    return o;
}

int UndoSteps(const TUnReDo& h) {
    int n = 0;
    for (int i = h.Current(); i != h.Oldest(); i = (i + TUnReDo::kSlots - 1) % TUnReDo::kSlots) ++n;
    return n;
}
} // namespace

// The page driven through its widgets, as a user does.
TEST(TextPage, TypingStylingPlacingAndPickingThroughTheWidgets) {
    TMainForm form(Quiet());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TScriptedMessages messages;
    TTextPage& page = *form.NotebookPanel->TextPage;

    // start-up state
    EXPECT_EQ(page.suiComboBoxHorizontal->currentIndex(), 1);
    EXPECT_EQ(page.suiComboBoxVertical->currentIndex(), 1);
    EXPECT_EQ(page.ComboBoxAALevel->currentText(), "4");
    EXPECT_EQ(page.TrackBarHalation->value(), 10);
    EXPECT_EQ(page.suiColorBoxColor->Color(), 0xFFFFFF);
    EXPECT_TRUE(page.BitBtnLeft->isChecked());
    EXPECT_GT(page.suiFontComboBoxFont->count(), 3);
    EXPECT_EQ(page.suiFontComboBoxFont->currentText(), "Liberation Sans");        // "Arial" as installed here
    EXPECT_EQ(page.MemoText->palette().color(QPalette::Base), QColor(Qt::black)); // white on black

    // "Add Text" shows the page with size 100; typing creates one layer
    // and one step
    form.findChild<QToolButton*>("ImageButtonAddText")->click();
    EXPECT_EQ(form.NotebookPanel->CurrentPage(), "Text");
    EXPECT_EQ(page.suiComboBoxSize->currentText(), "100");
    QTest::keyClicks(page.MemoText, "Happy");
    TNewRotLayer* t = page.Commands->SelectedText();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Text, "Happy");
    EXPECT_EQ(UndoSteps(form.Doc.UndoHistory), 1);

    // the size box takes digits only (Backspace is refused too)
    QLineEdit* size = page.suiComboBoxSize->lineEdit();
    size->selectAll();
    QTest::keyClicks(size, "8x0");
    EXPECT_EQ(page.suiComboBoxSize->currentText(), "80");
    QTest::keyClick(size, Qt::Key_Backspace);
    EXPECT_EQ(page.suiComboBoxSize->currentText(), "80");
    EXPECT_EQ(t->Font->Font.pixelSize(), 80);
    EXPECT_EQ(UndoSteps(form.Doc.UndoHistory), 2); // "8" and "80" are one step

    // bold; a light colour turns the text box black, a darker one white
    page.SpeedButtonBold->click();
    EXPECT_TRUE(t->Font->Font.bold());
    page.suiColorBoxColor->setCurrentIndex(8); // silver, 0xC0C0C0
    emit page.suiColorBoxColor->activated(8);
    EXPECT_EQ(page.MemoText->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(t->Font->Color, 0xFFC0C0C0u);
    const auto pickColor = TTextColorBox::PickColor;
    TTextColorBox::PickColor = [](TColor, QWidget*) { return std::optional<TColor>(0xEBF0FA); };
    emit page.suiColorBoxColor->activated(16); // custom: R 250, G 240, B 235
    EXPECT_EQ(page.MemoText->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(t->Font->Color, 0xFFFAF0EBu);

    // glow by the slider: a drag is one step
    page.CheckBoxHalation->click();
    const int before = UndoSteps(form.Doc.UndoHistory);
    for (int v : {12, 14, 16}) page.TrackBarHalation->setValue(v);
    EXPECT_EQ(UndoSteps(form.Doc.UndoHistory), before + 1);
    EXPECT_EQ(t->TextStyle->HalationSize, 16);

    // "Right" moves the text against the right page edge
    page.suiComboBoxHorizontal->setCurrentIndex(2);
    EXPECT_FLOAT_EQ(t->Location.Right, float(form.Doc.ImageScreen.Bitmap.Width()));

    // picking the layer fills the page from it
    page.SpeedButtonBold->setChecked(false);
    {
        QSignalBlocker quiet(page.suiComboBoxSize);
        page.suiComboBoxSize->setEditText("12");
    }
    form.TextLayerPicked(*t);
    EXPECT_EQ(page.MemoText->toPlainText(), "Happy");
    EXPECT_EQ(page.suiComboBoxSize->currentText(), "80");
    EXPECT_TRUE(page.SpeedButtonBold->isChecked());
    EXPECT_TRUE(page.CheckBoxHalation->isChecked());
    EXPECT_EQ(page.TrackBarHalation->value(), 16);
    EXPECT_EQ(page.suiComboBoxHorizontal->currentIndex(), 2);
    EXPECT_TRUE(messages.Infos.empty()) << messages.Infos.front();
    TTextColorBox::PickColor = pickColor;
}
