#include "browser/ui/PicPanel.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "browser/PicGrid.h"
#include "browser/Thumbnail.h"
#include "platform/Paths.h"
#include "platform/ui/QtPointer.h"

std::function<Qt::DropAction(QDrag*)> TPicPanel::DragRunner;

namespace {

int gDragDepth = 0;
int gHandlerDepth = 0;

// Marks the time spent in host code called from a cell's event.
struct TInHandler {
    TInHandler() { ++gHandlerDepth; }
    ~TInHandler() { --gHandlerDepth; }
    TInHandler(const TInHandler&) = delete;
    TInHandler& operator=(const TInHandler&) = delete;
};

TColor32 ToColor32(const QColor& c) {
    return 0xFF000000u | (c.rgb() & 0xFFFFFF);
}

// The picture control: shows the cell's canvas, nothing else.
class TPicImage : public QWidget {
public:
    TPicImage(TPicPanel* owner) : QWidget(owner), FOwner(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAcceptDrops(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        TBitmap32& c = FOwner->Canvas();
        if (c.Empty()) return;
        const QImage img(reinterpret_cast<const uchar*>(c.Bits()), c.Width(), c.Height(), c.Width() * 4,
                         QImage::Format_RGB32);
        QPainter p(this);
        p.drawImage(0, 0, img);
    }

private:
    TPicPanel* FOwner;
};

// Notes the widget our drag was dropped on and where, in its coordinates.
// Installed on the application for the length of one drag: a drop inside
// the program reaches exactly one widget, the one that accepted the drag.
class TDropRecorder : public QObject {
public:
    explicit TDropRecorder(const QMimeData* mime) : FMime(mime) {}
    QPointer<QWidget> Target;
    QPoint Pos;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Drop && !Target) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->mimeData() == FMime) {
                if (auto* w = qobject_cast<QWidget*>(watched)) {
                    Target = w;
                    Pos = drop->position().toPoint();
                }
            }
        }
        return false;
    }

private:
    const QMimeData* FMime;
};

} // namespace

// ---- Construction ----

TPicPanel::TPicPanel(QWidget* parent) : QWidget(parent) {
    FColor =
        ToColor32(parent ? parent->palette().color(QPalette::Window) : palette().color(QPalette::Window));
    FCaptionFont.Font = font();
    FCaptionFont.Color = palette().color(QPalette::WindowText);
    SelectFont.Font = QFont();
    SelectFont.Color = palette().color(QPalette::WindowText);

    Image = new TPicImage(this);
    Image->setObjectName("Image");
    MyLabel = new QLabel(this);
    MyLabel->setObjectName("MyLabel");
    MyLabel->setTextFormat(Qt::PlainText);
    MyLabel->setAutoFillBackground(false);
    MyLabel->setAttribute(Qt::WA_TranslucentBackground);
    MyLabel->setContentsMargins(0, 0, 0, 0);
    MyLabel->setAcceptDrops(true);
    MyLabel->hide();
    Image->installEventFilter(this);
    MyLabel->installEventFilter(this);
    resize(80, 80);
    UpdateLabel();
}

TPicPanel::~TPicPanel() = default;

TPicPanel* PicPanelOf(QObject* sender) {
    for (QObject* o = sender; o; o = o->parent())
        if (auto* p = qobject_cast<TPicPanel*>(o)) return p;
    return nullptr;
}

// ---- Properties ----

void TPicPanel::SetText(const std::string& value) {
    if (value == FText) return;
    FText = value;
    FCaption = QString::fromStdString(CaptionText(value, IncludeExt));
    UpdateLabel();
    PlaceLabel();
}

std::string TPicPanel::Caption() const {
    return FCaption.toStdString();
}

void TPicPanel::SetCaption(const std::string& caption, const std::string& fileName) {
    FText = caption;
    FFileName = fileName;
    FCaption = QString::fromStdString(caption).replace("\r\n", "\n").replace('\r', '\n');
    UpdateLabel();
    PlaceLabel();
    Render();
}

void TPicPanel::SetSelected(bool value) {
    if (value == FSelected) return;
    FSelected = value;
    UpdateLabel();
    Render();
}

void TPicPanel::SetShowName(bool value) {
    FShowName = value;
    MyLabel->setVisible(value);
    UpdateLabel();
    Render();
}

void TPicPanel::SetColor(TColor32 color) {
    FColor = color | 0xFF000000u;
    Render();
}

void TPicPanel::SetCaptionFont(const TFontSpec& font) {
    FCaptionFont = font;
    setFont(font.Font);
    UpdateLabel();
    Render();
}

