#pragma once
// The painted chrome of the main window: the top bar with the main buttons
// and the logo, the column of photo tools beside the canvas, and the black
// status bar with the page size, the saved state, the hint line and the zoom.
//
// The chrome only shows and reports. The window connects the buttons'
// clicks to its commands, tells the chrome the caption of each button (most
// are the captions of menu items) and sets the status texts.

#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "chrome/ButtonFaces.h"

class QFrame;
class QLabel;
class QSlider;
class QWidget;
class TImageButton;

class TWindowChrome : public QObject {
    Q_OBJECT
public:
    // Builds the bars as children of parent; the window lays them out.
    explicit TWindowChrome(QWidget* parent);

    QWidget* TopBar = nullptr;     // "PanelTop": the main buttons, the logo at its right end
    QWidget* ToolColumn = nullptr; // "PanelTools": the photo tools
    QWidget* StatusBar = nullptr;  // "PanelStatusBar", 26 pixels high
    TImageButton* ImageLogo = nullptr;
    QLabel* LabelSize = nullptr;
    QLabel* LabelSaved = nullptr;
    QLabel* LabelOperation = nullptr; // the hint, centred between Bevel2 and Bevel3
    QLabel* LabelScale = nullptr;
    QSlider* TrackBarScale = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;

    // The picture button of that name (the bars' own and adopted ones).
    TImageButton* Button(const std::string& name) const;
    std::vector<TImageButton*> Buttons() const;
    // Takes in a picture button made elsewhere (a side-panel page) under its
    // object name: it is loaded, captioned and hinted with the rest.
    void Adopt(TImageButton* button);
    // Shows hint number n ("HintNN") while the pointer is over the widget.
    void AddHint(QWidget* widget, int n);

    // The caption of a button in the current language ('&' still in it).
    using TCaptionOf = std::function<std::string(const TPictureButtonInfo& button)>;
    // Loads the pictures of every button afresh from root + "resource/",
    // paints their captions and repaints them: at start-up and at every
    // change of language. Every button is tried; the first file that could
    // not be read is thrown afterwards (EUserError).
    void PaintButtonCaptions(const std::string& root, const TCaptionOf& captionOf);
    // The logo of the top bar (root + "resource/logo.png").
    void LoadLogo(const std::string& root);

    // Undo and redo follow the history; every other button stays enabled.
    void EnableUndoRedo(bool undo, bool redo);

    // The hint line: the text, centred between the separators; empty clears.
    void ShowHint(const std::string& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTopBar(QWidget* parent);
    void BuildToolColumn(QWidget* parent);
    void BuildStatusBar(QWidget* parent);

    std::map<std::string, TImageButton*> FButtons;
    std::map<QObject*, int> FHints;
};
