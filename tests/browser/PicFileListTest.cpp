// The thumbnail grid on real widgets (offscreen): scanning, background
// thumbnails, selection, the pointer, dragging and the list operations.
#include <gtest/gtest.h>

#include <QDrag>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QThreadPool>
#include <QUrl>
#include <QWheelEvent>

#include "browser/BrowserFixtures.h"
#include "browser/Thumbnail.h"
#include "browser/ThumbnailLoader.h"
#include "browser/ui/PicFileList.h"
#include "browser/ui/PicListFactory.h"
#include "common/TestSupport.h"
#include "platform/Paths.h"

namespace {

// A folder of pictures; names ending in "!" are written broken (the "!" is
// dropped from the name).
std::string Folder(const std::vector<std::string>& names) {
    const std::string dir = MakeTempDir();
    int i = 0;
    for (std::string n : names) {
        const bool broken = n.back() == '!';
        if (broken) n.pop_back();
        if (broken)
            WriteBytes(dir + "/" + n, "not a picture");
        else
            WritePicture(dir + "/" + n, SolidPicture(120 + 10 * i, 90, qRgb(40 * i % 256, 90, 160)), "PNG");
        ++i;
    }
    return dir;
}

std::vector<std::string> Names(const TPicFileList& list) {
    std::vector<std::string> out;
    for (TPicPanel* c : list.Cells()) out.push_back(ExtractFileName(c->FileName()));
    return out;
}

TPoint Pos(const TPicPanel* c) {
    return {c->x(), c->y()};
}

struct TShownList {
    explicit TShownList(TPicFileList* l, int w = 284, int h = 400) : List(l) {
        List->resize(w, h);
        List->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(List));
    }
    ~TShownList() { delete List; }
    TPicFileList* operator->() const { return List; }
    TPicFileList& operator*() const { return *List; }
    bool Loaded() const {
        return WaitFor([&] { return !List->Loading(); });
    }
    TPicFileList* List;
};

void Press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(w, b, {}, p);
}
void MoveHeld(QWidget* w, QPoint p) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A double-click as widgets receive it: press, release, double-click,
// release.
void DoubleClick(QWidget* w, QPoint p) {
    QTest::mouseClick(w, Qt::LeftButton, {}, p);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &dbl);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// Accepts every drag, so that a drop can land on it.
class TDropTarget : public QWidget {
public:
    TDropTarget() { setAcceptDrops(true); }

protected:
    void dragEnterEvent(QDragEnterEvent* e) override { e->acceptProposedAction(); }
    void dropEvent(QDropEvent* e) override { e->acceptProposedAction(); }
};

// Runs drags by dropping them on `target` at `at` (or nowhere when null).
struct TScriptedDrag {
    TScriptedDrag(QWidget* target, QPoint at, std::function<void()> during = {}) {
        TPicPanel::DragRunner = [=, this](QDrag* drag) {
            ++Runs;
            Mime = drag->mimeData()->data(kPictureMimeType).toStdString();
            Urls = drag->mimeData()->urls();
            Source = drag->source();
            if (during) during();
            if (!target) return Qt::IgnoreAction;
            // a drop reaches only a widget that accepted the drag's entry
            QDragEnterEvent enter(at, Qt::CopyAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QDropEvent drop(QPointF(at), Qt::CopyAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &drop);
            return Qt::CopyAction;
        };
    }
    ~TScriptedDrag() { TPicPanel::DragRunner = nullptr; }
    int Runs = 0;
    std::string Mime;
    QList<QUrl> Urls;
    QObject* Source = nullptr;
};

struct TEndDrag {
    int Count = 0;
    std::string File;
    QObject* Sender = nullptr;
    QWidget* Target = nullptr;
    int X = -1, Y = -1;
};

} // namespace

// ---- Scanning ----

