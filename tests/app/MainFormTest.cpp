#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "app/ui/ImageScreenWidget.h"
#include "app/ui/MainForm.h"
#include "browser/ui/SidePanel.h"
#include "common/TestSupport.h"
#include "common/TranslationCheck.h"
#include "engine/Errors.h"
#include "language/Language.h"
#include "output/ui/PreviewForm.h"
#include "output/ui/PrintPreviewForm.h"
#include "output/ui/WallpaperOptForm.h"
#include "persistence/ui/TemplateForm.h"
#include "platform/Paths.h"
#include "platform/ui/QtDialogs.h"
#include "platform/ui/QtMessages.h"

namespace {
TStartOptions Quiet() {
    TStartOptions o;
    o.ShowSplash = false;
    o.EnableStartTimer = false;
    return o;
}
} // namespace

TEST(MainForm, StartsWithTheDefaultPageAndLabels) {
    TMainForm form(Quiet());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.Doc.ImageScreen.Bitmap.Width(), 1024);
    EXPECT_EQ(form.Doc.ImageScreen.Bitmap.Height(), 768);
    EXPECT_EQ(form.LabelSize->text(), "Size: 1024 X 768");
    EXPECT_EQ(form.LabelSaved->text(), "Saved");
    EXPECT_EQ(form.windowTitle(), "Velmora 2011.5.02");
    EXPECT_FALSE(form.MenuUnDo->isEnabled());
    // the page got the fitting zoom of the canvas area
    EXPECT_GE(form.TrackBarScale->value(), 3);
    EXPECT_LE(form.TrackBarScale->value(), 100);
    EXPECT_EQ(form.LabelScale->text(), QString::number(form.TrackBarScale->value()) + "%");
    // the canvas shows the page inside its blue outline on grey
    form.ImageScreen->viewport()->repaint();
    const TBitmap32& shown = form.ImageScreen->ViewBuffer();
    ASSERT_FALSE(shown.Empty());
    const TRect page = form.Doc.ImageScreen.GetBitmapRect();
    EXPECT_EQ(shown.Pixel(page.Left - 1, page.Top + 5), 0xFF0000FFu);
    if (page.Left >= 3) {
        EXPECT_EQ(shown.Pixel(page.Left - 3, page.Top + 5), 0xFF808080u);
    }
}

TEST(MainForm, ZoomTrackBarResizesTheCanvas) {
    TMainForm form(Quiet());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.TrackBarScale->setValue(250);
    EXPECT_EQ(form.LabelScale->text(), "250%");
    EXPECT_FLOAT_EQ(form.Doc.ImageScreen.Scale(), 2.5f);
    EXPECT_EQ(form.Doc.ImageScreen.Width(), 2560 + 2 * TCollageDocument::kPageMargin);
    form.TrackBarScale->setValue(1); // below the range
    EXPECT_EQ(form.TrackBarScale->value(), 3);
    EXPECT_EQ(form.LabelScale->text(), "3%");
}

TEST(MainForm, ClosePromptFollowsTheAnswers) {
    TMainForm form(Quiet());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    form.Doc.SetModified(true);
    EXPECT_EQ(form.LabelSaved->text(), "Unsaved");

    messages.Answers = {TAnswer::Cancel};
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(messages.Questions.size(), 1u);
    EXPECT_EQ(messages.Questions[0], "The project has been modified\rdo you want to save it?");

    // Yes on an untitled project, then cancelling the save dialog keeps it open
    messages.Answers.push_back(TAnswer::Yes);
    dialogs.Results = {TFileDialogResult{}};
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(dialogs.Requests.size(), 1u);
    EXPECT_EQ(dialogs.Requests[0].Filter, "Project File(*.clv)|*.clv");

    messages.Answers.push_back(TAnswer::No);
    EXPECT_TRUE(form.close());
    EXPECT_EQ(messages.Questions.size(), 3u);
}

TEST(MainForm, UnmodifiedDocumentClosesWithoutAsking) {
    TMainForm form(Quiet());
    form.show();
    TScriptedMessages messages;
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(messages.Questions.empty());
}

namespace {
// An object whose event handler fails the way a command can.
class TFailingObject : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw EUserError(kPictureReadFailed, "/photos/a.png", "bad marker");
        return QObject::event(e);
    }
};
} // namespace

