// The painted chrome of the main window: captions painted onto the button
// pictures in the current language, hints in the status bar, undo and redo
// following the history, and the ways out to the user guide and the About box.

#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include "app/ui/MainForm.h"
#include "browser/ui/PicFileList.h"
#include "browser/ui/SidePanel.h"
#include "chrome/ButtonFaces.h"
#include "chrome/Help.h"
#include "chrome/ui/AboutForm.h"
#include "chrome/ui/WindowChrome.h"
#include "common/TestSupport.h"
#include "editing/AddPictures.h"
#include "engine/Errors.h"
#include "platform/Paths.h"
#include "platform/ui/ImageButton.h"

namespace {

TStartOptions Quiet() {
    TStartOptions o;
    o.ShowSplash = false;
    o.EnableStartTimer = false;
    return o;
}

// The pictures a button must show: loaded from the library and captioned
// once.
TButtonFaces Expected(const char* name, const std::string& caption, double ratio = 1) {
    const TPictureButtonInfo& info = *FindPictureButton(name);
    TButtonFaces faces = LoadButtonFaces(ResourceRoot(), info, ratio);
    PaintCaption(faces, caption, info.Layout);
    return faces;
}

void Hover(QWidget* w, bool in) {
    if (in) {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(w, &e);
    } else {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(w, &e);
    }
}

// The bounding box of the pixels where a captioned picture differs from the
// bare one, in logical pixels.
QRectF CaptionBox(const QImage& bare, const QImage& captioned) {
    QRect box;
    for (int y = 0; y < bare.height(); ++y)
        for (int x = 0; x < bare.width(); ++x)
            if (bare.pixel(x, y) != captioned.pixel(x, y)) box |= QRect(x, y, 1, 1);
    const double r = bare.devicePixelRatio();
    return QRectF(box.x() / r, box.y() / r, box.width() / r, box.height() / r);
}

// Records what the program hands to the desktop to open.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    TUrlCatcher() { QDesktopServices::setUrlHandler("file", this, "Open"); }
    ~TUrlCatcher() override { QDesktopServices::unsetUrlHandler("file"); }
    std::vector<QUrl> Urls;
public slots:
    void Open(const QUrl& url) { Urls.push_back(url); }
};

} // namespace

TEST(Chrome, CaptionsFollowTheLanguageAndNeverDoubleUp) {
    TMainForm form(Quiet());
    TImageButton* crop = form.Chrome->Button("ImageButtonCrop");
    TImageButton* border = form.Chrome->Button("ImageButtonBorder");
    ASSERT_TRUE(crop && border);
    const TButtonFaces bare = LoadButtonFaces(ResourceRoot(), *FindPictureButton("ImageButtonCrop"), 1);
    EXPECT_NE(crop->Picture(TImageButton::Normal), bare[0]); // a caption was painted at all
    // back and forth: each time exactly one caption on freshly loaded pictures
    for (int round = 0; round < 3; ++round) {
        form.LanguageItemClick(0);
        const TButtonFaces de = Expected("ImageButtonCrop", "Zuschneiden");
        for (int i = 0; i < kFaceCount; ++i)
            EXPECT_EQ(crop->Picture(TImageButton::TState(i)), de[size_t(i)]) << "German, face " << i;
        EXPECT_EQ(border->Picture(TImageButton::Hover), Expected("ImageButtonBorder", "Umrandung")[1]);
        form.LanguageItemClick(-1);
        const TButtonFaces en = Expected("ImageButtonCrop", "Crop");
        for (int i = 0; i < kFaceCount; ++i)
            EXPECT_EQ(crop->Picture(TImageButton::TState(i)), en[size_t(i)]) << "English, face " << i;
        EXPECT_EQ(border->Picture(TImageButton::Hover), Expected("ImageButtonBorder", "Border")[1]);
    }
    // main buttons have no disabled picture; they take the size of their pictures
    EXPECT_TRUE(border->Picture(TImageButton::Disabled).isNull());
    EXPECT_EQ(border->size(), QSize(kMainButtonWidth, kMainButtonHeight));
    EXPECT_EQ(border->pos().x() - form.Chrome->Button("ImageButtonAddPhoto")->pos().x(), 199);
}

