#pragma once
// TSetForm: the collage settings dialog -- page size (a predefined photo
// size, or a width and height in pixels, inches or centimetres),
// orientation and background (transparent, a colour, or a picture tiled,
// centred or stretched). It works on its own copy of the settings; OK checks
// the input and marks the copy accepted, and the caller takes it over.

#include <QDialog>

#include "document/CollageSettings.h"
#include "document/PageSettings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TColorBox;

class TSetForm : public QDialog {
    Q_OBJECT
public:
    TSetForm(const TCollageSettings& settings, const std::string& resourceRoot, QWidget* parent = nullptr);

    // The dialog's copy; when Accepted, what OK let through.
    TCollageSettings Settings;
    std::string ResourceRoot;
    bool Accepted = false;

    QRadioButton* RBnPredefine = nullptr;
    QRadioButton* RadioBtnCustomize = nullptr;
    QComboBox* ComboBoxDefineSize = nullptr;
    QLineEdit* EditWidth = nullptr;
    QLineEdit* EditHeight = nullptr;
    QComboBox* ComboBoxWidthUnit = nullptr;
    QComboBox* ComboBoxHeightUnit = nullptr;
    QRadioButton* RBtnLandscape = nullptr;
    QRadioButton* RBtnPortrait = nullptr;
    QRadioButton* RBtnTransparent = nullptr;
    QRadioButton* RBtnColor = nullptr;
    QRadioButton* RBtnImage = nullptr;
    TColorBox* ColorBoxBK = nullptr;
    QPushButton* ButtonLoadImage = nullptr;
    QRadioButton* RBtnTile = nullptr;
    QRadioButton* RBtnCenter = nullptr;
    QRadioButton* RBtnStretch = nullptr;
    QLabel* ImageBK = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;

    void RBnPredefineClick();
    void RadioBtnCustomizeClick();
    void RBtnTransparentClick();
    void RBtnColorClick();
    void RBtnImageClick();
    // A unit list changed (width list or height list).
    void UnitChange(bool widthList);
    void ButtonLoadImageClick();
    void BtnOKClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void LoadPreview(const std::string& path);
    TPageSettingsInput Input() const;
    std::string FPictureFolder; // where the picture dialog opens
};
