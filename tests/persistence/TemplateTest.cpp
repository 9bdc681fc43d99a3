#include <gtest/gtest.h>

#include <set>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>

#include "document/CollageDocument.h"
#include "common/TestSupport.h"
#include "engine/PictureUtils.h"
#include "persistence/ProjectCommands.h"
#include "persistence/ProjectFile.h"
#include "persistence/ProjectTestSupport.h"
#include "persistence/Templates.h"
#include "persistence/ui/TemplateForm.h"
#include "platform/Paths.h"
#include "resgen/Templates.h"

namespace fs = std::filesystem;

namespace {

void Touch(const std::string& path) {
    WriteText(path, "x");
}

QImage SolidJpeg(const std::string& path, int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    EXPECT_TRUE(img.save(QString::fromStdString(path), "JPEG", 95));
    return img;
}

bool Near(QRgb a, QRgb b, int tolerance = 24) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// A category folder with count templates: thumbnails named t1.jpg ... and a
// project with one placeholder for each.
std::string MakeCategory(const std::string& root, const std::string& category, int count) {
    const std::string folder = root + "template/" + category + "/";
    fs::create_directories(folder);
    for (int i = 1; i <= count; ++i) {
        const std::string name = folder + "t" + std::to_string(i);
        SolidJpeg(name + ".jpg", 100, 60, qRgb(220, 30, 30));
        TCollageDocument doc;
        doc.ApplyCanvasSettings();
        AddPlaceholder(doc, {10, 10, 200, 150});
        EXPECT_TRUE(SaveProject(doc, name + ".clv", true));
    }
    return folder;
}

class TemplateFormTest : public ::testing::Test {
protected:
    TMiniLibrary Library;
    TScriptedMessages Messages;
};

} // namespace

// ---- Listing and captions ----

TEST(Templates, ThumbnailsAreTheJpgFilesSortedByName) {
    const std::string dir = MakeTempDir() + "/";
    for (const char* n : {"b.JPG", "a.jpg", "C.Jpg", "d.jpeg", "e.png", "jpg", "f.jpg.txt"}) Touch(dir + n);
    fs::create_directories(dir + "folder.jpg");
    const std::vector<std::string> paths = TemplateThumbnails(dir);
    std::vector<std::string> names;
    for (const std::string& p : paths) names.push_back(ExtractFileName(p));
    EXPECT_EQ(names, (std::vector<std::string>{"a.jpg", "b.JPG", "C.Jpg"}));
    EXPECT_EQ(paths[0], dir + "a.jpg");
    EXPECT_TRUE(TemplateThumbnails(dir + "missing/").empty());
}

TEST(Templates, CaptionsAndProjectNames) {
    EXPECT_EQ(TemplateCaption("/x/birthday PARTY.jpg"), "Birthday party");
    EXPECT_EQ(TemplateCaption("/x/NINE GRID.JPG"), "Nine grid");
    EXPECT_EQ(TemplateCaption("/x/été.jpg"), "Été");
    EXPECT_EQ(TemplateCaption("/x/a.b.jpg"), "A.b");
    EXPECT_EQ(TemplateProjectFor("/x/birthday PARTY.JPG"), "/x/birthday PARTY.clv");
    EXPECT_EQ(TileLeft(1), 8);
    EXPECT_EQ(TileLeft(2), 178);
    EXPECT_EQ(TileLeft(3), 348);
    EXPECT_EQ(TileTop(3), 8);
    EXPECT_EQ(TileLeft(7), 8);
    EXPECT_EQ(TileTop(7), 306);
}

// ---- The dialog ----

TEST_F(TemplateFormTest, SevenThumbnailsFillThreeRows) {
    MakeCategory(Library.Root, "Free", 7);
    TCollageDocument doc;
    TTemplateForm form(doc);
    form.ResourceFolder = Library.Root;
    form.show();
    ASSERT_EQ(form.Tiles().size(), 7u);
    ASSERT_EQ(form.TemplatePaths.size(), 7u);
    const int lefts[] = {8, 178, 348, 8, 178, 348, 8};
    const int tops[] = {8, 8, 8, 157, 157, 157, 306};
    for (int i = 0; i < 7; ++i) {
        const TTemplateTile* tile = form.Tiles()[size_t(i)];
        EXPECT_EQ(tile->pos(), QPoint(lefts[i], tops[i])) << i;
        EXPECT_EQ(tile->size(), QSize(162, 141));
        EXPECT_EQ(tile->Tag, i);
        EXPECT_EQ(ExtractFileName(form.TemplatePaths[size_t(i)]), "t" + std::to_string(i + 1) + ".jpg");
    }
    EXPECT_EQ(form.windowTitle(), "Template");
    EXPECT_EQ(form.suiButtonOK->text(), "&OK");
    EXPECT_EQ(form.suiButtonCancel->text(), "&Cancel");
    EXPECT_EQ(form.SelectedTile, nullptr);
}