TEST(Chrome, NoCaptionOverrunsItsBandInEnglishOrGerman) {
    TMainForm form(Quiet());
    for (int language : {0, -1}) {
        form.LanguageItemClick(language);
        for (const TPictureButtonInfo& b : PictureButtons()) {
            TImageButton* button = form.Chrome->Button(b.Name);
            ASSERT_NE(button, nullptr) << b.Name;
            const QImage& normal = button->Picture(TImageButton::Normal);
            ASSERT_FALSE(normal.isNull()) << b.Name;
            const QString caption = QString::fromStdString(PaintedCaption(form.ButtonCaption(b)));
            EXPECT_FALSE(caption.isEmpty()) << b.Name;
            const QFontMetrics m(CaptionFont(b.Layout), const_cast<QImage*>(&normal));
            const QSize size = normal.deviceIndependentSize().toSize();
            EXPECT_LE(m.horizontalAdvance(caption), CaptionBand(b.Layout, size.width()))
                << b.Name << " in language " << language << ": \"" << caption.toStdString() << "\"";
            EXPECT_LE(CaptionY(b.Layout, size.height(), m.height()) + m.height(), size.height()) << b.Name;
        }
    }
}

TEST(Chrome, HintsShowCentredBetweenTheSeparatorsAndClearOnLeaving) {
    TMainForm form(Quiet());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.LanguageItemClick(-1);
    EXPECT_TRUE(form.LabelOperation->text().isEmpty());
    Hover(form.Chrome->Button("ImageButtonCrop"), true);
    EXPECT_EQ(form.LabelOperation->text(), "Crop your selected photo");
    const int left = form.LabelOperation->x();
    EXPECT_EQ(left, HintLeft(form.Bevel2->x(), form.Bevel3->x(), form.LabelOperation->width()));
    EXPECT_GT(left, form.Bevel2->x());
    EXPECT_LT(left + form.LabelOperation->width(), form.Bevel3->x());
    Hover(form.Chrome->Button("ImageButtonCrop"), false);
    EXPECT_TRUE(form.LabelOperation->text().isEmpty());
    // the page buttons, the modify page's tabs and the thumbnail lists too
    Hover(form.NotebookPanel->ImageButtonSubFrame, true);
    EXPECT_EQ(form.LabelOperation->text(), "Add frame for your selected photo");
    Hover(form.NotebookPanel->ImageButtonSubFrame, false);
    form.NotebookPanel->PicFileListMask->OnMouseEnter(nullptr);
    EXPECT_EQ(form.LabelOperation->text(), "Drag mask onto any photo to apply");
    form.NotebookPanel->PicFileListMask->OnMouseLeave(nullptr);
    EXPECT_TRUE(form.LabelOperation->text().isEmpty());
}

TEST(Chrome, UndoAndRedoFollowTheHistoryWithTheirDisabledPictures) {
    TMainForm form(Quiet());
    form.show();
    TScriptedMessages messages;
    form.LanguageItemClick(-1);
    TImageButton* undo = form.Chrome->Button("ImageButtonUndo");
    TImageButton* redo = form.Chrome->Button("ImageButtonRedo");
    const TButtonFaces undoFaces = Expected("ImageButtonUndo", "UnDo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->ShownState(), TImageButton::Disabled);
    EXPECT_EQ(undo->ShownPicture(), undoFaces[size_t(TFace::Disabled)]);
    EXPECT_NE(undoFaces[size_t(TFace::Disabled)], undoFaces[size_t(TFace::Normal)]);

    const QStringList photos = QDir(QString::fromStdString(ResourceRoot() + "Photos")).entryList({"*.jpg"});
    ASSERT_FALSE(photos.isEmpty());
    const std::string photo = ResourceRoot() + "Photos/" + photos[0].toStdString();
    form.RunCommand(
        [&] { AddContentLayer(form.Editor, photo, TPictureKind::Photo, "", TPlacement::VisibleCorner); });
    const int layers = form.Doc.LayerCount();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->ShownPicture(), undoFaces[size_t(TFace::Normal)]);
    EXPECT_FALSE(redo->isEnabled());
    QTest::mouseClick(undo, Qt::LeftButton);
    EXPECT_LT(form.Doc.LayerCount(), layers);
    EXPECT_TRUE(redo->isEnabled());
    // the history finds out it has nothing left on the next try
    QTest::mouseClick(undo, Qt::LeftButton);
    EXPECT_EQ(undo->ShownState(), TImageButton::Disabled);
    EXPECT_EQ(undo->ShownPicture(), undoFaces[size_t(TFace::Disabled)]);
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_TRUE(messages.Errors.empty());
    form.Doc.SetModified(false);
}

