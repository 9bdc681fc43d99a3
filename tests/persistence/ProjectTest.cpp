#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

#include "common/TestSupport.h"
#include "document/CollageDocument.h"
#include "document/Decorations.h"
#include "engine/PictureUtils.h"
#include "filters/FilterCommands.h"
#include "persistence/ProjectFile.h"
#include "persistence/ProjectTestSupport.h"
#include "persistence/ProjectValues.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

class ProjectTest : public ::testing::Test {
protected:
    TMiniLibrary Library;
    TScriptedMessages Messages;
    std::string Dir = MakeTempDir();

    std::string Photo(const std::string& name, int w = 64, int h = 48, int seed = 1) {
        return WriteJpeg(Dir + "/" + name, w, h, seed);
    }

    // A collage with one layer of every kind and every setting a project keeps.
    void BuildFullCollage(TCollageDocument& doc) {
        doc.CollageSettings.Width = 400;
        doc.CollageSettings.Height = 300;
        doc.CollageSettings.BKType = 1;
        doc.CollageSettings.BKColor = 0x00336699;
        doc.ApplyCanvasSettings();

        TNewRotLayer* photo =
            AddLayer(doc, itPhoto, Photo("a.jpg", 80, 60, 1), {10, 20, 170, 140}, Dir + "/a.jpg");
        photo->SetAngle(12.5f);
        photo->SetFlipH(true);
        photo->SetViewedRect({5, 4, 75, 57});
        ApplyMaskByName(*photo, "Circle\\yuan13.msk");
        ApplySubFrameByName(*photo, "Free\\gold.frm");
        photo->SetShadowOffsetX(-7);
        photo->SetShadowOffsetY(9);
        photo->SetShadowTransparent(40);
        photo->SetShadowSmooth(2);
        photo->SetShadowColor(0xFF112233);
        photo->SetShadowEnabled(true);
        photo->RebuildScreenCache();

        TNewRotLayer* locked =
            AddLayer(doc, itPhoto, Photo("b.jpg", 50, 50, 2), {200, 30, 300, 130}, Dir + "/b.jpg");
        locked->Locked = true;
        locked->SetFlipV(true);
        locked->Picture.MasterAlpha = 128;
        locked->RebuildScreenCache();

        TNewRotLayer* clip = AddLayer(doc, itClipart, Library.Root + "Cliparts/Animals/cat.png",
                                      {30, 160, 110, 220}, "Animals\\cat.png");
        clip->SetFlipH(true);
        clip->SetAngle(-30);
        clip->RebuildScreenCache();

        TNewRotLayer* text = AddTextLayer(doc, "Hello\r\nWorld", {150, 170, 270, 220});
        text->SetAngle(90);
        text->RebuildScreenCache();

        TNewRotLayer* place = AddPlaceholder(doc, {290, 160, 390, 280});
        ApplyMaskByName(*place, "Circle\\yuan13.msk");
        place->RebuildScreenCache();

        TBitmap32 own;
        own.FromImage(QImage(QString::fromStdString(WritePng(Dir + "/own.png", 30, 30, 7, true))));
        AddLayer(doc, itUserClipart, own, {320, 10, 380, 70}, "Customize\\own.png");

        SetBorderByName(doc, "Free\\gold.frm");
    }
};

std::string InfoOf(const std::string& clv) {
    return ProjectFolderFor(clv) + "/Info.cfg";
}

pugi::xml_node LoadXml(pugi::xml_document& xml, const std::string& path) {
    EXPECT_TRUE(xml.load_file(path.c_str())) << path;
    return xml.document_element();
}

// A description with the given settings and layer elements.
std::string Description(const std::string& layers, const std::string& setting = "") {
    const std::string s = setting.empty()
                              ? "<SizeType>1</SizeType><PredifineType>0</PredifineType>"
                                "<Unit Width=\"0\" Height=\"0\"/><Size Width=\"300\" Height=\"200\"/>"
                                "<Orientation>0</Orientation><BKType>1</BKType><BKColor>16777215</BKColor>"
                              : setting;
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<vlm_project version=\"2011.5.02\" "
           "company=\"Quorvel\" "
           "production=\"Velmora Photo Editor\">\r\n<Setting>" +
           s + "</Setting>\r\n" + layers + "</vlm_project>\r\n";
}

// Writes D/name.clv naming folder and, when info is not empty, its Info.cfg.
std::string WriteProject(const std::string& dir, const std::string& name, const std::string& info,
                         const std::string& folder = "") {
    const std::string f = folder.empty() ? name + "_CLV" : folder;
    const std::string clv = dir + "/" + name + ".clv";
    WriteText(clv,
              "<?xml version=\"1.0\"?>\r\n<File><Version>2011.5.02</Version><Type>Project</Type><Folder>" +
                  f + "</Folder></File>\r\n");
    fs::create_directories(dir + "/" + f + "/UserImage");
    fs::create_directories(dir + "/" + f + "/Clipart/Customize");
    if (!info.empty()) WriteText(dir + "/" + f + "/Info.cfg", info);
    return clv;
}

// Only the project file, naming folder as it is.
std::string WriteClv(const std::string& dir, const std::string& name, const std::string& folder) {
    const std::string clv = dir + "/" + name + ".clv";
    WriteText(clv,
              "<File><Version>2011.5.02</Version><Type>Project</Type><Folder>" + folder + "</Folder></File>");
    return clv;
}

std::string PhotoLayer(int n, const std::string& photo, const std::string& extra = "") {
    return "<Layer" + std::to_string(n) + "><ImageType>0</ImageType><Photo>" + photo +
           "</Photo><Angle>0</Angle><Locked>0</Locked>"
           "<Location Left=\"10\" Top=\"10\" Right=\"90\" Bottom=\"70\"/><Trans>255</Trans>"
           "<ViewedRect Left=\"0\" Top=\"0\" Right=\"40\" Bottom=\"30\"/>" +
           extra + "</Layer" + std::to_string(n) + ">\r\n";
}

// A document with something in it, to see that failed loads leave it alone.
struct TDocumentState {
    int Layers;
    TCollageSettings Settings;
    std::string ProjectFile, Caption;
    bool Modified;
    explicit TDocumentState(TCollageDocument& d)
        : Layers(d.LayerCount()), Settings(d.CollageSettings), ProjectFile(d.ProjectFile),
          Caption(d.Caption()), Modified(d.Modified) {}
    bool operator==(const TDocumentState& o) const {
        return Layers == o.Layers && Settings == o.Settings && ProjectFile == o.ProjectFile &&
               Caption == o.Caption && Modified == o.Modified;
    }
};

} // namespace

// ---- Round trips ----

TEST_F(ProjectTest, EveryLayerKindAndSettingSurvivesSaveAndLoad) {
    TCollageDocument doc;
    BuildFullCollage(doc);
    doc.SetModified(true);
    const std::string clv = Dir + "/full.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    EXPECT_TRUE(Messages.Errors.empty());
    EXPECT_FALSE(doc.Modified);
    EXPECT_EQ(doc.ProjectFile, clv);
    EXPECT_EQ(doc.Caption(), doc.CaptionBase + " - " + clv);

    TCollageDocument back;
    back.UndoHistory.PushStep();
    ASSERT_TRUE(LoadProject(back, clv, false));
    EXPECT_TRUE(Messages.Errors.empty()) << Messages.Errors.front();
    EXPECT_EQ(back.CollageSettings, doc.CollageSettings);
    ASSERT_EQ(back.LayerCount(), doc.LayerCount());
    for (int i = 0; i < doc.LayerCount(); ++i)
        ExpectSameLayer(*doc.ContentLayerAt(i), *back.ContentLayerAt(i), "layer " + std::to_string(i));
    ExpectSameRender(doc, back);
    ASSERT_NE(back.BorderLayer, nullptr);
    EXPECT_EQ(back.BorderLayer->SourceFile, "Free\\gold.frm");
    EXPECT_EQ(back.Layers().IndexOf(back.BorderLayer), back.LayerCount() - 1);
    EXPECT_EQ(back.ContentLayerAt(2)->SourceFile, "Animals\\cat.png");
    EXPECT_EQ(back.ContentLayerAt(3)->SourceFile, "4.png");
    EXPECT_EQ(back.ContentLayerAt(0)->SourceFile, ProjectFolderFor(clv) + "/UserImage/1.jpg");
    EXPECT_EQ(back.ProjectFile, clv);
    EXPECT_EQ(back.Caption(), back.CaptionBase + " - " + clv);
    EXPECT_FALSE(back.Modified);
    EXPECT_FALSE(back.UndoHistory.CanUndo());
}

