#pragma once
// TWallpaperOptForm: how the collage covers the desktop (centred, tiled or
// stretched), with a small sample desktop for each choice.

#include <QDialog>

#include "platform/Wallpaper.h"

class QLabel;
class QRadioButton;

class TWallpaperOptForm : public QDialog {
    Q_OBJECT
public:
    explicit TWallpaperOptForm(QWidget* parent = nullptr);

    QRadioButton* RadioButtonCenter = nullptr;
    QRadioButton* RadioButtonTile = nullptr;
    QRadioButton* RadioButtonStretch = nullptr;
    QLabel* ImageCenter = nullptr;
    QLabel* ImageTile = nullptr;
    QLabel* ImageStretch = nullptr;

    bool Accepted = false;
    TWallpaperStyle Style() const;
    void BitBtnOKClick();

private:
    void ShowSample(QLabel* sample);
    std::string FMessage;
};