int TPicPanel::PictureHeight() const {
    // measured in the caption's own font: a selection font of another size
    // must not move the picture
    return FShowName ? height() - int(FCaption.count('\n') + 1) * QFontMetrics(FCaptionFont.Font).height()
                     : height();
}

TFontSpec TPicPanel::ActiveLabelFont() const {
    return FSelected && FShowName ? SelectFont : FCaptionFont;
}

void TPicPanel::UpdateLabel() {
    const TFontSpec f = ActiveLabelFont();
    MyLabel->setFont(f.Font);
    QPalette pal = MyLabel->palette();
    pal.setColor(QPalette::WindowText, f.Color);
    MyLabel->setPalette(pal);
    // auto-size: exactly the text's extent in its font. A name wider than
    // the cell is shortened in the middle (keeping its extension) instead of
    // being cut off at both sides; the whole name is then the tooltip.
    const QFontMetrics fm(f.Font);
    QStringList lines = FCaption.split('\n');
    for (QString& line : lines)
        if (width() > 8 && fm.horizontalAdvance(line) > width() - 2)
            line = fm.elidedText(line, Qt::ElideMiddle, width() - 2);
    const QString shown = lines.join('\n');
    MyLabel->setText(shown);
    MyLabel->setAlignment(Qt::AlignHCenter);
    setToolTip(shown == FCaption ? QString() : FCaption);
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, fm.horizontalAdvance(line));
    MyLabel->resize(widest, fm.height() * int(lines.size()));
}

void TPicPanel::PlaceLabel() {
    MyLabel->move((width() - MyLabel->width()) / 2, height() - MyLabel->height() - 2);
}

void TPicPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Image->setGeometry(rect());
    UpdateLabel();
    PlaceLabel();
    Render();
}

// ---- Painting ----

void TPicPanel::Render() {
    TPicCellLook look;
    look.Width = width();
    look.Height = height();
    look.PictureHeight = PictureHeight();
    look.Color = FColor;
    look.BKColor = BKColor;
    look.BorderColor = BorderColor;
    look.SelectBorderColor = SelectBorderColor;
    look.MouseOverColor = MouseOverColor;
    look.Selected = FSelected;
    look.Hovered = FHover;
    look.ShowName = FShowName;
    const QRect lr = MyLabel->geometry();
    look.LabelRect = {lr.left(), lr.top(), lr.left() + lr.width(), lr.top() + lr.height()};
    look.Placeholder = FLoading;
    PaintPicCell(FCanvas, look, FPicture.Empty() ? nullptr : &FPicture, FPictureDest);
    Image->update();
}

QSize TPicPanel::BeginLoad(const std::string& path) {
    SetText(path);
    FFileName = path;
    FPicture.SetSize(0, 0);
    FPictureDest = {};
    FLoading = true;
    Render();
    return {width() - 6, PictureHeight() - 6};
}

void TPicPanel::SetThumbnail(TBitmap32&& thumbnail) {
    FLoading = false;
    FPicture = std::move(thumbnail);
    FPicture.DrawMode = TDrawMode::Blend;
    const int w = FPicture.Width(), h = FPicture.Height();
    const int left = (width() - w) / 2, top = (PictureHeight() - h) / 2;
    FPictureDest = {left, top, left + w, top + h};
    Render();
}

bool TPicPanel::LoadFromFile(const std::string& path) {
    if (!FileExists(path)) return false;
    const QSize area = BeginLoad(path);
    TBitmap32 thumb;
    if (!LoadThumbnail(path, area.width(), area.height(), thumb)) {
        FLoading = false;
        Render();
        return false;
    }
    SetThumbnail(std::move(thumb));
    return true;
}

void TPicPanel::AssignBitmap(const TBitmap32& bitmap) {
    FLoading = false;
    PicRect = ThumbnailRect(bitmap.Width(), bitmap.Height(), width(), PictureHeight());
    FPicture.Assign(bitmap);
    FPicture.DrawMode = TDrawMode::Opaque; // alpha ignored
    FPicture.Resampler = TResamplerKind::Linear;
    FPictureDest = bitmap.Empty() ? TRect{} : PicRect;
    Render();
}

void TPicPanel::AssignBitmap(const QImage& bitmap) {
    TBitmap32 b;
    b.FromImage(bitmap);
    AssignBitmap(b);
}

// ---- Pointer and drag events of the children ----

