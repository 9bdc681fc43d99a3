#pragma once
// The canvas control on screen: a scroll area (the scroll box around the
// canvas) whose viewport shows the document's TImage32. It forwards pointer
// events in view coordinates, keeps the view model's viewport in step with
// the scroll bars and paints the view buffer plus the rubber outlines.

#include <QAbstractScrollArea>
#include <QPoint>
#include <functional>

#include "engine/Image32.h"

class TCollageDocument;

class TImageScreenWidget : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TImageScreenWidget(TCollageDocument& document, QWidget* parent = nullptr);

    // Re-reads the control size from the view model (after zoom or page
    // changes) and updates the scroll bars.
    void SyncGeometry();
    void Repaint() { viewport()->update(); }

    // Rubber outlines drawn over the picture with an XOR pen, like outlines
    // drawn directly on the screen: drawing the same outline twice erases it.
    // Each entry is a closed polygon in view coordinates and a pen width.
    struct TOutline {
        std::vector<QPoint> Points;
        int PenWidth = 1;
    };
    void ToggleOutline(const TOutline& outline);
    void ClearOutlines();
    const std::vector<TOutline>& Outlines() const { return FOutlines; }

    // Zoom requests from Ctrl + wheel (+1 zooms in one page step, -1 out)
    // with the pointer's view position, which is to stay in place.
    std::function<void(int steps, QPoint at)> OnZoomWheel;
    // Drag and drop of our own thumbnails (hooks for the thumbnail lists).
    std::function<bool(QDragMoveEvent*)> OnDragMove;
    std::function<void(QDropEvent*)> OnDrop;
    std::function<void()> OnDragLeave;

    TBitmap32& ViewBuffer() { return FBuffer; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dragLeaveEvent(QDragLeaveEvent*) override;
    void dropEvent(QDropEvent*) override;
    bool viewportEvent(QEvent*) override;

private:
    void UpdateViewport();
    void UpdateCursor(int x, int y);

    TCollageDocument& FDocument;
    TBitmap32 FBuffer;
    TImage32::TContentCache FContentCache;
    std::vector<TOutline> FOutlines;
};