TEST_F(TemplateFormTest, TilesShowTheThumbnailCentredAndTheCaptionInBlue) {
    const std::string folder = Library.Root + "template/Free/";
    fs::create_directories(folder);
    SolidJpeg(folder + "birthday PARTY.jpg", 100, 60, qRgb(20, 200, 40));
    TCollageDocument doc;
    TTemplateForm form(doc);
    form.ResourceFolder = Library.Root;
    form.show();
    ASSERT_EQ(form.Tiles().size(), 1u);
    const QImage& pic = form.Tiles()[0]->Picture;
    const QImage background = TTemplateForm::TileBackground();
    // drawn unscaled at ((159 - 100) div 2, (116 - 60) div 2) = (29, 28)
    EXPECT_TRUE(Near(pic.pixel(29, 28), qRgb(20, 200, 40))) << std::hex << pic.pixel(29, 28);
    EXPECT_TRUE(Near(pic.pixel(128, 87), qRgb(20, 200, 40)));
    EXPECT_EQ(pic.pixel(28, 50), background.pixel(28, 50));
    EXPECT_EQ(pic.pixel(129, 50), background.pixel(129, 50));
    EXPECT_EQ(pic.pixel(60, 27), background.pixel(60, 27));
    // the caption: blue ink below y 118, from x 7
    int blue = 0;
    for (int y = 118; y < 141; ++y)
        for (int x = 0; x < 162; ++x) {
            const QRgb c = pic.pixel(x, y);
            if (c != background.pixel(x, y)) {
                EXPECT_GE(x, 7);
                if (qBlue(c) > 150 && qRed(c) < 120 && qGreen(c) < 120) ++blue;
            }
        }
    EXPECT_GT(blue, 10);
    for (int y = 0; y < 118; ++y)
        for (int x = 0; x < 162; ++x)
            if (x < 29 || x >= 129 || y < 28 || y >= 88) {
                ASSERT_EQ(pic.pixel(x, y), background.pixel(x, y)) << x << "," << y;
            }
}

TEST_F(TemplateFormTest, SelectingATileMovesTheMark) {
    MakeCategory(Library.Root, "Free", 2);
    TCollageDocument doc;
    TTemplateForm form(doc);
    form.ResourceFolder = Library.Root;
    form.show();
    TTemplateTile* a = form.Tiles()[0];
    TTemplateTile* b = form.Tiles()[1];
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(80, 60));
    EXPECT_EQ(form.SelectedTile, a);
    const QRgb blue = 0xFF0000FF, white = 0xFFFFFFFF;
    for (QPoint p :
         {QPoint(9, 9), QPoint(10, 50), QPoint(149, 50), QPoint(80, 9), QPoint(80, 107), QPoint(149, 107)})
        EXPECT_EQ(a->Picture.pixel(p), blue) << p.x() << "," << p.y();
    // the mark is an outline: inside and outside keep their pixels
    EXPECT_NE(a->Picture.pixel(11, 50), blue);
    EXPECT_NE(a->Picture.pixel(8, 50), blue);
    EXPECT_NE(a->Picture.pixel(150, 50), blue);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(80, 60));
    EXPECT_EQ(form.SelectedTile, b);
    EXPECT_EQ(a->Picture.pixel(9, 50), white);
    EXPECT_EQ(a->Picture.pixel(80, 107), white);
    EXPECT_EQ(b->Picture.pixel(9, 50), blue);
}

TEST_F(TemplateFormTest, OkWithoutATileClosesAndLeavesTheCollage) {
    MakeCategory(Library.Root, "Free", 3);
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    AddPlaceholder(doc, {0, 0, 50, 50});
    doc.ProjectFile = "/mine.clv";
    doc.SetModified(true);
    TTemplateForm form(doc);
    form.ResourceFolder = Library.Root;
    form.show();
    QTest::mouseClick(form.suiButtonOK, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Opened());
    EXPECT_EQ(doc.LayerCount(), 1);
    EXPECT_EQ(doc.ProjectFile, "/mine.clv");
    EXPECT_TRUE(doc.Modified);
}