TEST_F(ProjectTest, PictureBackgroundIsCopiedAndTheCanvasWrittenWhenItsFileIsGone) {
    TCollageDocument doc;
    doc.CollageSettings.BKType = 2;
    doc.CollageSettings.BKImageFile = Library.Root + "background/paper.jpg";
    doc.CollageSettings.BKImageFillType = 0;
    doc.ApplyCanvasSettings();
    const std::string clv = Dir + "/bk.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    EXPECT_EQ(ReadText(ProjectFolderFor(clv) + "/UserImage/0.jpg"),
              ReadText(Library.Root + "background/paper.jpg"));
    TCollageDocument back;
    ASSERT_TRUE(LoadProject(back, clv, false));
    EXPECT_EQ(back.CollageSettings.BKImageFile, ProjectFolderFor(clv) + "/UserImage/0.jpg");
    EXPECT_EQ(back.CollageSettings.BKImageFillType, 0);
    ExpectSameRender(doc, back);

    // without its file the page as shown is kept as 0.png
    doc.CollageSettings.BKImageFile = Dir + "/gone.jpg";
    const std::string clv2 = Dir + "/bk2.clv";
    ASSERT_TRUE(SaveProject(doc, clv2, false));
    pugi::xml_document xml;
    EXPECT_STREQ(LoadXml(xml, InfoOf(clv2)).child("Setting").child("BKImageFile").text().get(), "0.png");
    TCollageDocument back2;
    ASSERT_TRUE(LoadProject(back2, clv2, false));
    ExpectSameRender(doc, back2);
}

TEST_F(ProjectTest, PhotosAreByteCopiesOfTheirFiles) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    const std::string file = Photo("IMG_0001.JPG", 300, 200, 4);
    AddLayer(doc, itPhoto, file, {0, 0, 300, 200}, file);
    const std::string clv = Dir + "/copy.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    // the extension keeps its letter case
    EXPECT_EQ(ReadText(ProjectFolderFor(clv) + "/UserImage/1.JPG"), ReadText(file));
}

// ---- The written files ----

TEST_F(ProjectTest, WrittenFilesFollowTheLayoutElementByElement) {
    TCollageDocument doc;
    BuildFullCollage(doc);
    const std::string clv = Dir + "/P.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    EXPECT_EQ(FolderEntries(Dir + "/P_CLV"), (std::vector<std::string>{"Clipart", "Info.cfg", "UserImage"}));
    EXPECT_EQ(FolderEntries(Dir + "/P_CLV/UserImage"), (std::vector<std::string>{"1.jpg", "2.jpg", "4.png"}));
    EXPECT_EQ(FolderEntries(Dir + "/P_CLV/Clipart/Customize"), std::vector<std::string>{"6.png"});

    const std::string clvText = ReadText(clv);
    EXPECT_EQ(clvText.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << clvText;
    pugi::xml_document file;
    const pugi::xml_node root = LoadXml(file, clv);
    EXPECT_STREQ(root.name(), "File");
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"Version", "Type", "Folder"}));
    EXPECT_STREQ(root.child("Version").text().get(), "2011.5.02");
    EXPECT_STREQ(root.child("Type").text().get(), "Project");
    EXPECT_STREQ(root.child("Folder").text().get(), "P_CLV");

    pugi::xml_document info;
    const pugi::xml_node p = LoadXml(info, InfoOf(clv));
    EXPECT_STREQ(p.name(), "vlm_project");
    EXPECT_EQ(AttributeNames(p), (std::vector<std::string>{"version", "company", "production"}));
    EXPECT_STREQ(p.attribute("company").value(), "Quorvel");
    EXPECT_STREQ(p.attribute("production").value(), "Velmora Photo Editor");
    EXPECT_EQ(ChildNames(p), (std::vector<std::string>{"Setting", "Layer1", "Layer2", "Layer3", "Layer4",
                                                       "Layer5", "Layer6", "Layer7"}));
    const pugi::xml_node set = p.child("Setting");
    EXPECT_EQ(ChildNames(set), (std::vector<std::string>{"SizeType", "PredifineType", "Unit", "Size",
                                                         "Orientation", "BKType", "BKColor"}));
    EXPECT_EQ(AttributeNames(set.child("Size")), (std::vector<std::string>{"Width", "Height"}));
    EXPECT_STREQ(set.child("Size").attribute("Width").value(), "400");
    EXPECT_STREQ(set.child("BKColor").text().get(), "3368601");

    const pugi::xml_node photo = p.child("Layer1");
    EXPECT_EQ(ChildNames(photo),
              (std::vector<std::string>{"ImageType", "Photo", "FlipH", "FlipV", "Angle", "Locked", "Location",
                                        "Trans", "SubFrame", "Mask", "ViewedRect", "Shadow"}));
    EXPECT_STREQ(photo.child("Photo").text().get(), "1.jpg");
    EXPECT_STREQ(photo.child("FlipH").text().get(), "1");
    EXPECT_STREQ(photo.child("FlipV").text().get(), "0");
    EXPECT_STREQ(photo.child("Angle").text().get(), "12.5");
    EXPECT_STREQ(photo.child("Locked").text().get(), "0");
    EXPECT_EQ(AttributeNames(photo.child("Location")),
              (std::vector<std::string>{"Left", "Top", "Right", "Bottom"}));
    EXPECT_STREQ(photo.child("SubFrame").text().get(), "Free\\gold.frm");
    EXPECT_STREQ(photo.child("Mask").text().get(), "Circle\\yuan13.msk");
    EXPECT_EQ(AttributeNames(photo.child("Shadow")),
              (std::vector<std::string>{"OffsetX", "OffsetY", "Transparent", "Smooth", "Color"}));
    EXPECT_STREQ(photo.child("Shadow").attribute("OffsetX").value(), "-7");
    EXPECT_STREQ(photo.child("Shadow").attribute("Color").value(), "4279312947"); // 0xFF112233
    EXPECT_STREQ(photo.child("ViewedRect").attribute("Left").value(), "5");

    const pugi::xml_node locked = p.child("Layer2");
    EXPECT_STREQ(locked.child("Locked").text().get(), "-1");
    EXPECT_STREQ(locked.child("Trans").text().get(), "128");
    EXPECT_STREQ(locked.child("FlipV").text().get(), "1");

    const pugi::xml_node clip = p.child("Layer3");
    EXPECT_EQ(ChildNames(clip), (std::vector<std::string>{"ImageType", "Photo", "FlipH", "FlipV", "Angle",
                                                          "Locked", "Location", "Trans", "ViewedRect"}));
    EXPECT_STREQ(clip.child("Photo").text().get(), "Animals\\cat.png");
    EXPECT_STREQ(clip.child("Angle").text().get(), "-30");

    const pugi::xml_node text = p.child("Layer4");
    EXPECT_EQ(ChildNames(text),
              (std::vector<std::string>{"ImageType", "Photo", "Text", "FontName", "FontSize", "FontStyle",
                                        "FontColor", "AALevel", "FlipH", "FlipV", "Angle", "Locked",
                                        "Location", "Trans", "ViewedRect"}));
    EXPECT_STREQ(text.child("ImageType").text().get(), "2");
    EXPECT_STREQ(text.child("Photo").text().get(), "4.png");
    EXPECT_STREQ(text.child("FontName").text().get(), "DejaVu Sans");
    EXPECT_STREQ(text.child("FontSize").text().get(), "14");
    EXPECT_STREQ(text.child("FontStyle").text().get(), "[fsBold,fsItalic]");
    EXPECT_STREQ(text.child("FontColor").text().get(), "$00C84020");
    EXPECT_STREQ(text.child("AALevel").text().get(), "3");
    // the line break is written as the layer holds it
    EXPECT_NE(ReadText(InfoOf(clv)).find("Hello\r\nWorld"), std::string::npos);

    const pugi::xml_node place = p.child("Layer5");
    EXPECT_EQ(ChildNames(place),
              (std::vector<std::string>{"ImageType", "Photo", "FlipH", "FlipV", "Angle", "Locked", "Location",
                                        "Trans", "Mask", "ViewedRect"}));
    EXPECT_STREQ(place.child("Photo").text().get(), "");

    const pugi::xml_node own = p.child("Layer6");
    EXPECT_STREQ(own.child("ImageType").text().get(), "7");
    EXPECT_STREQ(own.child("Photo").text().get(), "6.png");

    const pugi::xml_node border = p.child("Layer7");
    EXPECT_STREQ(border.child("ImageType").text().get(), "4");
    EXPECT_STREQ(border.child("Photo").text().get(), "Free\\gold.frm");
    EXPECT_STREQ(border.child("Location").attribute("Right").value(), "400");
}