TEST(PicFileList, ShowsTheCellsAtOnceThenTheirPictures) {
    const std::string dir = Folder({"b.png", "A.png", "c.png", "d.png", "e.png"});
    WriteBytes(dir + "/notes.txt", "x");
    MakeFolder(dir + "/sub");
    WritePicture(dir + "/sub/inner.png", SolidPicture(5, 5, 0), "PNG");
    TShownList list(CreatePhotoList(nullptr));
    list->SetDirectory(dir);
    // every cell is there before any picture, in name order
    ASSERT_EQ(list->Count(), 5);
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"A.png", "b.png", "c.png", "d.png", "e.png"}));
    EXPECT_TRUE(list->Cell(0)->Loading());
    EXPECT_EQ(list->SelectedPicPanel(), nullptr);
    EXPECT_EQ(list->PicPanel(), list->Cell(4));
    ASSERT_TRUE(list.Loaded());
    for (TPicPanel* c : list->Cells()) {
        EXPECT_TRUE(c->HasPicture());
        EXPECT_FALSE(c->Loading());
        EXPECT_EQ(c->width(), 80);
        EXPECT_EQ(c->height(), 80);
    }
    // 284 pixels: three columns, rows 92 apart
    EXPECT_EQ(Pos(list->Cell(0)), (TPoint{2, 2}));
    EXPECT_EQ(Pos(list->Cell(2)), (TPoint{166, 2}));
    EXPECT_EQ(Pos(list->Cell(3)), (TPoint{2, 94}));
    // captions: the file name, under the picture
    EXPECT_EQ(list->Cell(1)->Caption(), "b.png");
    EXPECT_TRUE(list->Cell(1)->MyLabel->isVisibleTo(list->Cell(1)));
    EXPECT_EQ(list->Cell(1)->MyLabel->y(), 80 - list->Cell(1)->MyLabel->height() - 2);
    EXPECT_EQ(list->Cell(1)->FileName(), dir + "/b.png");
    EXPECT_EQ(list->SelectedPicPanel(), nullptr);
}

TEST(PicFileList, UnreadablePicturesLeaveTheGridAndLaterCellsMoveUp) {
    const std::string dir = Folder({"a.png", "b.png!", "c.png", "d.jpg!", "e.png"});
    TShownList list(CreatePhotoList(nullptr));
    list->SetDirectory(dir);
    EXPECT_EQ(list->Count(), 5);
    ASSERT_TRUE(list.Loaded());
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"a.png", "c.png", "e.png"}));
    EXPECT_EQ(Pos(list->Cell(1)), (TPoint{84, 2}));
    EXPECT_EQ(Pos(list->Cell(2)), (TPoint{166, 2}));
    EXPECT_EQ(list->ScrollBox()->Content()->height(), 2 + 80);
}

TEST(PicFileList, FolderRulesAndNothingBeforeTheFirstFolder) {
    const std::string dir = Folder({"a.png", "b.png"});
    TShownList list(CreatePhotoList(nullptr));
    EXPECT_FALSE(list->SelectByIndex(0));
    EXPECT_FALSE(list->SelectByFileName(dir + "/a.png"));
    list->AddFiles({dir + "/a.png"});
    list->DeleteSelected();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->ScrollBox(), nullptr);

    list->SetDirectory(dir + "/missing");
    EXPECT_EQ(list->Directory(), "");
    list->SetDirectory(dir);
    ASSERT_TRUE(list.Loaded());
    ASSERT_TRUE(list->SelectByIndex(1));
    TPicPanel* selected = list->SelectedPicPanel();
    // the same folder again keeps the grid and its selection
    WritePicture(dir + "/c.png", SolidPicture(9, 9, 0), "PNG");
    list->SetDirectory(dir);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(list->SelectedPicPanel(), selected);
    // a missing folder leaves it as it was
    list->SetDirectory(dir + "/missing");
    EXPECT_EQ(list->Directory(), dir);
    EXPECT_EQ(list->Count(), 2);
    // the same folder written differently counts as another one
    list->SetDirectory(dir + "/");
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(list->SelectedPicPanel(), nullptr);
}

