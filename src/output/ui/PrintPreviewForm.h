#pragma once
// TPrintPreviewForm ("Print"): a miniature of the paper with the collage on
// it, the position and printed size in pixels, inches, centimetres or
// millimetres, and the dialog's own "Print...". The fields and their
// couplings live in TPrintPreviewModel; this class shows them and passes
// the user's edits on.

#include <QDialog>
#include <QImage>
#include <functional>

#include "output/PrintPreview.h"
#include "output/ui/PrinterDialogs.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPrinter;
class QPushButton;

// The paper in miniature: white with a black outline, the collage where it
// will be printed.
class TPaperMiniature : public QWidget {
public:
    using QWidget::QWidget;
    QImage Picture;    // a small copy of the collage
    QRect PictureRect; // empty: nothing to show

protected:
    void paintEvent(QPaintEvent*) override;
};

class TPrintPreviewForm : public QDialog {
    Q_OBJECT
public:
    // picture: the composed collage as paper shows it; printPlaced prints
    // the collage at a placement in screen pixels (the dialog's "Print...",
    // after the print dialog).
    TPrintPreviewForm(const TPrintSettings& settings, const QImage& picture, QPrinter& printer,
                      TPrintDialogHooks dialogs, std::function<void(const TDeviceRect&)> printPlaced,
                      QWidget* parent = nullptr);

    TPrintPreviewModel Model;

    QFrame* PanelPreview = nullptr;
    TPaperMiniature* ImagePreview = nullptr;
    QLineEdit* EditTop = nullptr;
    QLineEdit* EditLeft = nullptr;
    QComboBox* ComboBoxTopUnit = nullptr;
    QComboBox* ComboBoxLeftUnit = nullptr;
    QCheckBox* CheckBoxCenter = nullptr;
    QLineEdit* EditScale = nullptr;
    QCheckBox* CheckBoxFitPage = nullptr;
    QLineEdit* EditHeight = nullptr;
    QLineEdit* EditWidth = nullptr;
    QComboBox* ComboBoxHeightUnit = nullptr;
    QComboBox* ComboBoxWidthUnit = nullptr;
    QPushButton* ButtonPrint = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonPageSet = nullptr;

    void ButtonPrintClick();
    void ButtonOKClick();
    void ButtonPageSetClick();

private:
    // Shows the model's fields, flags and miniature.
    void ShowModel();
    void Edited(QLineEdit* edit, std::string& text, void (TPrintPreviewModel::*reaction)());
    void UnitChosen(TPrintField field, QComboBox* list, QLineEdit* edit);

    QPrinter& FPrinter;
    TPrintDialogHooks FDialogs;
    std::function<void(const TDeviceRect&)> FPrintPlaced;
};
