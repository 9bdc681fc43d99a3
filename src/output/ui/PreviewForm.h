#pragma once
// TPreviewForm ("Preview"): the finished collage alone on a black screen,
// without handles or window chrome, until a mouse button is released or
// Esc is pressed. The picture is shrunk to the screen's physical pixels
// (never enlarged), so a high-density screen shows it sharp.

#include <QDialog>
#include <QImage>

#include "output/PrintLayout.h"

class QLabel;

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    // picture: the composed collage; area and ratio: the geometry and
    // device pixel ratio of the screen that holds the main window.
    TPreviewForm(const QImage& picture, const QRect& area, double ratio, QWidget* parent = nullptr);

    QLabel* ImagePreview = nullptr;
    QLabel* Label1 = nullptr; // grey, underneath
    QLabel* Label2 = nullptr; // white, one pixel up and left
    // Where the picture is shown, in the screen's physical pixels.
    TDeviceRect Shown;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};
