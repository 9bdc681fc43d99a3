#include "platform/ui/TrackBar.h"

#include <QMouseEvent>

TTrackBar::TTrackBar(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    setSingleStep(1);
    setPageStep(2);
}

void TTrackBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && !FPressed) {
        FPressed = true;
        if (OnMouseDown) OnMouseDown();
    }
    QSlider::mousePressEvent(e);
}

void TTrackBar::mouseReleaseEvent(QMouseEvent* e) {
    QSlider::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && FPressed) {
        FPressed = false;
        if (OnMouseUp) OnMouseUp();
    }
}
