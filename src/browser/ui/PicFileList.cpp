#include "browser/ui/PicFileList.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "browser/ThumbnailLoader.h"
#include "platform/Paths.h"

namespace {
TColor32 ToColor32(const QColor& c) {
    return 0xFF000000u | (c.rgb() & 0xFFFFFF);
}
QColor ToQColor(TColor32 c) {
    return QColor::fromRgb(c & 0xFFFFFF);
}
} // namespace

// ---- TMyScrollBox ----

TMyScrollBox::TMyScrollBox(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setTracking(true); // the content follows the thumb while dragged
    setWidgetResizable(false);
    auto* content = new QWidget;
    content->resize(0, 0);
    setWidget(content);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (ScrollOnFocus && now && widget() && widget()->isAncestorOf(now)) ensureWidgetVisible(now);
    });
}

void TMyScrollBox::wheelEvent(QWheelEvent* event) {
    const int dy = event->angleDelta().y();
    if (dy == 0) { // a sideways wheel: not ours
        event->ignore();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (dy < 0 ? WheelStep : -WheelStep));
    event->accept();
}

void TMyScrollBox::enterEvent(QEnterEvent* event) {
    QScrollArea::enterEvent(event);
    if (OnMouseEnter) OnMouseEnter(this);
}

void TMyScrollBox::leaveEvent(QEvent* event) {
    QScrollArea::leaveEvent(event);
    if (OnMouseLeave) OnMouseLeave(this);
}

bool TMyScrollBox::focusNextPrevChild(bool next) {
    // QScrollArea scrolls the newly focused child into view; only do that
    // when asked to
    return ScrollOnFocus ? QScrollArea::focusNextPrevChild(next) : QWidget::focusNextPrevChild(next);
}

// ---- TPicFileList: construction ----

TPicFileList::TPicFileList(QWidget* parent) : QWidget(parent) {
    SelectFont.Font = QFont();
    SelectFont.Color = palette().color(QPalette::WindowText);
    Font.Font = font();
    Font.Color = palette().color(QPalette::WindowText);
    FLoader = new TThumbnailLoader(this);
    FLoader->OnLoaded = [this](uint64_t ticket, bool ok, TBitmap32& picture) {
        ThumbnailArrived(ticket, ok, picture);
    };
    connect(FLoader, &TThumbnailLoader::Finished, this, &TPicFileList::ThumbnailsFinished);
    FFlushTimer = new QTimer(this);
    FFlushTimer->setSingleShot(true);
    FFlushTimer->setInterval(30);
    connect(FFlushTimer, &QTimer::timeout, this, [this] { FlushGraveyard(); });
}

TPicFileList::~TPicFileList() {
    FLoader->OnLoaded = nullptr;
}

TColor32 TPicFileList::EffectiveColor() const {
    if (!ParentColor) return Color | 0xFF000000u;
    const QWidget* from = parentWidget() ? parentWidget() : this;
    return ToColor32(from->palette().color(QPalette::Window));
}

TPicPanel* TPicFileList::Cell(int index) const {
    return index >= 0 && index < Count() ? FCells[size_t(index)] : nullptr;
}

int TPicFileList::PendingThumbnails() const {
    return FLoader->Pending();
}

// ---- Directory and rescan ----

void TPicFileList::SetDirectory(const std::string& folder) {
    if (!DirectoryExists(folder) || folder == FDirectory) return;
    FDirectory = folder;
    Rescan();
}

void TPicFileList::Rescan() {
    // everything still on its way belongs to the old folder
    FLoader->Abandon();
    FTickets.clear();
    FTicketOf.clear();
    FSelected = nullptr;
    FHoverCell = nullptr;
    FCells.clear();
    NewScrollBox();
    const std::vector<std::string> names = ScanPictureFiles(FDirectory, Filter());
    FCells.reserve(names.size());
    for (const std::string& name : names) StartLoad(CreateCell(Count()), JoinPath(FDirectory, name));
    UpdateContentSize();
}