TEST_F(TemplateFormTest, OpeningATileGivesAnUntitledCollage) {
    MakeCategory(Library.Root, "Free", 2);
    TCollageDocument doc;
    doc.ProjectFile = "/mine.clv";
    doc.CaptionTitle = TCaptionTitle::Project;
    doc.SetModified(true);
    TTemplateForm form(doc);
    form.ResourceFolder = Library.Root;
    form.show();
    QTest::mouseDClick(form.Tiles()[1], Qt::LeftButton, {}, QPoint(80, 60));
    EXPECT_TRUE(form.Opened());
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(doc.ProjectFile.empty());
    EXPECT_EQ(doc.Caption(), doc.CaptionBase + " - Untitled");
    EXPECT_FALSE(doc.Modified);
    ASSERT_EQ(doc.LayerCount(), 1);
    EXPECT_EQ(doc.ContentLayerAt(0)->ImageType, itPlaceholder);
    EXPECT_EQ(doc.ContentLayerAt(0)->PlaceholderLine1, "Double Click or");
    EXPECT_EQ(doc.ContentLayerAt(0)->PlaceholderLine2, "Drag Photo Here.");
    // Save Project asks for a name: nothing writes over the template
    TScriptedDialogs dialogs;
    EXPECT_FALSE(SaveProjectCommand(doc));
    EXPECT_EQ(dialogs.Requests.size(), 1u);
}

TEST_F(TemplateFormTest, OkOpensTheSelectedTileAndMissingProjectsOpenNothing) {
    const std::string folder = MakeCategory(Library.Root, "Free", 2);
    fs::remove(folder + "t1.clv");
    TCollageDocument doc;
    TTemplateForm form(doc);
    form.ResourceFolder = Library.Root;
    form.show();
    QTest::mouseDClick(form.Tiles()[0], Qt::LeftButton, {}, QPoint(80, 60));
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Opened());
    EXPECT_EQ(doc.LayerCount(), 0);
    QTest::mouseClick(form.Tiles()[1], Qt::LeftButton, {}, QPoint(80, 60));
    QTest::mouseClick(form.suiButtonOK, Qt::LeftButton);
    EXPECT_TRUE(form.Opened());
    EXPECT_EQ(doc.LayerCount(), 1);
}

TEST_F(TemplateFormTest, CategoryButtonsRefillTheGridAndForgetTheSelection) {
    MakeCategory(Library.Root, "Free", 2);
    MakeCategory(Library.Root, "Collage", 5);
    TCollageDocument doc;
    TTemplateForm form(doc);
    form.ResourceFolder = Library.Root;
    form.show();
    EXPECT_EQ(form.Tiles().size(), 2u);
    QTest::mouseClick(form.Tiles()[0], Qt::LeftButton, {}, QPoint(80, 60));
    QTest::mouseClick(form.suiImageButtonFilm, Qt::LeftButton);
    EXPECT_EQ(form.Tiles().size(), 5u);
    EXPECT_EQ(form.SelectedTile, nullptr);
    EXPECT_NE(form.TemplatePaths[0].find("/template/Collage/"), std::string::npos);
    // the caption is written onto the button's pictures
    EXPECT_NE(form.suiImageButtonFilm->Normal, TCategoryButton(nullptr, 1).Normal);
    // a category without a folder keeps what the grid showed
    fs::remove_all(Library.Root + "template/Free");
    QTest::mouseClick(form.suiImageButtonFree, Qt::LeftButton);
    EXPECT_EQ(form.Tiles().size(), 5u);
}

TEST_F(TemplateFormTest, TheWheelScrollsOneLine) {
    MakeCategory(Library.Root, "Free", 12);
    TCollageDocument doc;
    TTemplateForm form(doc);
    form.ResourceFolder = Library.Root;
    form.resize(720, 400);
    form.show();
    QScrollBar* bar = form.Grid->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form.Grid->viewport(), &e);
    };
    wheel(-120);
    EXPECT_EQ(bar->value(), bar->singleStep());
    wheel(-120);
    EXPECT_EQ(bar->value(), 2 * bar->singleStep());
    wheel(120);
    EXPECT_EQ(bar->value(), bar->singleStep());
}