TEST_F(ProjectTest, LocationsAreRoundedHalvesToEven) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    AddLayer(doc, itClipart, Library.Root + "Cliparts/Animals/cat.png", {10.5f, 11.5f, 100.49f, -2.5f},
             "Animals\\cat.png");
    const std::string clv = Dir + "/round.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    pugi::xml_document xml;
    const pugi::xml_node loc = LoadXml(xml, InfoOf(clv)).child("Layer1").child("Location");
    EXPECT_STREQ(loc.attribute("Left").value(), "10");
    EXPECT_STREQ(loc.attribute("Top").value(), "12");
    EXPECT_STREQ(loc.attribute("Right").value(), "100");
    EXPECT_STREQ(loc.attribute("Bottom").value(), "-2");
}

TEST_F(ProjectTest, AngleIsWrittenWithAPointWhateverTheLocale) {
    // a locale with a decimal comma, when the system has one
    const char* had = std::setlocale(LC_NUMERIC, nullptr);
    const std::string previous = had ? had : "C";
    const bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    AddLayer(doc, itClipart, Library.Root + "Cliparts/Animals/cat.png", {0, 0, 40, 30}, "Animals\\cat.png")
        ->SetAngle(12.5f);
    AddLayer(doc, itClipart, Library.Root + "Cliparts/Animals/cat.png", {0, 0, 40, 30}, "Animals\\cat.png")
        ->SetAngle(0.1f);
    const std::string clv = Dir + "/angle.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    std::setlocale(LC_NUMERIC, previous.c_str());
    pugi::xml_document xml;
    const pugi::xml_node root = LoadXml(xml, InfoOf(clv));
    EXPECT_STREQ(root.child("Layer1").child("Angle").text().get(), "12.5") << "comma locale: " << comma;
    EXPECT_STREQ(root.child("Layer2").child("Angle").text().get(), "0.1");
    TCollageDocument back;
    ASSERT_TRUE(LoadProject(back, clv, false));
    EXPECT_EQ(back.ContentLayerAt(0)->Angle, 12.5f);
    EXPECT_EQ(back.ContentLayerAt(1)->Angle, 0.1f);
}

// ---- Files of the other platform ----

TEST_F(ProjectTest, ReadsFilesWrittenInTheOtherPlatformsStyle) {
    WritePng(Dir + "/src.png", 40, 30, 2);
    const std::string text =
        "<Layer2><ImageType>2</ImageType><Photo>2.png</Photo><Text>line one\r\nline two</Text>"
        "<FontName>DejaVu Serif</FontName><FontSize>20</FontSize>"
        "<FontStyle>[fsBold,fsItalic]</FontStyle><FontColor>$00FF00FF</FontColor>"
        "<AALevel>2</AALevel><Angle>12,5</Angle><Locked>True</Locked>"
        "<Location Left=\"1\" Top=\"2\" Right=\"81\" Bottom=\"62\"/><Trans>200</Trans>"
        "<ViewedRect Left=\"0\" Top=\"0\" Right=\"40\" Bottom=\"30\"/></Layer2>\r\n";
    const std::string text2 =
        "<Layer3><ImageType>2</ImageType><Photo>2.png</Photo><Text>x</Text>"
        "<FontName>DejaVu Sans</FontName><FontSize>big</FontSize>"
        "<FontStyle>fsUnderline, fsStrikeOut</FontStyle><FontColor>clRed</FontColor>"
        "<AALevel></AALevel><Angle>-7.25</Angle><Locked>1</Locked>"
        "<Location Left=\"1\" Top=\"2\" Right=\"81\" Bottom=\"62\"/><Trans></Trans></Layer3>\r\n";
    const std::string clip =
        "<Layer4><ImageType> 1 </ImageType><Photo>Animals\\cat.png</Photo><FlipH>1</FlipH>"
        "<FlipV>true</FlipV><Angle>0</Angle><Locked>-1</Locked>"
        "<Location Left=\"0\" Top=\"0\" Right=\"40\" Bottom=\"30\"/><Trans>255</Trans>"
        "<SubFrame>Free\\gold.frm</SubFrame><Mask>Circle\\yuan13.msk</Mask>"
        "<ViewedRect Left=\"0\" Top=\"0\" Right=\"40\" Bottom=\"30\"/>"
        "<Shadow OffsetX=\"3\" OffsetY=\"-4\" Transparent=\"50\" Smooth=\"1\" "
        "Color=\"8574280243\"/></Layer4>\r\n";
    const std::string locks =
        PhotoLayer(5, "1.png", "").replace(PhotoLayer(5, "1.png").find("<Locked>0"), 9, "<Locked>FALSE");
    const std::string clv =
        WriteProject(Dir, "other",
                     Description(PhotoLayer(1, "1.png") + text + text2 + clip + locks +
                                 "<Layer6><ImageType>4</ImageType><Photo>Free\\plain.frm</Photo>"
                                 "<Angle>bad</Angle></Layer6>\r\n"));
    fs::copy_file(Dir + "/src.png", Dir + "/other_CLV/UserImage/1.png");
    fs::copy_file(Dir + "/src.png", Dir + "/other_CLV/UserImage/2.png");

    TCollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, clv, false));
    EXPECT_TRUE(Messages.Errors.empty()) << Messages.Errors.front();
    ASSERT_EQ(doc.LayerCount(), 6);
    const TNewRotLayer& t = *doc.ContentLayerAt(1);
    EXPECT_EQ(t.Text, "line one\r\nline two");
    ASSERT_TRUE(t.Font);
    EXPECT_EQ(t.Font->Font.family(), "DejaVu Serif");
    EXPECT_EQ(t.Font->Font.pixelSize(), 20); // the em size in pixels, as the size box shows it
    EXPECT_FALSE(t.TextStyle);               // drawn anew with the page's style
    EXPECT_TRUE(t.Font->Font.bold());
    EXPECT_TRUE(t.Font->Font.italic());
    EXPECT_FALSE(t.Font->Font.underline());
    EXPECT_EQ(t.Font->Color, 0xFFFF00FFu); // $00FF00FF is magenta in either byte order
    EXPECT_EQ(t.AALevel, 2);
    EXPECT_EQ(t.Angle, 12.5f);
    EXPECT_TRUE(t.Locked);
    EXPECT_EQ(t.Picture.MasterAlpha, 200);
    EXPECT_EQ(t.SourceFile, "2.png");

    const TNewRotLayer& t2 = *doc.ContentLayerAt(2);
    EXPECT_EQ(t2.Font->Font.pixelSize(), 16); // unreadable size
    EXPECT_TRUE(t2.Font->Font.underline());
    EXPECT_TRUE(t2.Font->Font.strikeOut());
    EXPECT_FALSE(t2.Font->Font.bold());
    EXPECT_EQ(t2.Font->Color, 0xFFFF0000u);
    EXPECT_EQ(t2.AALevel, 4);
    EXPECT_EQ(t2.Angle, -7.25f);
    EXPECT_TRUE(t2.Locked);
    EXPECT_EQ(t2.Picture.MasterAlpha, 255);

    const TNewRotLayer& c = *doc.ContentLayerAt(3);
    EXPECT_EQ(c.ImageType, itClipart);
    EXPECT_EQ(c.SourceFile, "Animals\\cat.png");
    EXPECT_TRUE(c.FlipH);
    EXPECT_FALSE(c.FlipV); // only exactly "1" flips
    EXPECT_TRUE(c.Locked);
    EXPECT_EQ(c.SubFrameName, "Free\\gold.frm");
    EXPECT_TRUE(c.SubFramePicture);
    EXPECT_TRUE(c.SubFrameMask);
    EXPECT_EQ(c.MaskName, "Circle\\yuan13.msk");
    EXPECT_TRUE(c.MaskPicture);
    EXPECT_TRUE(c.ShadowOn);
    EXPECT_EQ(c.ShadowColor, 0xFF112233u); // low 32 bits of 0x1FF112233
    EXPECT_EQ(c.ShadowOffsetY, -4);

    EXPECT_FALSE(doc.ContentLayerAt(4)->Locked);
    // the border element is made from its name only
    ASSERT_NE(doc.BorderLayer, nullptr);
    EXPECT_EQ(doc.BorderLayer->SourceFile, "Free\\plain.frm");
    EXPECT_EQ(doc.BorderLayer->Location, (TFloatRect{0, 0, 300, 200}));
}