TEST(PicFileList, FiltersOfTheSixLists) {
    const std::string dir = MakeTempDir();
    WritePicture(dir + "/p.png", SolidPicture(10, 10, 0), "PNG");
    WritePicture(dir + "/j.JPG", SolidPicture(10, 10, 0), "JPEG");
    WritePicture(dir + "/m.msk", SolidPicture(10, 10, 0), "JPEG");
    WritePicture(dir + "/f.frm", SolidPicture(10, 10, 0, true), "PNG");
    TShownList photos(CreatePhotoList(nullptr)), masks(CreateMaskList(nullptr)),
        frames(CreateFrameList(nullptr)), textures(CreateTextureList(nullptr));
    for (TShownList* l : {&photos, &masks, &frames, &textures}) (*l)->SetDirectory(dir);
    EXPECT_EQ(Names(*photos), (std::vector<std::string>{"j.JPG", "p.png"}));
    EXPECT_EQ(Names(*masks), (std::vector<std::string>{"m.msk"}));
    EXPECT_EQ(Names(*frames), (std::vector<std::string>{"f.frm"}));
    EXPECT_EQ(Names(*textures), (std::vector<std::string>{"f.frm", "j.JPG", "m.msk", "p.png"}));
    EXPECT_EQ(textures->Cell(0)->width(), 47);
    EXPECT_EQ(Pos(textures->Cell(1)), (TPoint{49, 1}));
    EXPECT_FALSE(masks->Cell(0)->ShowName());
    EXPECT_EQ(masks->Cell(0)->SelectBorderColor, 0xFFFF0000u);
    EXPECT_EQ(textures->Cell(0)->SelectBorderColor, 0xFF000080u);
    EXPECT_EQ(photos->Cell(0)->SelectFont.Color, QColor(Qt::yellow));
    for (TShownList* l : {&photos, &masks, &frames, &textures}) EXPECT_TRUE(l->Loaded());
}

// ---- Pointer ----

TEST(PicFileList, ClickSelectsBeforeOnClickAndMovesTheSelection) {
    TShownList list(CreatePhotoList(nullptr));
    list->SetDirectory(Folder({"a.png", "b.png", "c.png"}));
    ASSERT_TRUE(list.Loaded());
    std::vector<std::pair<QObject*, TPicPanel*>> clicks;
    list->OnClick = [&](QObject* sender) { clicks.push_back({sender, list->SelectedPicPanel()}); };
    TPicPanel* a = list->Cell(0);
    TPicPanel* c = list->Cell(2);
    QTest::mouseClick(a->Image, Qt::LeftButton, {}, QPoint(30, 30));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(static_cast<QObject*>(list.List), a)); // already moved when fired
    EXPECT_TRUE(a->Selected());
    EXPECT_EQ(a->Canvas().Pixel(0, 0), 0xFFFF0000u);
    // a click on the caption selects too, and the old cell lets go
    QTest::mouseClick(c->MyLabel, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1].second, c);
    EXPECT_FALSE(a->Selected());
    EXPECT_EQ(a->Canvas().Pixel(0, 0), 0xFF000000u);
    EXPECT_TRUE(c->Selected());
    // the right button does not click
    QTest::mouseClick(a->Image, Qt::RightButton, {}, QPoint(30, 30));
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(list->SelectedPicPanel(), c);
}

TEST(PicFileList, DoubleClickReportsTheCellAndItsPath) {
    const std::string dir = Folder({"a.png", "b.png"});
    TShownList list(CreateClipartList(nullptr));
    list->SetDirectory(dir);
    ASSERT_TRUE(list.Loaded());
    std::vector<std::string> events;
    QObject* sender = nullptr;
    list->OnClick = [&](QObject*) { events.push_back("click"); };
    list->OnDBLClick = [&](QObject* s, const std::string& f) {
        sender = s;
        events.push_back("dbl " + f);
    };
    std::vector<TShiftState> downs;
    list->OnMouseDown = [&](QObject*, TMouseButton, TShiftState s, int, int) { downs.push_back(s); };
    DoubleClick(list->Cell(1)->Image, QPoint(20, 20));
    EXPECT_EQ(events, (std::vector<std::string>{"click", "dbl " + dir + "/b.png"}));
    // one mouse-down per press; the second one marked as a double-click
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_FALSE(downs[0] & ssDouble);
    EXPECT_TRUE(downs[1] & ssDouble);
    EXPECT_EQ(sender, list->Cell(1));
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(1));
}