TEST(MainForm, NoFailureReachesTheEventLoop) {
    TMainForm form(Quiet());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    // a placeholder on the page, selected, and a damaged picture chosen for
    // it after a double-click on the canvas
    auto* p = form.Doc.Layers().Add<TNewRotLayer>();
    p->ImageType = itPlaceholder;
    p->Picture.SetSize(10, 10);
    p->Picture.Clear(0xFFFFFFFF);
    p->Picture.DrawMode = TDrawMode::Blend;
    p->SetLocation({100, 100, 500, 400});
    p->SetPictureCenter({5, 5});
    p->SetScaled(true);
    p->AlphaHit = true;
    p->SetViewedRect({0, 0, 9, 9});
    p->RebuildScreenCache();
    form.Editor.SelectLayer(p);
    form.ImageScreen->viewport()->repaint(); // hit tests follow what is shown
    const std::string bad = MakeTempDir() + "/damaged.jpg";
    {
        QFile f(QString::fromStdString(bad));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\xFF\xD8\xFF\xE0 and then nothing a decoder could use");
    }
    dialogs.Results = {TFileDialogResult{bad, 1}};
    const TFloatRect v = p->LocationToView(p->Location);
    const QPoint at(int((v.Left + v.Right) / 2), int((v.Top + v.Bottom) / 2));
    QWidget* canvas = form.ImageScreen->viewport();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), canvas->mapToGlobal(QPointF(at)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &dbl);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at);
    ASSERT_EQ(dialogs.Requests.size(), 1u);
    ASSERT_EQ(messages.Errors.size(), 1u);
    const std::string head = "The picture could not be read.\r" + bad + ": ";
    EXPECT_EQ(messages.Errors[0].substr(0, head.size()), head);
    EXPECT_GT(messages.Errors[0].size(), head.size()); // and the decoder's reason
    EXPECT_EQ(p->ImageType, itPlaceholder);
    EXPECT_FALSE(form.Doc.UndoHistory.CanUndo());
    EXPECT_FALSE(form.Doc.ImageScreen.Layers.Updating());
    EXPECT_TRUE(form.isVisible());

    // behind the command guard, the application object: a failure that
    // leaves any event handler is shown once the handler has returned
    TFailingObject failing;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&failing, &event));
    QApplication::processEvents();
    ASSERT_EQ(messages.Errors.size(), 2u);
    EXPECT_EQ(messages.Errors[1], "The picture could not be read.\r/photos/a.png: bad marker");
    form.Doc.SetModified(false);
}

TEST(MainForm, DroppedFilesOnlyOpenAnExistingProjectNamedLast) {
    TMainForm form(Quiet());
    TScriptedMessages messages;
    const std::string dir = MakeTempDir();
    form.FilesDropped({QString::fromStdString(dir + "/missing.clv")});
    form.FilesDropped({QString::fromStdString(dir + "/a.clv"), QString::fromStdString(dir + "/b.png")});
    EXPECT_TRUE(messages.Errors.empty());
    EXPECT_EQ(form.Doc.ProjectFile, "");
}

namespace {
// A resource folder of its own with one language file, for the language
// tests; the rest of the library is not needed there.
std::string LanguageRoot() {
    const std::string root = MakeTempDir();
    QDir().mkpath(QString::fromStdString(root + "/Languages"));
    QFile f(QString::fromStdString(root + "/Languages/Deutsch.ini"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Info]\nLanguage=Deutsch\n[String]\n&File=&Datei\nSaved=Gespeichert\nSize=Größe\n"
            "Mask Type=Maskentyp\n&Crop=&Zuschneiden\nDouble Click or=Doppelklicken oder\n");
    return root;
}

QAction* FindAction(QWidget* w, const QString& name) { return w->findChild<QAction*>(name); }
} // namespace

