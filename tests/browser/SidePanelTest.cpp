// The side panel against a resource library made for the test: pages,
// category pairs, the "Customize" bar, the photo folder tree and the hints.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cstring>

#include "browser/BrowserFixtures.h"
#include "browser/ui/CategorySelector.h"
#include "browser/ui/PicFileList.h"
#include "browser/ui/ShellTreeView.h"
#include "browser/ui/SidePanel.h"
#include "common/TestSupport.h"

namespace {

// Masks: Circle, Free and a stray file; Frames: Gold only (no "Free");
// Cliparts: Free and a lower-case "customize"; textures and photos.
std::string MakeLibrary() {
    const std::string root = MakeTempDir() + "/";
    auto pic = [](const std::string& path, const char* format) {
        WritePicture(path, SolidPicture(60, 40, qRgb(100, 150, 200)), format);
    };
    MakeFolder(root + "Masks/Free");
    MakeFolder(root + "Masks/Circle");
    pic(root + "Masks/Free/oval.msk", "JPEG");
    pic(root + "Masks/Free/soft.msk", "JPEG");
    pic(root + "Masks/Circle/yuan13.msk", "JPEG");
    pic(root + "Masks/stray.msk", "JPEG"); // outside any category
    MakeFolder(root + "Frames/Gold");
    pic(root + "Frames/Gold/leaf.frm", "PNG");
    WriteTinyGif(root + "Frames/Gold/leaf.msk"); // a companion, never shown
    MakeFolder(root + "Cliparts/Free");
    MakeFolder(root + "Cliparts/customize");
    pic(root + "Cliparts/Free/cat.png", "PNG");
    pic(root + "Cliparts/customize/mine.jpg", "JPEG");
    MakeFolder(root + "Textures");
    for (const char* t : {"t1.png", "t2.jpg", "t3.bmp"})
        pic(root + "Textures/" + t, strstr(t, "png") ? "PNG" : strstr(t, "jpg") ? "JPEG" : "BMP");
    MakeFolder(root + "Photos");
    pic(root + "Photos/sample.jpg", "JPEG");
    return root;
}

std::vector<std::string> Items(const QComboBox* box) {
    std::vector<std::string> out;
    for (int i = 0; i < box->count(); ++i) out.push_back(box->itemText(i).toStdString());
    return out;
}

bool AllLoaded(const TSidePanel& p) {
    return WaitFor([&] {
        for (TPicFileList* l : {p.PicFileListPhoto, p.PicFileListMask, p.PicFileListSubFrame,
                                p.PicFileListFrame, p.PicFileListClipart, p.PicFileListTexture})
            if (l->Loading()) return false;
        return true;
    });
}

} // namespace

TEST(SidePanel, CreationListsCategoriesAndSelectsTheFirstTexture) {
    const std::string root = MakeLibrary();
    TSidePanel panel(root);
    EXPECT_EQ(Items(panel.ComboBoxMaskType), (std::vector<std::string>{"Circle", "Free"}));
    EXPECT_EQ(Items(panel.ComboBoxSubFrameType), (std::vector<std::string>{"Gold"}));
    EXPECT_EQ(Items(panel.ComboBoxFrameType), (std::vector<std::string>{"Gold"}));
    EXPECT_EQ(Items(panel.ComboBoxClipartType), (std::vector<std::string>{"customize", "Free"}));
    EXPECT_FALSE(panel.ComboBoxMaskType->isVisibleTo(&panel));
    EXPECT_EQ(panel.ComboBoxMaskType2->count(), 0); // filled at first show
    EXPECT_EQ(panel.PicFileListMask->Directory(), "");
    EXPECT_EQ(panel.PicFileListTexture->Directory(), root + "Textures");
    ASSERT_EQ(panel.PicFileListTexture->Count(), 3);
    EXPECT_EQ(panel.PicFileListTexture->SelectedPicPanel(), panel.PicFileListTexture->Cell(0));
    EXPECT_TRUE(AllLoaded(panel));
    EXPECT_EQ(panel.PicFileListTexture->SelectedPicPanel(), panel.PicFileListTexture->Cell(0));
}