TEST(PicFileList, MouseDownStartsADragPastTheThresholdAndEndDragNamesTheTarget) {
    const std::string dir = Folder({"a.png", "b.png"});
    TShownList list(CreatePhotoList(nullptr));
    list->SetDirectory(dir);
    ASSERT_TRUE(list.Loaded());
    TDropTarget target;
    target.resize(200, 200);
    target.show();
    TScriptedDrag drags(&target, QPoint(12, 34));
    QObject* downSender = nullptr;
    TShiftState downShift = 0;
    QPoint downAt;
    list->OnMouseDown = [&](QObject* s, TMouseButton b, TShiftState shift, int x, int y) {
        downSender = s;
        downShift = shift;
        downAt = {x, y};
        if (b == TMouseButton::Left) PicPanelOf(s)->BeginDrag(s);
    };
    TEndDrag end;
    list->OnEndDrag = [&](const std::string& f, QObject* s, QWidget* t, int x, int y) {
        end = {end.Count + 1, f, s, t, x, y};
    };
    int clicks = 0;
    list->OnClick = [&](QObject*) { ++clicks; };

    TPicPanel* b = list->Cell(1);
    Press(b->Image, QPoint(20, 25));
    EXPECT_EQ(downSender, b->Image);
    EXPECT_EQ(downAt, QPoint(20, 25));
    EXPECT_TRUE(downShift & ssLeft);
    MoveHeld(b->Image, QPoint(21, 25)); // not yet past the drag distance
    EXPECT_EQ(drags.Runs, 0);
    MoveHeld(b->Image, QPoint(20 + QApplication::startDragDistance(), 25));
    ASSERT_EQ(drags.Runs, 1);
    EXPECT_EQ(drags.Mime, dir + "/b.png");
    ASSERT_EQ(drags.Urls.size(), 1);
    EXPECT_EQ(drags.Urls[0].toLocalFile().toStdString(), dir + "/b.png");
    EXPECT_EQ(drags.Source, b->Image); // the control the host asked
    EXPECT_EQ(end.Count, 1);
    EXPECT_EQ(end.File, dir + "/b.png");
    EXPECT_EQ(end.Sender, b);
    EXPECT_EQ(end.Target, &target);
    EXPECT_EQ(end.X, 12);
    EXPECT_EQ(end.Y, 34);
    QTest::mouseRelease(b->Image, Qt::LeftButton, {}, QPoint(20, 25));
    EXPECT_EQ(clicks, 0); // a drag is no click

    // a press released before the threshold is a click, not a drag
    QTest::mouseClick(b->Image, Qt::LeftButton, {}, QPoint(20, 25));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(drags.Runs, 1);
}

TEST(PicFileList, ADragDroppedNowhereEndsWithoutTarget) {
    TShownList list(CreateMaskList(nullptr));
    list->SetDirectory(Folder({"a.msk"}));
    ASSERT_TRUE(list.Loaded());
    TScriptedDrag drags(nullptr, {});
    TEndDrag end;
    list->OnEndDrag = [&](const std::string& f, QObject* s, QWidget* t, int x, int y) {
        end = {end.Count + 1, f, s, t, x, y};
    };
    list->Cell(0)->BeginDrag(list->Cell(0)->MyLabel, true);
    EXPECT_EQ(drags.Runs, 1);
    EXPECT_EQ(drags.Source, list->Cell(0)->MyLabel);
    EXPECT_EQ(end.Count, 1);
    EXPECT_EQ(end.Target, nullptr);
}

TEST(PicFileList, CellsChangedDuringADragOutliveIt) {
    // the dragged cell turns out unreadable while the drag runs
    const std::string dir = Folder({"a.png!", "b.png", "c.png!"});
    TShownList list(CreatePhotoList(nullptr));
    list->SetDirectory(dir);
    QPointer<TPicPanel> dragged = list->Cell(0);
    TDropTarget target;
    target.show();
    TScriptedDrag drags(&target, QPoint(1, 2),
                        [&] { EXPECT_TRUE(WaitFor([&] { return !list->Loading(); })); });
    TEndDrag end;
    list->OnEndDrag = [&](const std::string& f, QObject* s, QWidget* t, int x, int y) {
        EXPECT_TRUE(dragged); // still alive while its end is reported
        end = {end.Count + 1, f, s, t, x, y};
    };
    dragged->BeginDrag(dragged->Image, true);
    EXPECT_EQ(end.Count, 1);
    EXPECT_EQ(end.File, dir + "/a.png");
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"b.png"}));
    EXPECT_EQ(Pos(list->Cell(0)), (TPoint{2, 2}));
    EXPECT_TRUE(WaitFor([&] { return dragged.isNull(); })); // destroyed afterwards
}

