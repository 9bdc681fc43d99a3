#pragma once
// A scroll box showing a TImage32 (a picture with layers over it) that is
// not the collage: the crop dialog's view. It forwards pointer events in
// view coordinates and paints only the visible part.

#include <QAbstractScrollArea>
#include <functional>

#include "engine/Image32.h"

class TImageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TImageView(TImage32& image, QWidget* parent = nullptr);

    // Re-reads the control size (after a zoom) and updates the scroll bars.
    void SyncGeometry();
    // The visible area changed size.
    std::function<void(int width, int height)> OnViewResized;
    const TBitmap32& ViewBuffer() const { return FBuffer; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    void UpdateViewport();
    void UpdateCursor(int x, int y);
    TImage32& FImage;
    TBitmap32 FBuffer;
};