TEST(SidePanel, FirstShowChoosesFreeShowsTranslatedNamesAndOpensThePhotos) {
    const std::string root = MakeLibrary();
    TSidePanel panel(root);
    std::vector<std::string> photoFolders;
    panel.OnUserPhotoFolder = [&](const std::string& p) { photoFolders.push_back(p); };
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.FormShow([](const std::string& s) { return s == "Free" ? std::string("Gratis") : s; });

    EXPECT_EQ(panel.ComboBoxMaskType->currentIndex(), 1);
    EXPECT_EQ(Items(panel.ComboBoxMaskType2), (std::vector<std::string>{"Circle", "Gratis"}));
    EXPECT_EQ(panel.ComboBoxMaskType2->currentIndex(), 1);
    // the grid still reads the folder "Free"; loose files are never shown
    EXPECT_EQ(panel.PicFileListMask->Directory(), root + "Masks/Free/");
    EXPECT_EQ(panel.PicFileListMask->Count(), 2);
    // no "Free" among the frames: nothing chosen, nothing shown
    EXPECT_EQ(panel.ComboBoxFrameType2->currentIndex(), -1);
    EXPECT_EQ(panel.ComboBoxSubFrameType2->currentIndex(), -1);
    EXPECT_EQ(panel.PicFileListFrame->Directory(), "");
    EXPECT_EQ(panel.PicFileListFrame->Count(), 0);
    EXPECT_EQ(panel.PicFileListClipart->Directory(), root + "Cliparts/Free/");
    EXPECT_FALSE(panel.PanelAddDelClipart->isVisibleTo(&panel));

    // the photo tree opens on the sample photos
    EXPECT_EQ(panel.ShellTreeViewPhoto->Path(), root + "Photos");
    EXPECT_EQ(panel.PicFileListPhoto->Directory(), root + "Photos");
    EXPECT_EQ(photoFolders, (std::vector<std::string>{root + "Photos"}));
    EXPECT_TRUE(AllLoaded(panel));
    EXPECT_EQ(panel.PicFileListPhoto->Count(), 1);
    // the panel is as wide as three 80-pixel columns need
    EXPECT_EQ(panel.width(), TSidePanel::PanelWidth);
    EXPECT_EQ(panel.PicFileListPhoto->width(), 284);
    EXPECT_EQ(GridColumns(panel.PicFileListPhoto->width(), panel.PicFileListPhoto->Metrics()), 3);
}

TEST(SidePanel, ChoosingCategoriesAndTheCustomizeBar) {
    const std::string root = MakeLibrary();
    TSidePanel panel(root);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.FormShow();
    std::vector<std::string> shown;
    panel.MaskTypeSelector->OnCategoryShown = [&](const std::string& c) { shown.push_back(c); };

    panel.ComboBoxMaskType2->setCurrentIndex(0); // "Circle"
    EXPECT_EQ(panel.ComboBoxMaskType->currentIndex(), 0);
    EXPECT_EQ(panel.MaskTypeSelector->CurrentCategory(), "Circle");
    EXPECT_EQ(panel.PicFileListMask->Directory(), root + "Masks/Circle/");
    EXPECT_EQ(panel.PicFileListMask->Count(), 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"Circle"}));

    // the first-category rule of the border button
    EXPECT_EQ(panel.ComboBoxFrameType2->currentIndex(), -1);
    panel.FrameTypeSelector->ChooseFirstIfNone();
    EXPECT_EQ(panel.ComboBoxFrameType->currentText(), "Gold");
    EXPECT_EQ(panel.PicFileListFrame->Directory(), root + "Frames/Gold/");
    EXPECT_EQ(panel.PicFileListFrame->Count(), 1); // the .msk companion is no cell

    // "customize" in any case shows the add/delete bar; another hides it
    panel.ShowPage("Clipart");
    panel.ComboBoxClipartType2->setCurrentIndex(0);
    EXPECT_TRUE(panel.PanelAddDelClipart->isVisible());
    EXPECT_EQ(panel.BtnAddClipart->text(), "Add &Clipart");
    EXPECT_EQ(panel.BtnDelClipart->text(), "&Delete");
    EXPECT_EQ(panel.PicFileListClipart->Directory(), root + "Cliparts/customize/");
    panel.ComboBoxClipartType2->setCurrentIndex(1);
    EXPECT_FALSE(panel.PanelAddDelClipart->isVisible());
    EXPECT_TRUE(AllLoaded(panel));
}