TEST(MainForm, GermanRelabelsAtOnceAndSurvivesARestart) {
    SetResourceRoot(LanguageRoot());
    {
        TMainForm form(Quiet());
        form.show();
        QAction* german = FindAction(&form, "MenuLanguage0");
        ASSERT_NE(german, nullptr);
        EXPECT_EQ(german->text(), "Deutsch");
        EXPECT_TRUE(form.MenuEnglish->isChecked());
        QAction* file = form.findChild<QMenu*>("MenuFile")->menuAction();
        EXPECT_EQ(file->text(), "&File");
        auto* placeholder = form.Doc.Layers().Add<TNewRotLayer>();
        placeholder->ImageType = itPlaceholder;
        placeholder->PlaceholderLine1 = "Double Click or";
        german->trigger();
        EXPECT_EQ(file->text(), "&Datei");
        // the side panel, the shortcut menu's twins of main items and the
        // placeholders' prompt follow at once
        EXPECT_EQ(form.NotebookPanel->LabelMaskType->text(), "Maskentyp");
        EXPECT_EQ(FindAction(&form, "PMenuCrop")->text(), "&Zuschneiden");
        EXPECT_EQ(placeholder->PlaceholderLine1, "Doppelklicken oder");
        EXPECT_EQ(placeholder->PlaceholderLine2, "Drag Photo Here.");
        EXPECT_EQ(form.LabelSaved->text(), "Gespeichert");
        EXPECT_TRUE(form.LabelSize->text().startsWith(QString::fromUtf8("Größe: ")));
        EXPECT_TRUE(german->isChecked());
        EXPECT_FALSE(form.MenuEnglish->isChecked());
        // texts without a translation stay English
        EXPECT_EQ(form.findChild<QMenu*>("MenuEdit")->menuAction()->text(), "&Edit");
    } // closing writes cfg.ini
    {
        TMainForm form(Quiet());
        EXPECT_EQ(form.LanguageIndex, 0);
        EXPECT_EQ(form.findChild<QMenu*>("MenuFile")->menuAction()->text(), "&Datei");
        EXPECT_TRUE(FindAction(&form, "MenuLanguage0")->isChecked());
        form.MenuEnglish->trigger();
        EXPECT_EQ(form.findChild<QMenu*>("MenuFile")->menuAction()->text(), "&File");
    }
    {
        TMainForm form(Quiet());
        EXPECT_EQ(form.LanguageIndex, -1);
        EXPECT_TRUE(form.MenuEnglish->isChecked());
    }
    SetResourceRoot("");
}

TEST(MainForm, EveryShownTextGoesThroughTheLookup) {
    TPseudoLanguage pseudo;
    TMainForm form(Quiet());
    form.LanguageItemClick(TPseudoLanguage::Index);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // every page of the side panel, the menus and the shortcut menu
    ExpectTranslated(&form);
    const TSidePanel& panel = *form.NotebookPanel;
    EXPECT_EQ(panel.ComboBoxMaskType2->itemText(0),
              TPseudoLanguage::Wrap(panel.ComboBoxMaskType->itemText(0).toStdString()));
    EXPECT_EQ(FindAction(&form, "PMenuLayerBottom")->text(), TPseudoLanguage::Wrap("Layer B&ottom"));

    // the dialogs, created in the current language
    {
        TTemplateForm chooser(form.Doc, &form);
        chooser.show();
        ExpectTranslated(&chooser);
    }
    {
        TWallpaperOptForm options(&form);
        options.show();
        ExpectTranslated(&options);
    }
    {
        const QImage picture(64, 48, QImage::Format_RGB32);
        TPrintPreviewForm print(TPrintSettings{}, picture, form.Printer(), {}, {}, &form);
        print.show();
        ExpectTranslated(&print);
        // the unit lists show their longest unit even in wrapped texts
        for (const QComboBox* units : print.findChildren<QComboBox*>())
            EXPECT_GE(units->width(), units->sizeHint().width()) << units->objectName().toStdString();
        TPreviewForm preview(picture, QRect(0, 0, 640, 480), 1.0, &form);
        ExpectTranslated(&preview);
    }
    // the message boxes' captions and buttons
    std::vector<std::string> boxes;
    auto walkNextBox = [&] {
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            for (const std::string& t : UntranslatedTexts(box)) boxes.push_back(t);
            box->close();
        });
    };
    TQtMessages messages(&form);
    const std::string text = TPseudoLanguage::Wrap("The layer is locked!").toStdString();
    walkNextBox();
    messages.Ask(text, Lang("Save Project"), TButtons::YesNoCancel);
    walkNextBox();
    messages.Error(text);
    walkNextBox();
    messages.Info(text);
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    // the file dialogs' filters
    for (const QString& filter : TranslateFilter(kImageFilter) + TranslateFilter("Project File(*.clv)|*.clv"))
        EXPECT_TRUE(filter.startsWith(QChar(0x27E6))) << filter.toStdString();
    form.LanguageItemClick(-1); // the configuration keeps English for the next window
}