TEST_F(ProjectTest, TextComesBackWithCrLfItsStyleAndItsFlips) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    TNewRotLayer* plain = AddTextLayer(doc, "first\r\nsecond", {10, 10, 130, 60});
    TNewRotLayer* styled = AddTextLayer(doc, "Привет", {20, 80, 260, 130});
    styled->TextStyle = std::make_unique<TTextStyle>();
    TTextStyle& s = *styled->TextStyle;
    s.Halation = true;
    s.HalationColor = 0x00D7FF;
    s.HalationSize = 14;
    s.TextureFile = Library.Root + "Textures/gold.jpg";
    s.TextScaleX = 2.0f;
    s.TextScaleY = 0.5f;
    s.HorzAlign = 2;
    s.VertAlign = 0;
    styled->SetFlipH(true);
    const std::string clv = Dir + "/text.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));

    pugi::xml_document xml;
    const pugi::xml_node root = LoadXml(xml, InfoOf(clv));
    EXPECT_FALSE(root.child("Layer1").child("TextStyle"));
    const pugi::xml_node style = root.child("Layer2").child("TextStyle");
    EXPECT_EQ(AttributeNames(style),
              (std::vector<std::string>{"Halation", "HalationColor", "HalationSize", "Texture", "ScaleX",
                                        "ScaleY", "HorzAlign", "VertAlign"}));
    EXPECT_STREQ(style.attribute("Halation").value(), "1");
    EXPECT_STREQ(style.attribute("HalationColor").value(), "55295");
    EXPECT_STREQ(style.attribute("Texture").value(), "gold.jpg"); // never a full path
    EXPECT_STREQ(style.attribute("ScaleY").value(), "0.5");
    EXPECT_STREQ(root.child("Layer2").child("FlipH").text().get(), "1");
    EXPECT_STREQ(root.child("Layer2").child("FontSize").text().get(), "14");

    TCollageDocument back;
    ASSERT_TRUE(LoadProject(back, clv, false));
    EXPECT_EQ(back.ContentLayerAt(0)->Text, "first\r\nsecond");
    ExpectSameLayer(*plain, *back.ContentLayerAt(0), "plain text");
    ExpectSameLayer(*styled, *back.ContentLayerAt(1), "styled text");
    ExpectSameRender(doc, back);
}

// ---- Saving ----

TEST_F(ProjectTest, SavingTwiceToOnePathLeavesOnlyTheProject) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    AddLayer(doc, itPhoto, Photo("p.jpg"), {0, 0, 64, 48}, Dir + "/p.jpg");
    const std::string sub = Dir + "/twice";
    const std::string clv = sub + "/P.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    AddLayer(doc, itPhoto, Photo("q.jpg", 30, 30, 3), {100, 0, 130, 30}, Dir + "/q.jpg");
    ASSERT_TRUE(SaveProject(doc, clv, false));
    EXPECT_TRUE(Messages.Questions.empty());
    EXPECT_EQ(FolderEntries(sub), (std::vector<std::string>{"P.clv", "P_CLV"}));
    pugi::xml_document xml;
    EXPECT_STREQ(LoadXml(xml, clv).child("Folder").text().get(), "P_CLV");
    TCollageDocument back;
    ASSERT_TRUE(LoadProject(back, clv, false));
    EXPECT_EQ(back.LayerCount(), 2);
}

TEST_F(ProjectTest, ResavingALoadedProjectKeepsEveryPhotoWithItsLayer) {
    // The photos of a loaded project come from its own folder, which the next
    // save replaces; reordered layers get new numbers there.
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    AddLayer(doc, itPhoto, Photo("red.jpg", 40, 40, 1), {0, 0, 40, 40}, Dir + "/red.jpg");
    AddLayer(doc, itPhoto, WritePng(Dir + "/blue.png", 50, 30, 2), {50, 0, 100, 30}, Dir + "/blue.png");
    const std::string clv = Dir + "/re.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    TCollageDocument loaded;
    ASSERT_TRUE(LoadProject(loaded, clv, false));
    loaded.Layers().Move(0, 1);
    ASSERT_TRUE(SaveProject(loaded, clv, false));
    for (int i = 0; i < 2; ++i) {
        const TNewRotLayer& l = *loaded.ContentLayerAt(i);
        ASSERT_TRUE(FileExists(l.SourceFile)) << l.SourceFile;
        TBitmap32 file;
        ASSERT_TRUE(LoadPicture32(l.SourceFile, file));
        EXPECT_EQ(MaxChannelDiff(file, l.Picture), 0) << i;
    }
    TCollageDocument back;
    ASSERT_TRUE(LoadProject(back, clv, false));
    ExpectSameRender(loaded, back);
}

TEST_F(ProjectTest, ExistingFolderWithoutItsFileIsReplacedOnlyAfterYes) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    doc.SetModified(true);
    fs::create_directories(Dir + "/Q_CLV");
    WriteText(Dir + "/Q_CLV/keep.txt", "mine");
    const std::string clv = Dir + "/Q.clv";
    Messages.Answers = {TAnswer::No, TAnswer::Yes};
    EXPECT_FALSE(SaveProject(doc, clv, false));
    ASSERT_EQ(Messages.Questions.size(), 1u);
    EXPECT_EQ(Messages.Questions[0], "The project folder [Q_CLV] has existed, do you want to overwrite?");
    EXPECT_FALSE(FileExists(clv));
    EXPECT_TRUE(FileExists(Dir + "/Q_CLV/keep.txt"));
    EXPECT_TRUE(doc.Modified);
    EXPECT_TRUE(doc.ProjectFile.empty());

    EXPECT_TRUE(SaveProject(doc, clv, false));
    EXPECT_EQ(Messages.Questions.size(), 2u);
    EXPECT_FALSE(FileExists(Dir + "/Q_CLV/keep.txt")); // the folder is written anew
    EXPECT_TRUE(FileExists(Dir + "/Q_CLV/Info.cfg"));
    EXPECT_FALSE(doc.Modified);
}

