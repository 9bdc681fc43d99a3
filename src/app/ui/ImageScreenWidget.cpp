#include "app/ui/ImageScreenWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "document/CollageDocument.h"
#include "app/ui/Cursors.h"
#include "platform/ui/QtPointer.h"

TImageScreenWidget::TImageScreenWidget(TCollageDocument& document, QWidget* parent)
    : QAbstractScrollArea(parent), FDocument(document) {
    setObjectName("ScrollBoxScreen");
    viewport()->setObjectName("ImageScreen");
    viewport()->setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAcceptDrops(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setSingleStep(10);
    verticalScrollBar()->setSingleStep(10);
    FDocument.ImageScreen.Layers.OnChange = [this] { Repaint(); };
}

void TImageScreenWidget::SyncGeometry() {
    TImage32& img = FDocument.ImageScreen;
    const int vw = viewport()->width(), vh = viewport()->height();
    // the view model may have scrolled (a zoom keeps a point in place); read
    // before the new ranges move the scroll bars
    const bool scrolled = img.HasViewport();
    const int scrollX = img.ScrollX(), scrollY = img.ScrollY();
    horizontalScrollBar()->setPageStep(std::max(vw, 1));
    verticalScrollBar()->setPageStep(std::max(vh, 1));
    horizontalScrollBar()->setRange(0, std::max(0, img.Width() - vw));
    verticalScrollBar()->setRange(0, std::max(0, img.Height() - vh));
    if (scrolled) {
        horizontalScrollBar()->setValue(scrollX);
        verticalScrollBar()->setValue(scrollY);
    }
    UpdateViewport();
    Repaint();
}

void TImageScreenWidget::UpdateViewport() {
    FDocument.ImageScreen.SetViewport(horizontalScrollBar()->value(), verticalScrollBar()->value(),
                                      viewport()->width(), viewport()->height());
}

void TImageScreenWidget::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    const QSize box = maximumViewportSize();
    FDocument.SetScrollBoxSize(box.width(), box.height());
    SyncGeometry();
}

void TImageScreenWidget::scrollContentsBy(int, int) {
    UpdateViewport();
    Repaint();
}

void TImageScreenWidget::paintEvent(QPaintEvent*) {
    UpdateViewport();
    // While a selection handle is dragged only the handles move: the layers
    // under them come from the cache instead of being painted again.
    TImage32& screen = FDocument.ImageScreen;
    const TCustomLayer* listener = screen.Layers.MouseListener;
    if (listener && listener->IsOverlay()) {
        screen.PaintToCached(FBuffer, FContentCache);
    } else {
        FContentCache.Valid = false;
        screen.PaintTo(FBuffer);
    }
    QPainter p(viewport());
    if (FBuffer.Empty()) return;
    QImage shown(reinterpret_cast<const uchar*>(FBuffer.Bits()), FBuffer.Width(), FBuffer.Height(),
                 FBuffer.Width() * 4, QImage::Format_RGB32);
    if (!FOutlines.empty()) {
        QImage withOutlines = shown.copy();
        QPainter op(&withOutlines);
        op.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        for (const TOutline& o : FOutlines) {
            op.setPen(QPen(Qt::white, o.PenWidth));
            op.drawPolygon(o.Points.data(), int(o.Points.size()));
        }
        op.end();
        p.drawImage(0, 0, withOutlines);
    } else {
        p.drawImage(0, 0, shown);
    }
}

void TImageScreenWidget::ToggleOutline(const TOutline& outline) {
    for (auto it = FOutlines.begin(); it != FOutlines.end(); ++it)
        if (it->Points == outline.Points && it->PenWidth == outline.PenWidth) {
            FOutlines.erase(it);
            Repaint();
            return;
        }
    FOutlines.push_back(outline);
    Repaint();
}

void TImageScreenWidget::ClearOutlines() {
    if (FOutlines.empty()) return;
    FOutlines.clear();
    Repaint();
}

void TImageScreenWidget::UpdateCursor(int x, int y) {
    viewport()->setCursor(CursorFor(FDocument.ImageScreen.CursorAt(x, y)));
}

void TImageScreenWidget::mousePressEvent(QMouseEvent* e) {
    TMouseButton b;
    if (!MouseButtonOf(e->button(), b)) return;
    viewport()->setFocus(Qt::MouseFocusReason);
    const QPoint p = e->position().toPoint();
    FDocument.ImageScreen.MouseDown(b, ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
    UpdateCursor(p.x(), p.y());
}

void TImageScreenWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    FDocument.ImageScreen.MouseMove(ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
    UpdateCursor(p.x(), p.y());
}

void TImageScreenWidget::mouseReleaseEvent(QMouseEvent* e) {
    TMouseButton b;
    if (!MouseButtonOf(e->button(), b)) return;
    const QPoint p = e->position().toPoint();
    FDocument.ImageScreen.MouseUp(b, ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
    UpdateCursor(p.x(), p.y());
}

void TImageScreenWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    TMouseButton b;
    if (!MouseButtonOf(e->button(), b)) return;
    const QPoint p = e->position().toPoint();
    // The second press of a double click: first the double click itself,
    // then the press, marked as double.
    if (b == TMouseButton::Left) FDocument.ImageScreen.DblClick(p.x(), p.y());
    viewport()->setFocus(Qt::MouseFocusReason);
    FDocument.ImageScreen.MouseDown(b, ShiftStateOf(e->modifiers(), e->buttons()) | ssDouble, p.x(), p.y());
    UpdateCursor(p.x(), p.y());
}

void TImageScreenWidget::wheelEvent(QWheelEvent* e) {
    if ((e->modifiers() & Qt::ControlModifier) && OnZoomWheel) {
        const int steps = e->angleDelta().y() / 120;
        if (steps != 0) OnZoomWheel(steps, e->position().toPoint());
        e->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

void TImageScreenWidget::dragEnterEvent(QDragEnterEvent* e) {
    if (OnDragMove && OnDragMove(e))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TImageScreenWidget::dragMoveEvent(QDragMoveEvent* e) {
    if (OnDragMove && OnDragMove(e))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TImageScreenWidget::dragLeaveEvent(QDragLeaveEvent*) {
    if (OnDragLeave) OnDragLeave();
}

void TImageScreenWidget::dropEvent(QDropEvent* e) {
    if (OnDrop) OnDrop(e);
}

bool TImageScreenWidget::viewportEvent(QEvent* e) {
    // keep arrow keys for the nudge shortcut instead of scrolling
    return QAbstractScrollArea::viewportEvent(e);
}