void TPicFileList::NewScrollBox() {
    if (FScrollBox) Discard(FScrollBox);
    FScrollBox = new TMyScrollBox(this);
    FScrollBox->setObjectName("ScrollBox");
    FScrollBox->setGeometry(rect());
    // the grid's colour behind the cells; the scroll bars keep the style's
    for (QWidget* w : {FScrollBox->viewport(), FScrollBox->Content()}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, ToQColor(EffectiveColor()));
        w->setPalette(pal);
        w->setBackgroundRole(QPalette::Window);
        w->setAutoFillBackground(true);
    }
    FScrollBox->OnMouseEnter = [this](QObject* s) {
        if (OnMouseEnter) OnMouseEnter(s);
    };
    FScrollBox->OnMouseLeave = [this](QObject* s) {
        if (OnMouseLeave) OnMouseLeave(s);
    };
    FScrollBox->show();
}

TPicPanel* TPicFileList::CreateCell(int k) {
    auto* cell = new TPicPanel(FScrollBox->Content());
    cell->resize(BoxPanelWidth, BoxPanelHeight);
    cell->IncludeExt = IncludeExt;
    cell->BorderColor = BorderColor;
    cell->SelectBorderColor = SelectBorderColor;
    cell->BKColor = BKColor;
    cell->SelectFont = SelectFont;
    cell->MouseOverColor = MouseOverColor;
    cell->SetCaptionFont(Font);
    cell->SetColor(EffectiveColor());
    cell->SetShowName(ShowName);
    const TPoint p = CellPosition(k, GridColumns(FScrollBox->width(), Metrics()), Metrics());
    cell->move(p.X, p.Y);

    cell->OnClick = [this, cell](QObject*) { CellClick(cell); };
    cell->OnDBLClick = [this](QObject* sender, const std::string& file) {
        if (OnDBLClick) OnDBLClick(sender, file);
    };
    cell->OnMouseDown = [this](QObject* sender, TMouseButton b, TShiftState s, int x, int y) {
        if (OnMouseDown) OnMouseDown(sender, b, s, x, y);
    };
    cell->OnEndDrag = [this](const std::string& file, QObject* sender, QWidget* target, int x, int y) {
        if (OnEndDrag) OnEndDrag(file, sender, target, x, y);
    };
    cell->OnDragOver = [this](const std::string& file, QObject* sender, QObject* source, int x, int y,
                              TDragOverState state, bool& accept) {
        if (!OnDragOver) {
            accept = false;
            return;
        }
        OnDragOver(file, sender, source, x, y, state, accept);
    };
    cell->OnDragDrop = [this](const std::string& file, QObject* sender, QObject* source, int x, int y) {
        if (OnDragDrop) OnDragDrop(file, sender, source, x, y);
    };
    cell->OnMouseEnter = [this](QObject* sender) { ChildEntered(sender); };
    cell->OnMouseLeave = [this](QObject* sender) { ChildLeft(sender); };
    cell->show();
    FCells.push_back(cell);
    return cell;
}

void TPicFileList::StartLoad(TPicPanel* cell, const std::string& path) {
    const QSize area = cell->BeginLoad(path);
    const uint64_t ticket = FLoader->Request(path, area.width(), area.height());
    FTickets[ticket] = cell;
    FTicketOf[cell] = ticket;
}

void TPicFileList::ThumbnailArrived(uint64_t ticket, bool ok, TBitmap32& picture) {
    auto it = FTickets.find(ticket);
    if (it == FTickets.end()) return;
    QPointer<TPicPanel> cell = it->second;
    FTickets.erase(it);
    if (!cell) return;
    FTicketOf.erase(cell.data());
    if (ok)
        cell->SetThumbnail(std::move(picture));
    else
        RemoveCell(cell); // never had a place: the cells after it move up
}

// ---- Placement ----

void TPicFileList::PlaceCells(int from) {
    if (!FScrollBox) return;
    const TGridMetrics m = Metrics();
    const int columns = GridColumns(FScrollBox->width(), m);
    for (int i = std::max(0, from); i < Count(); ++i) {
        const TPoint p = CellPosition(i, columns, m);
        FCells[size_t(i)]->move(p.X, p.Y);
    }
    UpdateContentSize();
}

void TPicFileList::UpdateContentSize() {
    if (!FScrollBox) return;
    int w = 0, h = 0;
    for (TPicPanel* c : FCells) {
        w = std::max(w, c->x() + c->width());
        h = std::max(h, c->y() + c->height());
    }
    FScrollBox->Content()->resize(w, h);
}