TEST_F(ProjectTest, DeletedPhotoFileIsWrittenFromThePictureWithoutFlips) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    const std::string file = Photo("gone.jpg", 60, 40, 6);
    TNewRotLayer* l = AddLayer(doc, itPhoto, file, {20, 20, 140, 100}, file);
    l->SetFlipH(true);
    l->SetFlipV(true);
    l->RebuildScreenCache();
    fs::remove(file);
    const std::string clv = Dir + "/deleted.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    pugi::xml_document xml;
    const pugi::xml_node e = LoadXml(xml, InfoOf(clv)).child("Layer1");
    EXPECT_STREQ(e.child("Photo").text().get(), "1.png");
    EXPECT_FALSE(e.child("FlipH"));
    EXPECT_FALSE(e.child("FlipV"));
    TCollageDocument back;
    ASSERT_TRUE(LoadProject(back, clv, false));
    EXPECT_EQ(MaxChannelDiff(back.ContentLayerAt(0)->Picture, l->Picture), 0);
    ExpectSameRender(doc, back);
}

TEST_F(ProjectTest, FilteredPhotoIsWrittenAsItsPictureAndDelFilterThenRestoresThatPicture) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    TCanvasEditor ed(doc);
    const std::string file = Photo("f.jpg", 60, 40, 7);
    TNewRotLayer* l = AddLayer(doc, itPhoto, file, {20, 20, 140, 100}, file);
    l->SetFlipV(true);
    ed.SelectLayer(l);
    FilterPhoto(ed, *l, [](TBitmap32& p) { SketchFilter(p, FilterParams{}); });
    const TBitmap32 filtered = l->Picture;
    const std::string clv = Dir + "/filtered.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    pugi::xml_document xml;
    const pugi::xml_node e = LoadXml(xml, InfoOf(clv)).child("Layer1");
    EXPECT_STREQ(e.child("Photo").text().get(), "1.png"); // not a copy of f.jpg
    EXPECT_FALSE(e.child("FlipV"));                       // the picture holds the flip
    TCollageDocument back;
    ASSERT_TRUE(LoadProject(back, clv, false));
    TNewRotLayer* b = back.ContentLayerAt(0);
    EXPECT_EQ(MaxChannelDiff(b->Picture, filtered), 0);
    ExpectSameRender(doc, back);
    // after reopening, deleting the filters gives the picture as saved
    TCanvasEditor backEd(back);
    backEd.SelectLayer(b);
    FilterPhoto(backEd, *b, [](TBitmap32& p) { InverseFilter(p, FilterParams{}); });
    EXPECT_EQ(PMenuDelFilterClick(backEd), 1);
    EXPECT_EQ(MaxChannelDiff(b->Picture, filtered), 0);
    // and the original document's photo goes back to its file, mirrored
    EXPECT_EQ(PMenuDelFilterClick(ed), 1);
    TBitmap32 fromFile;
    ASSERT_TRUE(LoadPicture32(file, fromFile));
    fromFile.FlipVert();
    EXPECT_EQ(MaxChannelDiff(l->Picture, fromFile), 0);
}

TEST_F(ProjectTest, TemplateSaveTurnsPhotosIntoPlaceholders) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    AddLayer(doc, itPhoto, Photo("t1.jpg"), {10, 10, 110, 90}, Dir + "/t1.jpg");
    AddLayer(doc, itPhoto, Photo("t2.jpg"), {150, 10, 250, 90}, Dir + "/t2.jpg")->SetAngle(-8);
    AddTextLayer(doc, "Title", {10, 120, 130, 170});
    const std::string clv = Dir + "/T.clv";
    ASSERT_TRUE(SaveProject(doc, clv, true));
    EXPECT_EQ(doc.ProjectFile, clv); // bound like any save
    EXPECT_EQ(FolderEntries(Dir + "/T_CLV/UserImage"), std::vector<std::string>{"3.png"});
    pugi::xml_document xml;
    const pugi::xml_node root = LoadXml(xml, InfoOf(clv));
    for (const char* n : {"Layer1", "Layer2"}) {
        EXPECT_STREQ(root.child(n).child("ImageType").text().get(), "3");
        EXPECT_FALSE(root.child(n).child("Photo"));
    }
    EXPECT_STREQ(root.child("Layer3").child("ImageType").text().get(), "2");

    TCollageDocument opened;
    ASSERT_TRUE(LoadProject(opened, clv, true));
    ASSERT_EQ(opened.LayerCount(), 3);
    for (int i = 0; i < 2; ++i) {
        const TNewRotLayer& p = *opened.ContentLayerAt(i);
        EXPECT_EQ(p.ImageType, itPlaceholder);
        EXPECT_EQ(p.Picture.Width(), 10);
        EXPECT_EQ(p.Picture.Pixel(5, 5), 0xFFFFFFFFu);
        EXPECT_EQ(p.PlaceholderLine1, "Double Click or");
        EXPECT_EQ(p.PlaceholderLine2, "Drag Photo Here.");
        EXPECT_EQ(p.ViewedRect, (TRect{0, 0, 9, 9}));
        EXPECT_TRUE(p.SourceFile.empty());
    }
    EXPECT_EQ(opened.ContentLayerAt(1)->Angle, -8);
    EXPECT_TRUE(opened.ProjectFile.empty());
    EXPECT_EQ(opened.Caption(), opened.CaptionBase + " - Untitled");
}

// ---- Failures of the save ----

namespace {
// Limits the size of files this process may write (the kernel then refuses
// writes as on a full disk).
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = FOld;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

// Runs as an unprivileged user while alive when the tests run as root, so
// that folder permissions apply.
class TUnprivileged {
public:
    TUnprivileged() {
        if (geteuid() == 0) FSwitched = seteuid(65534) == 0;
    }
    ~TUnprivileged() {
        if (FSwitched) {
            EXPECT_EQ(seteuid(0), 0);
        }
    }

private:
    bool FSwitched = false;
};

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        files[e.path().string()] = e.is_regular_file() ? ReadText(e.path().string()) : "<dir>";
    return files;
}
} // namespace

TEST_F(ProjectTest, AFullDiskLeavesThePreviousProjectIntact) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    AddLayer(doc, itPhoto, Photo("small.jpg", 20, 20), {0, 0, 20, 20}, Dir + "/small.jpg");
    const std::string sub = Dir + "/full";
    const std::string clv = sub + "/P.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    const auto before = Snapshot(sub);

    // a large photo that cannot be written any more
    const std::string big = Dir + "/big.png";
    {
        QImage noise(400, 300, QImage::Format_ARGB32);
        uint32_t seed = 1;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                noise.setPixel(x, y, 0xFF000000u | ((seed = seed * 1664525u + 1013904223u) >> 8));
        ASSERT_TRUE(noise.save(QString::fromStdString(big), "PNG"));
    }
    AddLayer(doc, itPhoto, big, {0, 0, 400, 300}, big);
    doc.SetModified(true);
    {
        TFileSizeLimit limit(64 * 1024);
        EXPECT_FALSE(SaveProject(doc, clv, false));
    }
    ASSERT_EQ(Messages.Errors.size(), 1u);
    EXPECT_EQ(Messages.Errors[0].rfind("The project could not be saved.\r", 0), 0u) << Messages.Errors[0];
    EXPECT_EQ(Snapshot(sub), before); // nothing left over, nothing changed
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(doc.ProjectFile, clv);

    // a picture the save writes itself fails the same way
    fs::remove(big);
    {
        TFileSizeLimit limit(64 * 1024);
        EXPECT_FALSE(SaveProject(doc, clv, false));
    }
    EXPECT_EQ(Messages.Errors.size(), 2u);
    EXPECT_EQ(Snapshot(sub), before);
}