TEST(PicFileList, HoverFrameFollowsThePointer) {
    TShownList list(CreatePhotoList(nullptr));
    list->SetDirectory(Folder({"a.png", "b.png"}));
    ASSERT_TRUE(list.Loaded());
    std::vector<std::pair<std::string, QObject*>> seen;
    list->OnMouseEnter = [&](QObject* s) { seen.push_back({"enter", s}); };
    list->OnMouseLeave = [&](QObject* s) { seen.push_back({"leave", s}); };
    TPicPanel* a = list->Cell(0);
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(a->Image, &enter);
    EXPECT_EQ(a->Canvas().Pixel(0, 0), 0xFF00FF00u);
    QApplication::sendEvent(a->Image, &leave);
    EXPECT_EQ(a->Canvas().Pixel(0, 0), 0xFF000000u);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(std::string("enter"), static_cast<QObject*>(a->Image)));
    EXPECT_EQ(seen[1], std::make_pair(std::string("leave"), static_cast<QObject*>(a->Image)));
    // a selected cell keeps its selection frame under the pointer
    list->SelectByIndex(0);
    QApplication::sendEvent(a->MyLabel, &enter);
    EXPECT_EQ(a->Canvas().Pixel(0, 0), 0xFFFF0000u);
    QApplication::sendEvent(a->MyLabel, &leave);
    EXPECT_EQ(a->Canvas().Pixel(0, 0), 0xFFFF0000u);
}

// ---- Operations ----

TEST(PicFileList, DeleteSelectedMovesLaterCellsBackAndPassesTheSelection) {
    TShownList list(CreateClipartList(nullptr));
    list->SetDirectory(Folder({"a.png", "b.png", "c.png", "d.png", "e.png"}));
    ASSERT_TRUE(list.Loaded());
    int clicks = 0;
    list->OnClick = [&](QObject*) { ++clicks; };
    list->DeleteSelected(); // nothing selected: nothing happens
    EXPECT_EQ(list->Count(), 5);

    list->SelectByIndex(1); // a middle cell
    list->DeleteSelected();
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"a.png", "c.png", "d.png", "e.png"}));
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(1)); // c took b's place
    EXPECT_TRUE(list->Cell(1)->Selected());
    EXPECT_EQ(Pos(list->Cell(1)), (TPoint{84, 2}));
    EXPECT_EQ(Pos(list->Cell(3)), (TPoint{2, 94}));

    list->SelectByIndex(3); // the last: the one before it is selected
    list->DeleteSelected();
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"a.png", "c.png", "d.png"}));
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(2));
    EXPECT_EQ(list->PicPanel(), list->Cell(2));
    EXPECT_EQ(list->ScrollBox()->Content()->height(), 82);

    list->DeleteSelected();
    list->DeleteSelected();
    list->DeleteSelected(); // the only cell: no selection remains
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->SelectedPicPanel(), nullptr);
    EXPECT_EQ(list->PicPanel(), nullptr);
    EXPECT_EQ(clicks, 0);
}

TEST(PicFileList, AddFilesLinesUpAfterTheLastCell) {
    const std::string dir = Folder({"a.png", "b.png", "c.png", "d.png"});
    const std::string more = Folder({"x.png", "bad.png!"});
    TShownList list(CreateClipartList(nullptr));
    list->SetDirectory(dir);
    ASSERT_TRUE(list.Loaded());
    list->SelectByIndex(0);
    list->AddFiles({more + "/x.png", more + "/missing.png", more + "/bad.png"});
    EXPECT_EQ(list->Count(), 6); // the missing path is skipped
    ASSERT_TRUE(list.Loaded());
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"a.png", "b.png", "c.png", "d.png", "x.png"}));
    TPicPanel* x = list->Cell(4);
    EXPECT_EQ(Pos(x), (TPoint{84, 94}));
    EXPECT_FALSE(x->Selected());
    EXPECT_TRUE(x->HasPicture());
    EXPECT_EQ(x->BorderColor, list->Cell(0)->BorderColor);
    EXPECT_EQ(x->Color(), list->Cell(0)->Color());
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(0));
    list->AddFiles({}); // nothing
    EXPECT_EQ(list->Count(), 5);
}

