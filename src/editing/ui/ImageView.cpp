#include "editing/ui/ImageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/ui/QtPointer.h"

TImageView::TImageView(TImage32& image, QWidget* parent) : QAbstractScrollArea(parent), FImage(image) {
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::NoFrame);
    horizontalScrollBar()->setSingleStep(10);
    verticalScrollBar()->setSingleStep(10);
    FImage.Layers.OnChange = [this] { viewport()->update(); };
}

void TImageView::SyncGeometry() {
    const int vw = viewport()->width(), vh = viewport()->height();
    horizontalScrollBar()->setPageStep(std::max(vw, 1));
    verticalScrollBar()->setPageStep(std::max(vh, 1));
    horizontalScrollBar()->setRange(0, std::max(0, FImage.Width() - vw));
    verticalScrollBar()->setRange(0, std::max(0, FImage.Height() - vh));
    UpdateViewport();
    viewport()->update();
}

void TImageView::UpdateViewport() {
    FImage.SetViewport(horizontalScrollBar()->value(), verticalScrollBar()->value(), viewport()->width(),
                       viewport()->height());
}

void TImageView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    if (OnViewResized) {
        const QSize box = maximumViewportSize();
        OnViewResized(box.width(), box.height());
    }
    SyncGeometry();
}

void TImageView::scrollContentsBy(int, int) {
    UpdateViewport();
    viewport()->update();
}

void TImageView::paintEvent(QPaintEvent*) {
    UpdateViewport();
    FImage.PaintTo(FBuffer);
    QPainter p(viewport());
    if (FBuffer.Empty()) return;
    const QImage shown(reinterpret_cast<const uchar*>(FBuffer.Bits()), FBuffer.Width(), FBuffer.Height(),
                       FBuffer.Width() * 4, QImage::Format_RGB32);
    p.drawImage(0, 0, shown);
}

void TImageView::UpdateCursor(int x, int y) {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (FImage.CursorAt(x, y)) {
    case TCursorKind::SizeWE:
        shape = Qt::SizeHorCursor;
        break;
    case TCursorKind::SizeNS:
        shape = Qt::SizeVerCursor;
        break;
    case TCursorKind::SizeNWSE:
        shape = Qt::SizeFDiagCursor;
        break;
    case TCursorKind::SizeNESW:
        shape = Qt::SizeBDiagCursor;
        break;
    case TCursorKind::SizeAll:
        shape = Qt::SizeAllCursor;
        break;
    default:
        break;
    }
    viewport()->setCursor(shape);
}

void TImageView::mousePressEvent(QMouseEvent* e) {
    TMouseButton b;
    if (!MouseButtonOf(e->button(), b)) return;
    const QPoint p = e->position().toPoint();
    FImage.MouseDown(b, ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
    UpdateCursor(p.x(), p.y());
}

void TImageView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    FImage.MouseMove(ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
    UpdateCursor(p.x(), p.y());
}

void TImageView::mouseReleaseEvent(QMouseEvent* e) {
    TMouseButton b;
    if (!MouseButtonOf(e->button(), b)) return;
    const QPoint p = e->position().toPoint();
    FImage.MouseUp(b, ShiftStateOf(e->modifiers(), e->buttons()), p.x(), p.y());
    UpdateCursor(p.x(), p.y());
}