TEST_F(ProjectTest, AReadOnlyFolderLeavesThePreviousProjectIntact) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    const std::string ro = Dir + "/ro";
    const std::string clv = ro + "/P.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    const auto before = Snapshot(ro);
    fs::permissions(Dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    AddLayer(doc, itClipart, Library.Root + "Cliparts/Animals/cat.png", {0, 0, 40, 30}, "Animals\\cat.png");
    doc.SetModified(true);
    {
        TUnprivileged user;
        EXPECT_FALSE(SaveProject(doc, clv, false));
    }
    fs::permissions(ro, fs::perms::owner_all);
    EXPECT_EQ(Messages.Errors.size(), 1u);
    EXPECT_EQ(Snapshot(ro), before);
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(doc.ProjectFile, clv);
}

TEST_F(ProjectTest, AnUncreatableFolderFailsTheSave) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    WriteText(Dir + "/plainfile", "x");
    doc.SetModified(true);
    EXPECT_FALSE(SaveProject(doc, Dir + "/plainfile/sub/P.clv", false));
    EXPECT_EQ(Messages.Errors.size(), 1u);
    EXPECT_TRUE(doc.Modified);
    EXPECT_TRUE(doc.ProjectFile.empty());
    EXPECT_EQ(doc.Caption(), doc.CaptionBase);
}

// ---- Failures of the load ----

TEST_F(ProjectTest, ProjectsThatCannotBeOpenedLeaveTheCollageUntouched) {
    // Each message names the file that failed on its second line.
    struct TCase {
        std::string Name, Message, File;
        std::function<std::string()> Make;
    };
    const std::string good = Description(PhotoLayer(1, "1.png"));
    fs::create_directories(Dir + "/outside");
    fs::create_directories(Dir + "/inner");
    WriteProject(Dir + "/outside", "x", good);
    WritePng(Dir + "/outside/x_CLV/UserImage/1.png", 40, 30);
    const std::vector<TCase> cases = {
        {"missing project file", "The project file is error.", Dir + "/none.clv",
         [&] { return Dir + "/none.clv"; }},
        {"malformed project file", "The project file is error.", Dir + "/bad.clv",
         [&] {
             WriteText(Dir + "/bad.clv", "<File><Folder>bad_CLV</Folder>");
             return Dir + "/bad.clv";
         }},
        {"empty project file", "The project file is error.", Dir + "/empty.clv",
         [&] {
             WriteText(Dir + "/empty.clv", "");
             return Dir + "/empty.clv";
         }},
        {"missing description", "The project file is error!", Dir + "/noinfo_CLV/Info.cfg",
         [&] { return WriteProject(Dir, "noinfo", ""); }},
        {"no Folder element", "The project file is error!", Dir + "/nofolder.clv",
         [&] {
             WriteText(Dir + "/nofolder.clv", "<File><Version>2011.5.02</Version></File>");
             return Dir + "/nofolder.clv";
         }},
        {"malformed description", "The project file is error", Dir + "/badinfo_CLV/Info.cfg",
         [&] { return WriteProject(Dir, "badinfo", "<vlm_project><Setting><SizeType>1</Setting>"); }},
        {"unreadable page size", "The project file is error", Dir + "/badsize_CLV/Info.cfg",
         [&] {
             return WriteProject(
                 Dir, "badsize",
                 Description("", "<SizeType>1</SizeType><PredifineType>0</PredifineType>"
                                 "<Unit Width=\"0\" Height=\"0\"/><Size Width=\"wide\" Height=\"9\"/>"
                                 "<Orientation>0</Orientation><BKType>0</BKType>"));
         }},
        {"huge page", "The project file is error", Dir + "/hugesize_CLV/Info.cfg",
         [&] {
             return WriteProject(
                 Dir, "hugesize",
                 Description("", "<SizeType>1</SizeType><PredifineType>0</PredifineType>"
                                 "<Unit Width=\"0\" Height=\"0\"/><Size Width=\"90000\" Height=\"9\"/>"
                                 "<Orientation>0</Orientation><BKType>0</BKType>"));
         }},
        {"missing background", "The project file is error", Dir + "/nobk_CLV/UserImage/0.jpg",
         [&] {
             return WriteProject(
                 Dir, "nobk",
                 Description(PhotoLayer(1, "1.png"),
                             "<SizeType>1</SizeType><PredifineType>0</PredifineType>"
                             "<Unit Width=\"0\" Height=\"0\"/><Size Width=\"300\" Height=\"200\"/>"
                             "<Orientation>0</Orientation><BKType>2</BKType>"
                             "<BKImageFile>0.jpg</BKImageFile><BKImageFillType>2</BKImageFillType>"));
         }},
        {"background outside the project", "The project file is error", Dir + "/absbk_CLV/Info.cfg",
         [&] {
             return WriteProject(
                 Dir, "absbk",
                 Description(PhotoLayer(1, "1.png"),
                             "<SizeType>1</SizeType><PredifineType>0</PredifineType>"
                             "<Unit Width=\"0\" Height=\"0\"/><Size Width=\"300\" Height=\"200\"/>"
                             "<Orientation>0</Orientation><BKType>2</BKType><BKImageFile>" +
                                 Library.Root +
                                 "background/paper.jpg</BKImageFile>"
                                 "<BKImageFillType>2</BKImageFillType>"));
         }},
        // a loadable description outside, reached only by names that leave
        // the folder of the project file
        {"folder outside", "The project file is error!", Dir + "/inner/up.clv",
         [&] { return WriteClv(Dir + "/inner", "up", "../outside/x_CLV"); }},
        {"absolute folder", "The project file is error!", Dir + "/inner/abs.clv",
         [&] { return WriteClv(Dir + "/inner", "abs", Dir + "/outside/x_CLV"); }},
        {"dot-dot folder", "The project file is error!", Dir + "/inner/dots.clv",
         [&] { return WriteClv(Dir + "/inner", "dots", ".."); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TCollageDocument doc;
        doc.ApplyCanvasSettings();
        AddLayer(doc, itClipart, Library.Root + "Cliparts/Animals/cat.png", {0, 0, 40, 30},
                 "Animals\\cat.png");
        doc.ProjectFile = "/somewhere/mine.clv";
        doc.CaptionTitle = TCaptionTitle::Project;
        doc.SetModified(true);
        const TDocumentState before(doc);
        Messages.Errors.clear();
        const std::string clv = c.Make();
        EXPECT_FALSE(LoadProject(doc, clv, false));
        ASSERT_EQ(Messages.Errors.size(), 1u);
        const std::string& m = Messages.Errors[0];
        EXPECT_EQ(m.substr(0, m.find('\r')), c.Message);
        EXPECT_EQ(m.substr(0, c.Message.size() + 1 + c.File.size() + 2), c.Message + "\r" + c.File + ": ")
            << m;
        EXPECT_GT(m.size(), c.Message.size() + c.File.size() + 3) << "no reason: " << m;
        EXPECT_TRUE(TDocumentState(doc) == before);
        EXPECT_EQ(doc.ContentLayerAt(0)->SourceFile, "Animals\\cat.png");
    }
}

TEST_F(ProjectTest, MissingPicturesSkipTheirLayersQuietly) {
    const std::string clip =
        "<Layer2><ImageType>1</ImageType><Photo>Animals\\dog.png</Photo><Angle>0</Angle>"
        "<Locked>0</Locked><Location Left=\"0\" Top=\"0\" Right=\"9\" Bottom=\"9\"/></Layer2>";
    const std::string deco =
        PhotoLayer(4, "1.png", "<SubFrame>Free\\none.frm</SubFrame><Mask>Circle\\no.msk</Mask>");
    const std::string clv =
        WriteProject(Dir, "skip", Description(PhotoLayer(1, "1.png") + clip + PhotoLayer(3, "7.jpg") + deco));
    WritePng(Dir + "/skip_CLV/UserImage/1.png", 40, 30);
    TCollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, clv, false));
    EXPECT_TRUE(Messages.Errors.empty());
    ASSERT_EQ(doc.LayerCount(), 2);
    EXPECT_FALSE(doc.ContentLayerAt(1)->MaskPicture);
    EXPECT_FALSE(doc.ContentLayerAt(1)->SubFramePicture);
    EXPECT_TRUE(doc.ContentLayerAt(1)->MaskName.empty());
    EXPECT_EQ(doc.ProjectFile, clv);
}

