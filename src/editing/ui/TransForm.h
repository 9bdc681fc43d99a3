#pragma once
// TTransForm: the transparency window, a small borderless tool window beside
// its button with a vertical track bar and a number field (0 opaque .. 100
// invisible). Both act at once on the layers selected at that moment; one
// drag of the track bar is one history step, while typing and keys change
// the layers without one. It is made once at start-up and only shown and
// hidden afterwards.

#include <QWidget>
#include <functional>
#include <vector>

#include "editing/AppearanceCommands.h"

class QSpinBox;
class QToolButton;
class TCanvasEditor;
class TNewRotLayer;
class TTrackBar;

class TTransForm : public QWidget {
    Q_OBJECT
public:
    // commands run through guard (the main window's command guard)
    TTransForm(TCanvasEditor& editor, std::function<void(const std::function<void()>&)> guard,
               QWidget* parent = nullptr);

    TTrackBar* suiTrackBarTrans = nullptr;
    QSpinBox* SpinEditTrans = nullptr;
    QToolButton* ImageButtonClose = nullptr;

    // Shows the window at the point (global coordinates) on the target's
    // transparency (none: the controls keep their position).
    void ShowFor(TNewRotLayer* target, const QPoint& topLeft);
    // Points the window at another layer (the one just picked on the canvas).
    void SetTarget(TNewRotLayer* target);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void TrackBarChange(int position);
    void SpinEditChange(int value);
    void TrackBarMouseDown();
    void TrackBarMouseUp();
    TCanvasEditor& FEditor;
    std::function<void(const std::function<void()>&)> FGuard;
    std::vector<TOpacitySnapshot> FSnapshots;
    int FPressPosition = -1;
};
