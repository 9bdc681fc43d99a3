#pragma once
// A track bar: a slider that also reports when the mouse button goes down
// and up on it anywhere (on the handle or the groove), so that a window can
// take one snapshot before a drag and record one step after it. Arrow keys
// move it by 1, page keys by 2.

#include <QSlider>
#include <functional>

class TTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TTrackBar(Qt::Orientation orientation, QWidget* parent = nullptr);
    std::function<void()> OnMouseDown, OnMouseUp;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool FPressed = false;
};