TEST_F(ProjectTest, MissingBorderPictureKeepsAnEmptyBorder) {
    const std::string border = "<Layer2><ImageType>4</ImageType><Photo>Free\\lost.frm</Photo></Layer2>";
    const std::string clv = WriteProject(Dir, "border", Description(PhotoLayer(1, "1.png") + border));
    WritePng(Dir + "/border_CLV/UserImage/1.png", 40, 30);
    TCollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, clv, false));
    ASSERT_EQ(Messages.Errors.size(), 1u);
    EXPECT_EQ(Messages.Errors[0], "Picture does not exists!\r" + Library.Root +
                                      "Frames/Free/lost.frm: No such file or directory");
    ASSERT_NE(doc.BorderLayer, nullptr);
    EXPECT_TRUE(doc.BorderLayer->Picture.Empty());
    EXPECT_EQ(doc.BorderLayer->SourceFile, "Free\\lost.frm");
    EXPECT_EQ(doc.LayerCount(), 2);
    EXPECT_EQ(doc.ProjectFile, clv); // not a damaged description
    // saved again, the border keeps its name
    const std::string again = Dir + "/again.clv";
    ASSERT_TRUE(SaveProject(doc, again, false));
    pugi::xml_document xml;
    EXPECT_STREQ(LoadXml(xml, InfoOf(again)).child("Layer2").child("Photo").text().get(), "Free\\lost.frm");
}

TEST_F(ProjectTest, MissingLayerElementEndsTheLayers) {
    const std::string clv = WriteProject(
        Dir, "gap",
        Description(PhotoLayer(1, "1.png") + PhotoLayer(2, "1.png") + PhotoLayer(4, "1.png") + "<Layer5/>"));
    WritePng(Dir + "/gap_CLV/UserImage/1.png", 40, 30);
    TCollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, clv, false));
    EXPECT_EQ(doc.LayerCount(), 2);
    EXPECT_TRUE(Messages.Errors.empty());
}

TEST_F(ProjectTest, ADamagedLayerKeepsTheLayersBeforeItAndLeavesTheCollageUntitled) {
    const std::string damaged =
        PhotoLayer(3, "1.png").replace(PhotoLayer(3, "1.png").find("<Angle>0"), 8, "<Angle>twelve");
    const std::string clv = WriteProject(
        Dir, "damaged",
        Description(PhotoLayer(1, "1.png") + PhotoLayer(2, "1.png") + damaged + PhotoLayer(4, "1.png")));
    WritePng(Dir + "/damaged_CLV/UserImage/1.png", 40, 30);
    const std::string info = ReadText(Dir + "/damaged_CLV/Info.cfg");
    TCollageDocument doc;
    doc.ProjectFile = "/other.clv";
    doc.CaptionTitle = TCaptionTitle::Project;
    doc.UndoHistory.PushStep();
    EXPECT_TRUE(LoadProject(doc, clv, false));
    ASSERT_EQ(Messages.Errors.size(), 1u);
    EXPECT_EQ(Messages.Errors[0],
              "The project file is error\r" + Dir + "/damaged_CLV/Info.cfg: Layer3: Angle: twelve");
    EXPECT_EQ(doc.LayerCount(), 2);
    EXPECT_TRUE(doc.ProjectFile.empty());
    EXPECT_EQ(doc.Caption(), doc.CaptionBase + " - Untitled");
    EXPECT_FALSE(doc.UndoHistory.CanUndo());
    // Ctrl+S now asks for a name instead of writing over the intact file
    EXPECT_EQ(ReadText(Dir + "/damaged_CLV/Info.cfg"), info);
}

TEST_F(ProjectTest, UndecodablePicturesBecomePlaceholdersAndAreListedInOneMessage) {
    std::string turned = PhotoLayer(2, "2.jpg",
                                    "<Mask>Circle\\yuan13.msk</Mask><SubFrame>Free\\gold.frm</SubFrame>"
                                    "<Shadow OffsetX=\"4\" OffsetY=\"5\" Transparent=\"50\" "
                                    "Smooth=\"2\" Color=\"4278190080\"/>");
    turned.replace(turned.find("<Angle>0"), 8, "<Angle>30");
    const std::string clv = WriteProject(
        Dir, "corrupt",
        Description(PhotoLayer(1, "1.png") + turned + PhotoLayer(3, "1.png") + PhotoLayer(4, "4.png")));
    WritePng(Dir + "/corrupt_CLV/UserImage/1.png", 40, 30);
    WriteText(Dir + "/corrupt_CLV/UserImage/2.jpg", "this is not a picture");
    WriteText(Dir + "/corrupt_CLV/UserImage/4.png", std::string("\x89PNG\r\n\x1a\n", 8) + "cut short");
    TCollageDocument doc;
    doc.ProjectFile = "/other.clv";
    EXPECT_TRUE(LoadProject(doc, clv, false));
    // every layer is there, the damaged ones as placeholders at their places
    ASSERT_EQ(doc.LayerCount(), 4);
    const TNewRotLayer& p = *doc.ContentLayerAt(1);
    EXPECT_EQ(p.ImageType, itPlaceholder);
    EXPECT_EQ(p.PlaceholderLine1, "Double Click or");
    EXPECT_EQ(p.SourceFile, "");
    EXPECT_EQ(p.Location, (TFloatRect{10, 10, 90, 70}));
    EXPECT_FLOAT_EQ(p.Angle, 30);
    EXPECT_NE(p.MaskPicture, nullptr);
    EXPECT_NE(p.SubFramePicture, nullptr);
    EXPECT_TRUE(p.ShadowOn);
    EXPECT_EQ(p.ShadowOffsetY, 5);
    EXPECT_EQ(doc.ContentLayerAt(2)->ImageType, itPhoto);
    EXPECT_EQ(doc.ContentLayerAt(3)->ImageType, itPlaceholder);
    // one message: the headline, then each file with its reason
    ASSERT_EQ(Messages.Errors.size(), 1u);
    const std::string& m = Messages.Errors[0];
    const std::string jpeg = "The project file is error\r" + Dir + "/corrupt_CLV/UserImage/2.jpg: ";
    EXPECT_EQ(m.substr(0, jpeg.size()), jpeg) << m;
    const size_t png = m.find("\r" + Dir + "/corrupt_CLV/UserImage/4.png: ");
    ASSERT_NE(png, std::string::npos) << m;
    EXPECT_EQ(std::count(m.begin(), m.end(), '\r'), 2) << m;
    EXPECT_LT(jpeg.size() + 1, png) << "a reason for the JPEG";
    // untitled, so that Ctrl+S cannot write the placeholders over the photos
    EXPECT_TRUE(doc.ProjectFile.empty());
}