void TPicFileList::paintEvent(QPaintEvent*) {
    // the grid's colour shows before the first folder (the scroll area
    // covers the list afterwards); a parent-coloured grid leaves it as it is
    if (ParentColor) return;
    QPainter p(this);
    p.fillRect(rect(), ToQColor(EffectiveColor()));
}

void TPicFileList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!FScrollBox) return;
    FScrollBox->setGeometry(rect());
    PlaceCells(0);
}

// ---- Removing cells ----

void TPicFileList::RemoveCell(TPicPanel* cell) {
    auto it = std::find(FCells.begin(), FCells.end(), cell);
    if (it == FCells.end()) return;
    const int index = int(it - FCells.begin());
    FCells.erase(it);
    auto t = FTicketOf.find(cell);
    if (t != FTicketOf.end()) {
        FLoader->Cancel(t->second);
        FTickets.erase(t->second);
        FTicketOf.erase(t);
    }
    if (FHoverCell == cell) FHoverCell = nullptr;
    PlaceCells(index);
    if (FSelected == cell) {
        // the cell now in its place, or the one before it when it was last
        TPicPanel* next = index < Count() ? FCells[size_t(index)]
                          : index > 0     ? FCells[size_t(index - 1)]
                                          : nullptr;
        FSelected = next;
        if (next) next->SetSelected(true);
    }
    Discard(cell);
}

void TPicFileList::DeleteSelected() {
    if (!FScrollBox || !FSelected) return;
    RemoveCell(FSelected);
}

void TPicFileList::Discard(QWidget* widget) {
    widget->hide();
    // A cell may be the source of the running drag, or the widget whose
    // event handler is running right now: destroy it only once neither is
    // the case.
    FGraveyard.push_back(widget);
    if (TPicPanel::Busy())
        FFlushTimer->start();
    else
        FlushGraveyard();
}

void TPicFileList::FlushGraveyard() {
    if (TPicPanel::Busy()) {
        FFlushTimer->start();
        return;
    }
    for (QPointer<QWidget>& w : FGraveyard)
        if (w) w->deleteLater();
    FGraveyard.clear();
}

// ---- Adding cells ----

void TPicFileList::AddFiles(const std::vector<std::string>& paths) {
    if (!FScrollBox || paths.empty()) return;
    for (const std::string& path : paths)
        if (FileExists(path)) StartLoad(CreateCell(Count()), path);
    UpdateContentSize();
}

// ---- Selection ----

void TPicFileList::CellClick(TPicPanel* cell) {
    if (!cell->Selected()) cell->SetSelected(true);
    if (FSelected && FSelected != cell) FSelected->SetSelected(false);
    FSelected = cell;
    if (FScrollBox) FScrollBox->setFocus(Qt::MouseFocusReason);
    if (OnClick) OnClick(this);
}

void TPicFileList::Select(TPicPanel* cell) {
    if (FSelected && FSelected != cell) FSelected->SetSelected(false);
    cell->SetSelected(true);
    FSelected = cell;
    // the found cell goes to the top of the view
    FScrollBox->verticalScrollBar()->setValue(cell->y());
}

bool TPicFileList::SelectByIndex(int index) {
    if (!FScrollBox || index < 0 || index >= Count()) return false;
    Select(FCells[size_t(index)]);
    return true;
}

bool TPicFileList::SelectByFileName(const std::string& path) {
    if (!FScrollBox) return false;
    for (TPicPanel* c : FCells) {
        if (SamePicturePath(c->FileName(), path)) {
            Select(c);
            return true;
        }
    }
    return false;
}

// ---- Pointer over the cells ----

void TPicFileList::ChildEntered(QObject* sender) {
    FHoverCell = PicPanelOf(sender);
    if (OnMouseEnter) OnMouseEnter(sender);
}

void TPicFileList::ChildLeft(QObject* sender) {
    if (FHoverCell == PicPanelOf(sender)) FHoverCell = nullptr;
    if (OnMouseLeave) OnMouseLeave(sender);
    // Moving from a cell onto the grid's background: the grid is entered
    // again, as on a platform where every control has its own enter/leave.
    QTimer::singleShot(0, this, [this, box = QPointer<TMyScrollBox>(FScrollBox)] {
        if (box && box == FScrollBox && !FHoverCell && box->underMouse() && box->OnMouseEnter)
            box->OnMouseEnter(box.data());
    });
}
