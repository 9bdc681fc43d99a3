#pragma once
// The side panel left of the canvas (NotebookPanel): named pages of which one
// is shown at a time, with the thumbnail grids and category choices of the
// resource library on them.
//
// Pages: "Import Photo" (folder tree and photos), "Modify" (an inner
// notebook NotebookMod with "Mask", "Frame", "Filter" and "Filter
// Parameter"), "Frame" (border frames), "Output", "Clipart", "Text" (its
// texture grid at the bottom). Page names are matched without regard to case.
//
// The panel only shows and reports. The host connects the grids' events
// (double-click, mouse-down to start a drag, end-drag), the buttons, and
// OnUserPhotoFolder / OnHint.

#include <QStackedWidget>
#include <functional>
#include <string>
#include <vector>

#include "browser/Categories.h"

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class TCategorySelector;
class TFilterList;
class TFilterParamPage;
class TPicFileList;
class TShellTreeView;
class TTextPage;

// Pages chosen by name.
class TNotebook : public QStackedWidget {
    Q_OBJECT
public:
    explicit TNotebook(QWidget* parent = nullptr);

    // Adds a page under `name` (a new empty page when none is given).
    QWidget* AddPage(const std::string& name, QWidget* page = nullptr);
    // Shows the page whose name matches without regard to case; false (and
    // nothing changes) when there is none.
    bool ShowPage(const std::string& name);
    // Name of the page shown ("" when there are none).
    std::string CurrentPage() const;
    QWidget* Page(const std::string& name) const;
    std::vector<std::string> PageNames() const { return FNames; }

private:
    std::vector<std::string> FNames;
};

class TSidePanel : public TNotebook {
    Q_OBJECT
public:
    // Builds the pages, fills the hidden category lists from the resource
    // library and points the texture grid at "Textures" with its first
    // thumbnail selected.
    explicit TSidePanel(const std::string& resourceRoot, QWidget* parent = nullptr);

    // The first-show steps: in the order masks, sub-frames, borders,
    // cliparts, choose "Free" and show it, and fill the visible lists with
    // names translated by `lookup`; then open the photo tree on
    // resourceRoot + "Photos" when that folder exists.
    void FormShow(const TLookup& lookup = {});
    // The language texts of the panel's labels and buttons (category labels,
    // the modify page's tabs, the border and clipart buttons); the main
    // window runs it at every change of language.
    void RetranslateLabels(const TLookup& lookup);

    // The photo tree chose a folder: the photo grid shows it and the path is
    // reported through OnUserPhotoFolder.
    void ShellTreeViewPhotoChange(const std::string& path);

    // The hint of the status bar for a grid, in the current language ("" for
    // the texture grid).
    std::string HintFor(const TPicFileList* list) const;

    // Width of the panel: the 80-pixel grids get three columns.
    static constexpr int PanelWidth = 300;
    static constexpr int PageMargin = 8;

    // ---- "Import Photo" ----
    TShellTreeView* ShellTreeViewPhoto = nullptr;
    TPicFileList* PicFileListPhoto = nullptr;

    // ---- "Modify" ----
    TNotebook* NotebookMod = nullptr;
    QToolButton* ImageButtonMask = nullptr;     // sub-page "Mask"
    QToolButton* ImageButtonSubFrame = nullptr; // sub-page "Frame"
    QToolButton* ImageButtonFilter = nullptr;   // sub-page "Filter"
    TPicFileList* PicFileListMask = nullptr;
    TPicFileList* PicFileListSubFrame = nullptr;
    TCategorySelector* MaskTypeSelector = nullptr;
    TCategorySelector* SubFrameTypeSelector = nullptr;
    QComboBox* ComboBoxMaskType = nullptr;
    QComboBox* ComboBoxMaskType2 = nullptr;
    QComboBox* ComboBoxSubFrameType = nullptr;
    QComboBox* ComboBoxSubFrameType2 = nullptr;
    QWidget* FilterPage = nullptr;          // sub-page "Filter"
    QWidget* FilterParameterPage = nullptr; // sub-page "Filter Parameter"
    TFilterList* FilterListPanel = nullptr;
    TFilterParamPage* FilterParams = nullptr;

    // ---- "Frame" ----
    TPicFileList* PicFileListFrame = nullptr;
    TCategorySelector* FrameTypeSelector = nullptr;
    QComboBox* ComboBoxFrameType = nullptr;
    QComboBox* ComboBoxFrameType2 = nullptr;
    QPushButton* ImageButtonDelBorder = nullptr; // stands in for the picture button

    // ---- "Clipart" ----
    TPicFileList* PicFileListClipart = nullptr;
    TCategorySelector* ClipartTypeSelector = nullptr;
    QComboBox* ComboBoxClipartType = nullptr;
    QComboBox* ComboBoxClipartType2 = nullptr;
    // shown only while the "Customize" category is chosen
    QWidget* PanelAddDelClipart = nullptr;
    QPushButton* BtnAddClipart = nullptr;
    QPushButton* BtnDelClipart = nullptr;

    // ---- "Text" and "Output" ----
    QWidget* TextPageArea = nullptr; // the text controls, above the textures
    TTextPage* TextPage = nullptr;   // the same widget
    TPicFileList* PicFileListTexture = nullptr;
    QWidget* OutputPageArea = nullptr;

    QLabel* LabelMaskType = nullptr;
    QLabel* LabelSubFrameType = nullptr;
    QLabel* LabelFrameType = nullptr;
    QLabel* LabelClipartType = nullptr;

    // ---- Reports ----
    // The pointer entered a grid (its hint) or left it ("").
    std::function<void(const std::string& hint)> OnHint;
    // The photo tree chose a folder (kept as UserPhotoFolder).
    std::function<void(const std::string& path)> OnUserPhotoFolder;

    const std::string& ResourceRootPath() const { return FRoot; }

private:
    QWidget* NewPage(QVBoxLayout*& column);
    void WireHint(TPicFileList* list);
    void ClipartCategoryShown(const std::string& category);

    std::string FRoot;
};