TEST(Chrome, DoubleSizePicturesKeepTheCaptionWhereItIs) {
    const TPictureButtonInfo& info = *FindPictureButton("ImageButtonCrop");
    const TButtonFaces one = LoadButtonFaces(ResourceRoot(), info, 1);
    const TButtonFaces two = LoadButtonFaces(ResourceRoot(), info, 2);
    ASSERT_EQ(two[0].devicePixelRatio(), 2);
    EXPECT_EQ(two[0].size(), one[0].size() * 2);
    TButtonFaces oneCaptioned = one, twoCaptioned = two;
    PaintCaption(oneCaptioned, "Crop", info.Layout);
    PaintCaption(twoCaptioned, "Crop", info.Layout);
    const QRectF a = CaptionBox(one[0], oneCaptioned[0]), b = CaptionBox(two[0], twoCaptioned[0]);
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NEAR(a.center().x(), b.center().x(), 1.0);
    EXPECT_NEAR(a.center().y(), b.center().y(), 1.0);
    EXPECT_NEAR(a.width(), b.width(), 2.0);
    TImageButton button;
    button.SetPictures(twoCaptioned);
    EXPECT_EQ(button.size(), QSize(kToolButtonWidth, kToolButtonHeight));
    // a library without the double-size set falls back to the ordinary one
    const std::string root = MakeTempDir() + "/";
    const std::string file = ButtonPictureFile(info, TFace::Normal);
    QDir().mkpath(QString::fromStdString(root + ExtractFileDir(file)));
    for (int i = 0; i < kFaceCount; ++i) {
        const std::string f = ButtonPictureFile(info, TFace(i));
        QFile::copy(QString::fromStdString(ResourceRoot() + f), QString::fromStdString(root + f));
    }
    EXPECT_EQ(LoadButtonFaces(root, info, 2)[0], one[0]);
    // and one without a picture says which file and why
    QFile::remove(QString::fromStdString(root + file));
    try {
        LoadButtonFaces(root, info, 1);
        ADD_FAILURE() << "a missing picture must fail";
    } catch (const EUserError& e) {
        EXPECT_EQ(e.File(), root + file);
        EXPECT_FALSE(e.Reason().empty());
    }
}

TEST(Chrome, HelpAboutAndTheLogoOpenTheShippedGuide) {
    TMainForm form(Quiet());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TUrlCatcher catcher;
    auto page = [](const char* name) {
        return QUrl::fromLocalFile(QString::fromStdString(HelpPagePath(name)));
    };
    QTest::keyClick(&form, Qt::Key_F1);
    form.findChild<QAction*>("MenuDownloadMoreMaterials")->trigger();
    form.findChild<QAction*>("MenuMoreLanguages")->trigger();
    EXPECT_EQ(form.Chrome->ImageLogo->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(form.Chrome->ImageLogo, Qt::LeftButton);
    ASSERT_EQ(catcher.Urls.size(), 4u);
    EXPECT_EQ(catcher.Urls[0], page(kHelpStartPage));
    EXPECT_EQ(catcher.Urls[1], page(kHelpMaterialsPage));
    EXPECT_EQ(catcher.Urls[2], page(kHelpLanguagesPage));
    EXPECT_EQ(catcher.Urls[3], page(kHelpStartPage));
    for (const QUrl& u : catcher.Urls)
        EXPECT_TRUE(QFileInfo(u.toLocalFile()).isFile()) << u.toString().toStdString();

    // the Help menu: contents, separator, materials, separator, about
    const QList<QAction*> help = form.findChild<QMenu*>("MenuHelp")->actions();
    ASSERT_EQ(help.size(), 5);
    EXPECT_EQ(help[0]->objectName(), "MenuHelpContents");
    EXPECT_TRUE(help[1]->isSeparator() && help[3]->isSeparator());
    EXPECT_EQ(help[2]->objectName(), "MenuDownloadMoreMaterials");
    EXPECT_EQ(help[4]->objectName(), "MenuAbout");

    // the About box: the project's version, the libraries, the guide as a
    // local address that opens on a click, no mail address
    QFile cmake(VELMORA_SOURCE_DIR "/CMakeLists.txt");
    ASSERT_TRUE(cmake.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch version =
        QRegularExpression(R"re(set\(VELMORA_VERSION "([0-9.]+)"\))re").match(QString::fromUtf8(cmake.readAll()));
    ASSERT_TRUE(version.hasMatch());
    TAboutForm about(ResourceRoot(), &form);
    EXPECT_TRUE(about.LabelVersion->text().endsWith(" " + version.captured(1)));
    EXPECT_TRUE(about.LabelLibraries->text().contains(QString("Qt ") + qVersion()));
    EXPECT_TRUE(about.LabelLibraries->text().contains("libjpeg"));
    EXPECT_EQ(about.LabelURL->text(), page(kHelpStartPage).toString());
    EXPECT_EQ(about.findChild<QLabel*>("LabelMail"), nullptr);
    QTest::mouseClick(about.LabelURL, Qt::LeftButton);
    ASSERT_EQ(catcher.Urls.size(), 5u);
    EXPECT_EQ(catcher.Urls[4], page(kHelpStartPage));
}

#include "ChromeTest.moc"
