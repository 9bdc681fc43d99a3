#pragma once
// The "Text" page of the side panel: the text box, font, size, colour,
// style and line alignment of the text, where it goes on the page, its
// shadow, glow and texture. Every change is pushed at once to the selected
// text layer; typing with no text layer selected creates one. Picking a text
// layer on the canvas fills the page from it.
//
// The page only gathers its state (State()) and calls the text commands;
// TextSyncEnabled is off while a handler changes the page's own controls, so
// those changes draw nothing. The texture grid below the page belongs to the
// side panel: the host connects it through SelectedTexture, SelectTexture
// and PicFileListTextureClick.

#include <QWidget>
#include <functional>
#include <string>

#include "text/TextCommands.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTextEdit;
class QToolButton;
class TTextColorBox;

class TTextPage : public QWidget {
    Q_OBJECT
public:
    explicit TTextPage(QWidget* parent = nullptr);

    // ---- Controls ----
    QLabel* LabelInputText = nullptr;
    QTextEdit* MemoText = nullptr;
    QComboBox* suiFontComboBoxFont = nullptr;
    QComboBox* suiComboBoxSize = nullptr;
    TTextColorBox* suiColorBoxColor = nullptr;
    QToolButton* SpeedButtonBold = nullptr;
    QToolButton* SpeedButtonItalic = nullptr;
    QToolButton* SpeedButtonULine = nullptr;
    QToolButton* BitBtnLeft = nullptr;
    QToolButton* BitBtnCenter = nullptr;
    QToolButton* BitBtnRight = nullptr;
    QPushButton* ImageButtonInsertText = nullptr;
    QPushButton* ImageButtonModText = nullptr;
    QLabel* LabelHorizontal = nullptr;
    QComboBox* suiComboBoxHorizontal = nullptr;
    QLabel* LabelVertical = nullptr;
    QComboBox* suiComboBoxVertical = nullptr;
    QCheckBox* CheckBoxShadow = nullptr;
    QCheckBox* CheckBoxHalation = nullptr;
    QWidget* PanelHalation = nullptr;
    QLabel* LabelHalationColor = nullptr;
    TTextColorBox* suiColorBoxHalationColor = nullptr;
    QLabel* LabelHalationValue = nullptr;
    QSlider* TrackBarHalation = nullptr;
    QCheckBox* CheckBoxTexture = nullptr;
    QLabel* LabelAALevel = nullptr;
    QComboBox* ComboBoxAALevel = nullptr;
    // The font chosen on the page (name, style, colour), as the text box
    // shows it at its own display size.
    QFont Memo1Font;

    // Off while a handler changes the page itself: nothing is drawn then.
    bool TextSyncEnabled = true;

    // ---- Connections made by the host ----
    TTextCommands* Commands = nullptr;
    // Runs a command through the main window's guard.
    std::function<void(const std::function<void()>&)> RunCommand;
    // The texture grid: its selected file ("" when none), selecting a file.
    std::function<std::string()> SelectedTexture;
    std::function<bool(const std::string&)> SelectTexture;
    std::function<void()> FocusTextureList;
    // The shadow command for the selection (the shadow box was checked).
    std::function<void()> ShadowCommand;

    // What the page shows, for the commands.
    TTextPageState State() const;

    // ---- Handlers ----
    // "Add Text": the size box gets 100 when blank, the font list a default
    // face when it has none, the style buttons follow the text box; the text
    // box takes the focus. (The host shows the page.)
    void ImageTextClick();
    void MemoTextChange();
    void suiButtonInsertTextClick();
    void suiButtonModTextClick();
    void suiFontComboBoxFontChange();
    void suiComboBoxSizeChange();
    void suiColorBoxColorChange();
    void SpeedButtonBoldClick();
    void SpeedButtonItalicClick();
    void SpeedButtonULineClick();
    void BitBtnLeftClick();
    void BitBtnCenterClick();
    void BitBtnRightClick();
    void suiComboBoxHorizontalChange();
    void suiComboBoxVerticalChange();
    void CheckBoxShadowClick();
    void CheckBoxHalationClick();
    void CheckBoxTextureClick();
    void suiColorBoxHalationColorChange();
    void TrackBarHalationChange();
    void PicFileListTextureClick();

    // Fills the page from a text layer picked on the canvas.
    void FillTextPage(const TNewRotLayer& layer);
    // Shows alignments in the position boxes (3 = "Custom"); nothing drawn.
    void ShowTextAlignment(int horz, int vert);
    // Captions, colour names and position items in the current language.
    void ApplyLanguage();

    // The size items of the size box.
    static const char* const kSizes[13];

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Run(const std::function<void()>& command);
    void Modify(TTextSource source);
    void Insert(TTextSource source);
    void Follow(TTextResult result);
    void StyleClick(QToolButton* button);
    void AlignClick(int align);
    void ShowMemoColor(TColor color);
    void ShowMemoFont();
    // Lists the installed families once, the first time the page is shown.
    void FillFontList();
    void SelectDefaultFont();
    void showEvent(QShowEvent* event) override;
    bool FFontsListed = false;
};