TEST_F(ProjectTest, NamesReachingOutsideTheirFolderCountAsMissing) {
    // a real picture outside the project and outside the library
    WritePng(Dir + "/secret.png", 40, 30);
    fs::copy_file(Library.Root + "Masks/Circle/yuan13.msk", Dir + "/evil.msk");
    fs::copy_file(Library.Root + "Frames/Free/gold.frm", Dir + "/evil.frm");
    const std::string outside = "../../secret.png";
    const std::string layers =
        PhotoLayer(1, "..\\secret.png") + PhotoLayer(2, Dir + "/secret.png") +
        "<Layer3><ImageType>1</ImageType><Photo>..\\..\\..\\secret.png</Photo><Angle>0</Angle><Locked>0</"
        "Locked>"
        "<Location Left=\"0\" Top=\"0\" Right=\"9\" Bottom=\"9\"/></Layer3>" +
        PhotoLayer(4, "1.png", "<Mask>..\\..\\evil.msk</Mask><SubFrame>" + Dir + "/evil.frm</SubFrame>") +
        "<Layer5><ImageType>4</ImageType><Photo>../../evil.frm</Photo></Layer5>";
    const std::string clv = WriteProject(Dir, "conf", Description(layers));
    WritePng(Dir + "/conf_CLV/UserImage/1.png", 40, 30);
    TCollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, clv, false));
    ASSERT_GE(doc.LayerCount(), 1);
    const TNewRotLayer& photo = *doc.ContentLayerAt(0);
    EXPECT_EQ(photo.SourceFile, Dir + "/conf_CLV/UserImage/1.png");
    EXPECT_FALSE(photo.MaskPicture);
    EXPECT_FALSE(photo.SubFramePicture);
    ASSERT_NE(doc.BorderLayer, nullptr);
    EXPECT_TRUE(doc.BorderLayer->Picture.Empty());
    EXPECT_EQ(doc.LayerCount(), 2);
    // the border reports its picture as missing; nothing else speaks
    EXPECT_EQ(Messages.Errors.size(), 1u);
    (void)outside;
}

TEST_F(ProjectTest, LoadSelectsNothingAndClearsTheHistory) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    AddLayer(doc, itPhoto, Photo("s.jpg"), {0, 0, 64, 48}, Dir + "/s.jpg");
    const std::string clv = Dir + "/sel.clv";
    ASSERT_TRUE(SaveProject(doc, clv, false));
    TCollageDocument other;
    other.UndoHistory.PushStep();
    other.UndoHistory.PushStep();
    other.SetModified(true);
    ASSERT_TRUE(LoadProject(other, clv, false));
    EXPECT_FALSE(other.UndoHistory.CanUndo());
    EXPECT_FALSE(other.UndoHistory.CanRedo());
    EXPECT_FALSE(other.Modified);
    for (int i = 0; i < other.LayerCount(); ++i) {
        ASSERT_NE(other.ContentLayerAt(i), nullptr);
        EXPECT_EQ(other.ContentLayerAt(i)->Handles, nullptr);
    }
}

// ---- Values ----

TEST(ProjectValues, AnglesReadWithEitherSeparatorAndWriteShortest) {
    EXPECT_EQ(ParseAngle("12.5"), 12.5f);
    EXPECT_EQ(ParseAngle("12,5"), 12.5f);
    EXPECT_EQ(ParseAngle(" -0,25 "), -0.25f);
    EXPECT_EQ(ParseAngle(""), 0.0f);
    EXPECT_EQ(ParseAngle("45"), 45.0f);
    EXPECT_FALSE(ParseAngle("1.2.3"));
    EXPECT_FALSE(ParseAngle("nan"));
    EXPECT_FALSE(ParseAngle("inf"));
    EXPECT_FALSE(ParseAngle("1e99"));
    EXPECT_FALSE(ParseAngle("12 deg"));
    EXPECT_EQ(FormatAngle(12.5f), "12.5");
    EXPECT_EQ(FormatAngle(-90.0f), "-90");
    EXPECT_EQ(FormatAngle(0.0f), "0");
    EXPECT_EQ(FormatAngle(-0.0f), "0");
    EXPECT_EQ(FormatAngle(1e-5f), "0.00001");
    for (float a : {0.1f, 33.333f, -179.99f, 359.0001f, 1.0f / 3.0f})
        EXPECT_EQ(ParseAngle(FormatAngle(a)), a) << FormatAngle(a);
}

TEST(ProjectValues, LocksColoursAndStyles) {
    for (const char* t : {"-1", "1", "5", "True", "TRUE", "true", " -1 "}) EXPECT_TRUE(ParseLocked(t)) << t;
    for (const char* t : {"0", "False", "false", "", "yes", "x1"}) EXPECT_FALSE(ParseLocked(t)) << t;

    EXPECT_EQ(FormatFontColor(0x0000FF), "clRed");
    EXPECT_EQ(FormatFontColor(0xFFFFFF), "clWhite");
    EXPECT_EQ(FormatFontColor(0xC0DCC0), "clMoneyGreen");
    EXPECT_EQ(FormatFontColor(0x00123456), "$00123456");
    EXPECT_EQ(FormatFontColor(TColor(0xFF000008)), "clWindowText");
    EXPECT_EQ(FormatFontColor(0x1FFFFFFF), "clNone");
    EXPECT_EQ(ParseFontColor("clred"), 0x0000FF);
    EXPECT_EQ(ParseFontColor("clSkyBlue"), 0xF0CAA6);
    EXPECT_EQ(ParseFontColor("$00FF00FF"), 0x00FF00FF);
    EXPECT_EQ(ParseFontColor("$ff"), 0xFF);
    EXPECT_EQ(ParseFontColor("255"), 255);
    EXPECT_EQ(ParseFontColor("clScrollBar"), TColor(0xFF000000));
    EXPECT_FALSE(ParseFontColor("clPink"));
    EXPECT_FALSE(ParseFontColor("$"));
    EXPECT_FALSE(ParseFontColor("$1FFFFFFFF"));

    EXPECT_EQ(FormatShadowColor(0xFF000000), "4278190080");
    EXPECT_EQ(ParseShadowColor("4278190080"), 0xFF000000u);
    EXPECT_EQ(ParseShadowColor("-16777216"), 0xFF000000u);
    EXPECT_EQ(ParseShadowColor("18446744073709551615"), 0xFFFFFFFFu);
    EXPECT_FALSE(ParseShadowColor("black"));

    EXPECT_EQ(FormatFontStyle({}), "[]");
    EXPECT_EQ(FormatFontStyle({true, true, false, false}), "[fsBold,fsItalic]");
    EXPECT_EQ(FormatFontStyle({false, false, true, true}), "[fsUnderline,fsStrikeOut]");
    EXPECT_EQ(ParseFontStyle("[fsBold,fsItalic]"), (TFontStyleSet{true, true, false, false}));
    EXPECT_EQ(ParseFontStyle("fsStrikeOut"), (TFontStyleSet{false, false, false, true}));
    EXPECT_EQ(ParseFontStyle("[ fsbold , fsUnderline ]"), (TFontStyleSet{true, false, true, false}));
    EXPECT_EQ(ParseFontStyle("[]"), TFontStyleSet{});
    EXPECT_FALSE(ParseFontStyle("[fsBold"));
    EXPECT_FALSE(ParseFontStyle("[fsHeavy]"));
    EXPECT_FALSE(ParseFontStyle("[fsBold,]"));

    EXPECT_EQ(TextFromXml("a\nb"), "a\r\nb");
    EXPECT_EQ(TextFromXml("a\r\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(ParseInt(" 42 "), 42);
    EXPECT_FALSE(ParseInt("4 2"));
    EXPECT_FALSE(ParseInt("99999999999"));
}

TEST(ProjectValues, ConfinedNames) {
    for (const char* ok : {"Circle\\yuan13.msk", "1.jpg", "a/b/c.png", "x..y.png", "..a"})
        EXPECT_TRUE(IsConfinedName(ok)) << ok;
    for (const char* bad :
         {"", "/etc/passwd", "\\x.png", "C:\\x.png", "..\\x", "a/../../b", "a\\..", " .. /x"})
        EXPECT_FALSE(IsConfinedName(bad)) << bad;
    EXPECT_TRUE(IsPlainFolderName("P_CLV"));
    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "/abs", "C:x"})
        EXPECT_FALSE(IsPlainFolderName(bad)) << bad;
}