bool TPicPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Image && watched != MyLabel) return QWidget::eventFilter(watched, event);
    TInHandler inHandler;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        FPressChild = watched;
        FPressPos = e->position().toPoint();
        FClickArmed = e->button() == Qt::LeftButton;
        FDragArmed = false;
        TMouseButton b;
        if (OnMouseDown && MouseButtonOf(e->button(), b)) {
            QPointer<TPicPanel> self(this);
            OnMouseDown(watched, b, ShiftStateOf(e->modifiers(), e->buttons()), FPressPos.x(), FPressPos.y());
            if (!self) return true;
        }
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        auto* e = static_cast<QMouseEvent*>(event);
        FPressChild = watched;
        FPressPos = e->position().toPoint();
        FClickArmed = false; // the second press of a double-click is no click
        FDragArmed = false;
        QPointer<TPicPanel> self(this);
        if (e->button() == Qt::LeftButton && OnDBLClick) {
            const std::string file = FFileName;
            OnDBLClick(this, file);
            if (!self) return true;
        }
        TMouseButton b;
        if (OnMouseDown && MouseButtonOf(e->button(), b))
            OnMouseDown(watched, b, ShiftStateOf(e->modifiers(), e->buttons()) | ssDouble, FPressPos.x(),
                        FPressPos.y());
        return true;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (FDragArmed && (e->buttons() & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)) &&
            (e->position().toPoint() - FPressPos).manhattanLength() >= QApplication::startDragDistance()) {
            StartDrag(FDragSource ? FDragSource.data() : watched);
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        FDragArmed = false;
        const bool click = FClickArmed && e->button() == Qt::LeftButton && watched == FPressChild &&
                           static_cast<QWidget*>(watched)->rect().contains(e->position().toPoint());
        FClickArmed = false;
        if (click && OnClick) OnClick(watched);
        return true;
    }
    case QEvent::Enter:
        FHover = true;
        Render();
        if (OnMouseEnter) OnMouseEnter(watched);
        return false;
    case QEvent::Leave:
        FHover = false;
        Render();
        if (OnMouseLeave) OnMouseLeave(watched);
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (!OnDragOver) {
            e->ignore();
            return true;
        }
        bool accept = true;
        const QPoint p = e->position().toPoint();
        OnDragOver(FFileName, watched, e->source(), p.x(), p.y(),
                   event->type() == QEvent::DragEnter ? TDragOverState::Enter : TDragOverState::Move, accept);
        if (accept)
            e->acceptProposedAction();
        else
            e->ignore();
        return true;
    }
    case QEvent::DragLeave:
        if (OnDragOver) {
            bool accept = false;
            const QPoint p = static_cast<QWidget*>(watched)->mapFromGlobal(QCursor::pos());
            OnDragOver(FFileName, watched, nullptr, p.x(), p.y(), TDragOverState::Leave, accept);
        }
        return true;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (OnDragDrop) {
            const QPoint p = e->position().toPoint();
            OnDragDrop(FFileName, watched, e->source(), p.x(), p.y());
            e->acceptProposedAction();
        }
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void TPicPanel::BeginDrag(QObject* source, bool immediate) {
    FDragSource = source && source != this ? source : Image;
    if (immediate) {
        StartDrag(FDragSource);
        return;
    }
    FDragArmed = true;
}

bool TPicPanel::Dragging() {
    return gDragDepth > 0;
}
bool TPicPanel::Busy() {
    return gDragDepth > 0 || gHandlerDepth > 0;
}

void TPicPanel::StartDrag(QObject* source) {
    FDragArmed = false;
    FClickArmed = false;
    auto* sourceWidget = qobject_cast<QWidget*>(source);
    if (!sourceWidget) sourceWidget = Image;
    const std::string file = FFileName;

    QPointer<QDrag> drag = new QDrag(sourceWidget);
    auto* mime = new QMimeData;
    mime->setData(kPictureMimeType, QByteArray::fromStdString(file));
    mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    drag->setMimeData(mime);
    if (!FCanvas.Empty()) {
        const QImage img(reinterpret_cast<const uchar*>(FCanvas.Bits()), FCanvas.Width(), FCanvas.Height(),
                         FCanvas.Width() * 4, QImage::Format_RGB32);
        drag->setPixmap(QPixmap::fromImage(img.copy()));
        drag->setHotSpot(sourceWidget->mapTo(this, FPressPos));
    }

    TDropRecorder recorder(mime);
    qApp->installEventFilter(&recorder);
    QPointer<TPicPanel> self(this);
    ++gDragDepth;
    if (DragRunner)
        DragRunner(drag);
    else
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    --gDragDepth;
    qApp->removeEventFilter(&recorder);
    // exec hands the drag object to deferred deletion; so do we, for runs
    // through DragRunner (a second request is harmless)
    if (drag) drag->deleteLater();
    if (!self) return;

    QWidget* target = recorder.Target;
    if (OnEndDrag) OnEndDrag(file, this, target, recorder.Pos.x(), recorder.Pos.y());
}