TEST(PicFileList, SelectByIndexAndFileNameScrollTheCellToTheTop) {
    std::vector<std::string> names;
    for (int i = 0; i < 30; ++i) names.push_back("p" + std::to_string(100 + i) + ".png");
    const std::string dir = Folder(names);
    TShownList list(CreateTextureList(nullptr), 263, 120);
    list->SetDirectory(dir);
    int clicks = 0;
    list->OnClick = [&](QObject*) { ++clicks; };
    ASSERT_TRUE(list->SelectByIndex(0)); // works while pictures are on their way
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(0));
    ASSERT_TRUE(list.Loaded());
    EXPECT_FALSE(list->SelectByIndex(30));
    EXPECT_FALSE(list->SelectByIndex(-1));
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(0));

    ASSERT_TRUE(list->SelectByIndex(12)); // row 2 of five columns
    EXPECT_FALSE(list->Cell(0)->Selected());
    EXPECT_EQ(list->ScrollBox()->verticalScrollBar()->value(), 2 * 58 + 1);
    // doubled separators do not matter
    ASSERT_TRUE(list->SelectByFileName(dir + "//p105.png"));
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(5));
    EXPECT_FALSE(list->Cell(12)->Selected());
    EXPECT_EQ(list->ScrollBox()->verticalScrollBar()->value(), 58 + 1);
    ASSERT_TRUE(list->SelectByFileName(dir + "/" + "/p129.png"));
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(29));
    EXPECT_FALSE(list->SelectByFileName(dir + "/P105.png")); // otherwise exact
    EXPECT_FALSE(list->SelectByFileName(dir + "/missing.png"));
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(29));
    EXPECT_EQ(clicks, 0);
}

TEST(PicFileList, ASelectedCellThatTurnsOutUnreadablePassesItsSelectionOn) {
    TShownList list(CreateTextureList(nullptr));
    list->SetDirectory(Folder({"a.png!", "b.png!", "c.png", "d.png"}));
    ASSERT_TRUE(list->SelectByIndex(0)); // a placeholder that will fail
    ASSERT_TRUE(list.Loaded());
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"c.png", "d.png"}));
    EXPECT_EQ(list->SelectedPicPanel(), list->Cell(0)); // as if a, b had never been there
    EXPECT_TRUE(list->Cell(0)->Selected());
}

TEST(PicFileList, WheelMovesTenPixelsAndResizeReplacesTheCells) {
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) names.push_back("p" + std::to_string(10 + i) + ".png");
    TShownList list(CreateClipartList(nullptr), 284, 150);
    list->SetDirectory(Folder(names));
    ASSERT_TRUE(list.Loaded());
    QScrollBar* bar = list->ScrollBox()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 30);
    QWidget* viewport = list->ScrollBox()->viewport();
    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(40, 40), viewport->mapToGlobal(QPointF(40, 40)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &e);
    };
    wheel(-120);
    EXPECT_EQ(bar->value(), 10);
    wheel(-120);
    wheel(-360); // one message, one step, however far it turned
    EXPECT_EQ(bar->value(), 30);
    wheel(120);
    EXPECT_EQ(bar->value(), 20);
    wheel(0); // a sideways wheel is not ours
    EXPECT_EQ(bar->value(), 20);
    EXPECT_FALSE(list->ScrollBox()->ScrollOnFocus);

    list->resize(200, 150); // (200 + 40) div 82 = 2 columns
    EXPECT_EQ(Pos(list->Cell(2)), (TPoint{2, 94}));
    EXPECT_EQ(Pos(list->Cell(11)), (TPoint{84, 2 + 5 * 92}));
    list->resize(10, 150);
    EXPECT_EQ(Pos(list->Cell(1)), (TPoint{2, 94}));
}

// ---- Background loading ----