TEST_F(TemplateFormTest, TheNewProjectChooserAlwaysClearsTheHistory) {
    MakeCategory(Library.Root, "Free", 1);
    TCollageDocument doc;
    doc.UndoHistory.PushStep();
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TTemplateForm*>(w); form && form->isVisible())
                QTest::mouseClick(form->suiButtonCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(RunNewProjectTemplateChooser(doc, nullptr));
    EXPECT_FALSE(doc.UndoHistory.CanUndo());
}

// ---- Save as Template ----

TEST_F(TemplateFormTest, SaveAsTemplateWritesPlaceholdersAndAThumbnailWithThePhotos) {
    const std::string dir = MakeTempDir();
    TCollageDocument doc;
    doc.CollageSettings.Width = 800;
    doc.CollageSettings.Height = 600;
    doc.ApplyCanvasSettings();
    SolidJpeg(dir + "/red.jpg", 100, 100, qRgb(230, 20, 20));
    SolidJpeg(dir + "/green.jpg", 100, 100, qRgb(20, 200, 30));
    AddLayer(doc, itPhoto, dir + "/red.jpg", {0, 0, 400, 600}, dir + "/red.jpg");
    AddLayer(doc, itPhoto, dir + "/green.jpg", {400, 0, 800, 600}, dir + "/green.jpg");
    AddTextLayer(doc, "Hi", {300, 250, 420, 300});
    TScriptedDialogs dialogs;
    dialogs.Results = {{dir + "/T", 1}};
    ASSERT_TRUE(SaveAsTemplateCommand(doc));
    ASSERT_EQ(dialogs.Requests.size(), 1u);
    EXPECT_EQ(dialogs.Requests[0].Filter, "Project File(*.clv)|*.clv");
    EXPECT_EQ(dialogs.Requests[0].DefaultExt, "clv");
    EXPECT_EQ(doc.ProjectFile, dir + "/T.clv");

    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_file((dir + "/T_CLV/Info.cfg").c_str()));
    const pugi::xml_node root = xml.document_element();
    EXPECT_STREQ(root.child("Layer1").child("ImageType").text().get(), "3");
    EXPECT_STREQ(root.child("Layer2").child("ImageType").text().get(), "3");
    EXPECT_STREQ(root.child("Layer3").child("ImageType").text().get(), "2");

    QImage thumb(QString::fromStdString(dir + "/T.jpg"));
    ASSERT_FALSE(thumb.isNull());
    EXPECT_EQ(thumb.size(), QSize(122, 92)); // 800 x 600 fitted inside 135 x 92
    EXPECT_TRUE(Near(thumb.pixel(20, 80), qRgb(230, 20, 20), 40));
    EXPECT_TRUE(Near(thumb.pixel(100, 80), qRgb(20, 200, 30), 40));
}

TEST(Templates, ThumbnailsNeverEnlarge) {
    TCollageDocument doc;
    doc.CollageSettings.Width = 100;
    doc.CollageSettings.Height = 40;
    doc.ApplyCanvasSettings();
    EXPECT_EQ(TemplateThumbnail(doc).Width(), 100);
    doc.CollageSettings.Width = 1000;
    doc.CollageSettings.Height = 2000;
    doc.ApplyCanvasSettings();
    const TBitmap32 t = TemplateThumbnail(doc);
    EXPECT_EQ(t.Width(), 46);
    EXPECT_EQ(t.Height(), 92);
}

// ---- The library's templates ----

