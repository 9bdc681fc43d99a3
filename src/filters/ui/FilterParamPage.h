#pragma once
// The "Filter Parameter" page: the filter's name, the live preview of the
// selected photo, up to three track bars with their labels or the
// "Colorized" check box, and Apply / Cancel. The page shows and reports;
// the main window decides what a change or a button means.

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "engine/Bitmap32.h"
#include "filters/FilterCommands.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

// The preview control: a black box showing a picture centred, pixel for
// pixel (nearest neighbour).
class TPreviewImage : public QWidget {
public:
    explicit TPreviewImage(QWidget* parent = nullptr);
    static constexpr int kWidth = 273, kHeight = 178;
    void SetPicture(const TBitmap32& picture);
    const TBitmap32& Picture() const { return FPicture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBitmap32 FPicture;
};

class TFilterParamPage : public QWidget {
    Q_OBJECT
public:
    explicit TFilterParamPage(QWidget* parent = nullptr);

    QLabel* LabelFilter = nullptr;
    TPreviewImage* Image32FilterPhoto = nullptr;
    std::array<QLabel*, 3> LabelParam{};
    std::array<QSlider*, 3> TrackBarParam{};
    QCheckBox* CheckBoxParam1 = nullptr;
    QPushButton* suiButtonApply = nullptr;
    QPushButton* suiButtonCancel = nullptr;

    // Hides every parameter control, then shows and sets those of the
    // filter (its name from FilterNames()); no change is reported.
    void SetUp(int filterIndex);
    // The filter mode the track bars' tag holds.
    int Mode() const;
    TParamValues Values() const;
    // Texts of the current language (labels, box, buttons).
    void ApplyLanguage();

    std::function<void()> OnTrackBarChange; // any of the three bars moved
    std::function<void()> OnCheckBoxClick;
    std::function<void()> OnApply, OnCancel;

private:
    int FFilterIndex = -1;
    std::array<int, 3> FLabelIndex{0, 0, 0};
};