TEST(SidePanel, PagesByNameAndHints) {
    const std::string root = MakeLibrary();
    TSidePanel panel(root);
    EXPECT_EQ(panel.PageNames(),
              (std::vector<std::string>{"Import Photo", "Modify", "Frame", "Output", "Clipart", "Text"}));
    EXPECT_EQ(panel.CurrentPage(), "Import Photo");
    EXPECT_TRUE(panel.ShowPage("import PHOTO"));
    EXPECT_EQ(panel.CurrentPage(), "Import Photo");
    EXPECT_TRUE(panel.ShowPage("modify"));
    EXPECT_EQ(panel.CurrentPage(), "Modify");
    EXPECT_EQ(panel.NotebookMod->CurrentPage(), "Mask");
    EXPECT_EQ(panel.NotebookMod->PageNames(),
              (std::vector<std::string>{"Mask", "Frame", "Filter", "Filter Parameter"}));
    QTest::mouseClick(panel.ImageButtonSubFrame, Qt::LeftButton);
    EXPECT_EQ(panel.NotebookMod->CurrentPage(), "Frame");
    EXPECT_FALSE(panel.ShowPage("Nowhere"));
    EXPECT_EQ(panel.CurrentPage(), "Modify");
    EXPECT_NE(panel.Page("TEXT"), nullptr);
    EXPECT_TRUE(panel.Page("Text")->isAncestorOf(panel.PicFileListTexture));
    EXPECT_TRUE(panel.Page("Frame")->isAncestorOf(panel.ImageButtonDelBorder));

    std::vector<std::string> hints;
    panel.OnHint = [&](const std::string& h) { hints.push_back(h); };
    panel.PicFileListPhoto->OnMouseEnter(nullptr);
    panel.PicFileListMask->OnMouseEnter(nullptr);
    panel.PicFileListSubFrame->OnMouseEnter(nullptr);
    panel.PicFileListFrame->OnMouseEnter(nullptr);
    panel.PicFileListClipart->OnMouseEnter(nullptr);
    panel.PicFileListClipart->OnMouseLeave(nullptr);
    EXPECT_EQ(hints, (std::vector<std::string>{
                         "Double click or drag a photo to load", "Drag mask onto any photo to apply",
                         "Drag a sub frame onto any photo to apply", "Double click frame to apply",
                         "Double click or drag clipart to apply", ""}));
    EXPECT_EQ(panel.HintFor(panel.PicFileListTexture), "");

    panel.RetranslateLabels([](const std::string& s) { return "[" + s + "]"; });
    EXPECT_EQ(panel.LabelMaskType->text(), "[Mask Type]");
    EXPECT_EQ(panel.LabelClipartType->text(), "[Clipart Type]");
    EXPECT_EQ(panel.LabelFrameType->text(), "[Border Type]");
    EXPECT_EQ(panel.ImageButtonSubFrame->text(), "[Frame]");
    EXPECT_EQ(panel.BtnDelClipart->text(), "[&Delete]");
    EXPECT_TRUE(AllLoaded(panel));
}

TEST(SidePanel, AMissingLibraryGivesEmptyListsAndNoPhotoFolder) {
    const std::string root = MakeTempDir() + "/";
    TSidePanel panel(root);
    std::vector<std::string> photoFolders;
    panel.OnUserPhotoFolder = [&](const std::string& p) { photoFolders.push_back(p); };
    panel.FormShow();
    EXPECT_EQ(panel.ComboBoxMaskType2->count(), 0);
    EXPECT_EQ(panel.PicFileListMask->Directory(), "");
    EXPECT_EQ(panel.PicFileListTexture->Directory(), "");
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.ShellTreeViewPhoto->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(photoFolders.empty()); // focus alone chooses nothing
    // the tree still reports what the user chooses
    ASSERT_TRUE(panel.ShellTreeViewPhoto->SelectFolder(root));
    ASSERT_EQ(photoFolders.size(), 1u);
    EXPECT_EQ(panel.PicFileListPhoto->Directory(), photoFolders[0]);
    EXPECT_FALSE(panel.ShellTreeViewPhoto->SelectFolder(root + "missing"));
}