TEST(LibraryTemplates, EveryTemplateOpensWithItsPlaceholders) {
    TMiniLibrary library;
    TScriptedMessages messages;
    WriteTemplates(library.Root);
    EXPECT_TRUE(messages.Errors.empty()) << messages.Errors.front();
    int fewest = 100, most = 0, masked = 0, framed = 0, rotated = 0, bordered = 0, pictured = 0, cliparts = 0;
    std::set<std::string> titled;
    int glowing = 0, textured = 0;
    for (const char* category : {"Free", "Collage"}) {
        const std::vector<std::string> thumbs =
            TemplateThumbnails(library.Root + "template/" + category + "/");
        EXPECT_GE(thumbs.size(), 8u) << category;
        for (const std::string& thumb : thumbs) {
            SCOPED_TRACE(thumb);
            QImage t(QString::fromStdString(thumb));
            ASSERT_FALSE(t.isNull());
            EXPECT_LE(t.width(), 135);
            EXPECT_LE(t.height(), 92);
            EXPECT_TRUE(t.width() == 135 || t.height() == 92);
            TCollageDocument doc;
            ASSERT_TRUE(LoadProject(doc, TemplateProjectFor(thumb), true));
            EXPECT_TRUE(messages.Errors.empty()) << messages.Errors.front();
            EXPECT_TRUE(doc.ProjectFile.empty());
            int placeholders = 0;
            std::vector<TFloatRect> tiles;
            for (int i = 0; i < doc.LayerCount(); ++i) {
                const TNewRotLayer& l = *doc.ContentLayerAt(i);
                EXPECT_NE(l.ImageType, itPhoto);
                // Straight photo boxes lie on the page, clear of its edge; in
                // the grid layouts of "Collage" they never overlap.
                if (l.ImageType == itPlaceholder && l.Angle == 0) {
                    const TFloatRect& r = l.Location;
                    EXPECT_GE(r.Left, 1.0f);
                    EXPECT_GE(r.Top, 1.0f);
                    EXPECT_LE(r.Right, doc.CollageSettings.Width - 1.0f);
                    EXPECT_LE(r.Bottom, doc.CollageSettings.Height - 1.0f);
                    if (std::string(category) == "Collage") {
                        for (const TFloatRect& o : tiles) {
                            EXPECT_FALSE(r.Left < o.Right && o.Left < r.Right && r.Top < o.Bottom &&
                                         o.Top < r.Bottom)
                                << "overlapping photo boxes";
                        }
                    }
                    tiles.push_back(r);
                }
                if (l.ImageType == itPlaceholder) ++placeholders;
                if (l.ImageType == itClipart) ++cliparts;
                // titles come back with their look, ready to be edited
                if (l.ImageType == itText) {
                    ASSERT_TRUE(l.Font && l.TextStyle);
                    EXPECT_FALSE(l.Text.empty());
                    EXPECT_GT(l.Font->Font.pixelSize(), 20);
                    glowing += l.TextStyle->Halation;
                    textured += !l.TextStyle->TextureFile.empty();
                    titled.insert(thumb);
                }
                if (!l.MaskName.empty()) {
                    EXPECT_TRUE(l.MaskPicture);
                    ++masked;
                }
                if (!l.SubFrameName.empty()) {
                    EXPECT_TRUE(l.SubFramePicture);
                    ++framed;
                }
                if (l.Angle != 0) ++rotated;
            }
            if (doc.BorderLayer) {
                EXPECT_FALSE(doc.BorderLayer->Picture.Empty());
                ++bordered;
            }
            if (doc.CollageSettings.BKType == 2) ++pictured;
            const int side = std::max(doc.CollageSettings.Width, doc.CollageSettings.Height);
            EXPECT_TRUE(side == 1024 || side == 1000 || side == 1754 || side == 1800) << side;
            fewest = std::min(fewest, placeholders);
            most = std::max(most, placeholders);
        }
    }
    EXPECT_EQ(fewest, 1);
    EXPECT_EQ(most, 9);
    EXPECT_GT(masked, 0);
    EXPECT_GT(framed, 0);
    EXPECT_GT(rotated, 0);
    EXPECT_GT(bordered, 0);
    EXPECT_GT(pictured, 0);
    EXPECT_GT(cliparts, 0);
    EXPECT_GE(titled.size(), 6u);
    EXPECT_GT(glowing, 0);
    EXPECT_GT(textured, 0);
}

TEST(LibraryTemplates, AnEmptyLibraryGivesTemplatesWithoutDecorations) {
    const std::string root = MakeTempDir() + "/empty/";
    fs::create_directories(root);
    TScriptedMessages messages;
    WriteTemplates(root);
    const std::vector<std::string> thumbs = TemplateThumbnails(root + "template/Collage/");
    ASSERT_GE(thumbs.size(), 8u);
    for (const char* category : {"Free", "Collage"})
        for (const std::string& thumb : TemplateThumbnails(root + "template/" + category + "/")) {
            const std::string info = ReadText(ProjectFolderFor(TemplateProjectFor(thumb)) + "/Info.cfg");
            EXPECT_EQ(info.find("<Mask>"), std::string::npos) << thumb;
            EXPECT_EQ(info.find("<SubFrame>"), std::string::npos) << thumb;
            EXPECT_EQ(info.find("<ImageType>4</ImageType>"), std::string::npos) << thumb;
            EXPECT_EQ(info.find("<BKType>2</BKType>"), std::string::npos) << thumb;
        }
    EXPECT_TRUE(messages.Errors.empty());
}
