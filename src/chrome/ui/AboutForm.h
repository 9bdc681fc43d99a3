#pragma once
// The About box: the program's picture filling the window, the version, the
// licence, the libraries it is built on, and the user guide's start page as
// a local file address that opens in the browser when clicked.

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    // The picture is resourceRoot + "resource/about.png" (its double-size
    // version on a high-density screen); without it the window is plain dark.
    explicit TAboutForm(const std::string& resourceRoot, QWidget* parent = nullptr);

    QLabel* LabelVersion = nullptr;
    QLabel* LabelLicence = nullptr;
    QLabel* LabelLibraries = nullptr;
    QLabel* LabelWebsite = nullptr;
    QLabel* LabelURL = nullptr; // the guide's start page; a click opens it
    QLabel* LabelNotice = nullptr;
    QPushButton* ButtonOK = nullptr;

    // Opens the address shown in LabelURL.
    void LabelURLClick();

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage FPicture;
};