TEST(PicFileList, AnotherFolderWhileLoadingDropsTheLateResults) {
    std::vector<std::string> many;
    for (int i = 0; i < 120; ++i) many.push_back("big" + std::to_string(1000 + i) + ".jpg");
    const std::string big = MakeTempDir();
    const QImage picture = SolidPicture(1600, 1200, qRgb(10, 120, 200));
    for (const std::string& n : many) WritePicture(big + "/" + n, picture, "JPEG");
    const std::string small = Folder({"x.png", "y.png!", "z.png"});

    TShownList list(CreatePhotoList(nullptr));
    list->SetDirectory(big);
    EXPECT_EQ(list->Count(), 120);
    EXPECT_TRUE(WaitFor([&] { return list->Cell(0)->HasPicture(); }));
    EXPECT_TRUE(list->Loading()); // far from done
    list->SetDirectory(small);
    EXPECT_EQ(list->Count(), 3);
    ASSERT_TRUE(list.Loaded());
    TThumbnailLoader::Pool()->waitForDone(); // whatever of the old folder still ran
    QTest::qWait(20);
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"x.png", "z.png"}));
    for (TPicPanel* c : list->Cells()) EXPECT_TRUE(c->HasPicture());

    // and back: a full rescan of the big folder, then the list goes away
    // with its work unfinished
    list->SetDirectory(big);
    EXPECT_TRUE(WaitFor([&] { return list->Cell(0)->HasPicture(); }));
    delete list.List;
    list.List = nullptr;
    TThumbnailLoader::Pool()->waitForDone();
    QTest::qWait(20);
}

// ---- A cell on its own ----

TEST(PicPanel, AssignBitmapFitsCentresAndKeepsTheSelection) {
    TPicPanel cell;
    cell.resize(80, 80);
    cell.BKColor = 0xFF000000;
    cell.SelectBorderColor = 0xFFFF0000;
    cell.SetColor(0xFF000000);
    EXPECT_EQ(cell.PicRect, (TRect{0, 0, 100, 100}));
    cell.SetSelected(true);
    TBitmap32 bmp(160, 40);
    bmp.Clear(0x00336699); // alpha ignored
    cell.AssignBitmap(bmp);
    EXPECT_EQ(cell.PicRect, (TRect{3, 31, 77, 49}));
    EXPECT_EQ(cell.Canvas().Pixel(40, 40), 0xFF336699u);
    EXPECT_EQ(cell.Canvas().Pixel(40, 30), 0xFF000000u);
    EXPECT_EQ(cell.Canvas().Pixel(0, 0), 0xFFFF0000u); // selection drawn again

    const std::string dir = Folder({"ok.png", "bad.png!"});
    EXPECT_FALSE(cell.LoadFromFile(dir + "/missing.png"));
    EXPECT_EQ(cell.FileName(), ""); // nothing happened
    EXPECT_FALSE(cell.LoadFromFile(dir + "/bad.png"));
    EXPECT_TRUE(cell.LoadFromFile(dir + "/ok.png"));
    EXPECT_EQ(cell.FileName(), dir + "/ok.png");
    EXPECT_EQ(cell.Text(), dir + "/ok.png");
    EXPECT_EQ(cell.Caption(), "ok.png");
    cell.IncludeExt = false;
    cell.SetText(dir + "/other.name.png");
    EXPECT_EQ(cell.Caption(), "other.name");
    EXPECT_TRUE(cell.HasPicture());
    EXPECT_EQ(cell.PictureRect(), ThumbnailRect(120, 90, 80, 80));
}

// A name wider than its cell is shown shortened in the middle, centred and
// inside the cell, while the cell keeps the whole caption (and shows it as a
// tooltip); a name that fits is shown as it is.
TEST(PicPanel, LongCaptionsAreShortenedInsideTheCell) {
    TPicPanel cell;
    cell.resize(70, 90);
    cell.SetShowName(true);
    cell.SetText("/photos/a_very_long_holiday_photo_name.jpg");
    EXPECT_EQ(cell.Caption(), "a_very_long_holiday_photo_name.jpg");
    const QString shown = cell.MyLabel->text();
    EXPECT_NE(shown.toStdString(), cell.Caption());
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_TRUE(shown.endsWith("jpg")) << shown.toStdString();
    EXPECT_GE(cell.MyLabel->x(), 0);
    EXPECT_LE(cell.MyLabel->x() + cell.MyLabel->width(), 70);
    EXPECT_EQ(cell.toolTip().toStdString(), cell.Caption());

    // widening the cell shows the whole name again (a hidden widget gets its
    // resize when shown)
    cell.resize(400, 90);
    cell.show();
    EXPECT_EQ(cell.MyLabel->text().toStdString(), cell.Caption());
    EXPECT_TRUE(cell.toolTip().isEmpty());
    EXPECT_EQ(cell.MyLabel->x(), (400 - cell.MyLabel->width()) / 2);

    cell.SetText("/photos/sky.jpg");
    EXPECT_EQ(cell.MyLabel->text().toStdString(), "sky.jpg");
}
