#pragma once
// TCropForm: chooses which part of a layer's picture its box shows. The
// whole picture is shown under a dark veil with a rubber band over the
// chosen part; "C&ut" takes the band (rounded to whole pixels, reaching past
// the picture if it does) as the new crop.

#include <QDialog>

#include "editing/CropView.h"

class QLabel;
class QPushButton;
class TImageView;
class TNewRotLayer;
class TTrackBar;

class TCropForm : public QDialog {
    Q_OBJECT
public:
    // The view area of the picture at its design size.
    static constexpr int kViewWidth = 723, kViewHeight = 450;

    TCropForm(const TNewRotLayer& target, QWidget* parent = nullptr);

    TCropView View;
    TImageView* ImgViewScreen = nullptr; // the scroll box with the picture view
    TTrackBar* TrackBarScale = nullptr;
    QLabel* LabelScale = nullptr;
    QPushButton* suiButtonReset = nullptr;
    QPushButton* suiButtonCut = nullptr;
    QPushButton* suiButtonCancel = nullptr;

    // Set when the dialog was closed with "C&ut"; Result is then the new crop.
    bool Cut = false;
    TRect Result;

    void TrackBarScaleChange(int position);
    void suiButtonResetClick();
    void suiButtonCutClick();
};
