#pragma once
// The main window: owns the collage document and wires every command to the
// menus, buttons and keys. Handlers keep the names users of the code know
// them by (PMenuNewProjectClick, MenuUnDoClick, ...) and stay thin: they
// gather input, call the document side and show the result.

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "document/CanvasEditor.h"
#include "document/CollageDocument.h"
#include "editing/LayerCommands.h"
#include "filters/FilterCommands.h"
#include "output/Export.h"
#include "output/ui/PrinterDialogs.h"
#include "persistence/Configuration.h"
#include "text/TextCommands.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class QSlider;
class QTimer;
class TFlashForm;
class TImageScreenWidget;
class TQtDialogs;
class TQtMessages;
class TSidePanel;
class TPicFileList;
class TTransForm;

struct TStartOptions {
    QStringList Arguments;  // command-line arguments after the program name
    bool ShowSplash = true;
    int SplashMilliseconds = 2000;
    bool EnableStartTimer = true; // the new-project step one second after showing
};

class TMainForm : public QMainWindow, public TDocumentObserver, public TCanvasHost {
    Q_OBJECT
public:
    explicit TMainForm(const TStartOptions& options = {});
    ~TMainForm() override;

    TCollageDocument Doc;
    TCanvasEditor Editor{Doc};
    TLayerClipboard Clipboard;
    TTextCommands TextCommands{Editor};
    QMenu* PopupMenuMain = nullptr;

    // ---- Controls ----
    TImageScreenWidget* ImageScreen = nullptr;
    TSidePanel* NotebookPanel = nullptr;
    QSlider* TrackBarScale = nullptr;
    QLabel* LabelScale = nullptr;
    QLabel* LabelSize = nullptr;
    QLabel* LabelSaved = nullptr;
    QLabel* LabelOperation = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;
    QWidget* PanelStatusBar = nullptr;
    QTimer* TimerNew = nullptr;

    QMenu* MenuLanguages = nullptr;
    QAction* MenuEnglish = nullptr;
    QAction* MenuUnDo = nullptr;
    QAction* MenuReDo = nullptr;

    std::string ResourceRootPath;
    int LanguageIndex = -1;
    // What cfg.ini holds: read at start-up, written at exit.
    TConfiguration Configuration;

    // ---- Commands ----
    void PMenuNewProjectClick();
    void Close1Click();
    // The modified-project prompt: true when the caller may go on.
    bool ModifiedProjectPrompt();
    void suitempTrackBarScaleChange(int position);
    void TrackBarScaleMouseDown();
    void TrackBarScaleMouseUp();
    void ApplyLanguage(int index);
    void BuildLanguageMenu();
    void SetOperationHint(const std::string& text);

    // ---- Crop, transparency, shadow and page settings (MainFormDialogs.cpp) ----
    // The transparency window: made at start-up, shown and hidden by its
    // command.
    TTransForm* TransForm = nullptr;
    // The crop dialog for the topmost selected layer.
    void SpeedButtonCropClick();
    // The crop dialog for the layer under the shortcut menu's point.
    void PMenuCropClick();
    // Shows the transparency window beside the button (none: at the canvas's
    // corner), or hides it when it is shown.
    void SpeedButtonTransClick(QWidget* button = nullptr);
    void SpeedButtonShadowClick();
    void MenuDelShadowClick();
    // The settings dialog; true when it was confirmed and the page changed.
    bool EditCollageSettings();
    void ButtonSetClick();
    // Where the shortcut menu was opened (view coordinates).
    TPoint PopupPoint;

    // ---- Printing and the full-screen preview (MainFormPrint.cpp) ----
    // Page setup of the program's printer.
    void MenuPaperSettingsClick();
    // The print dialog with its miniature; OK keeps its placement.
    void MenuPrintPreviewClick();
    // Prints with the stored placement, after the printer choice.
    void MenuPrintClick();
    // The collage alone, full screen, on the screen that holds the window.
    void MenuPreviewClick();
    // The printer every print command uses: made at the first one and kept,
    // so the paper and file chosen stay for the next job.
    QPrinter& Printer();
    // The printer choice and page setup dialogs (tests script them).
    TPrintDialogHooks PrintDialogs = PlatformPrintDialogs();

    // Picks a language from the menu: -1 is the built-in English.
    void LanguageItemClick(int index);

    // Runs a command; a failure the user caused ends in an error box and the
    // document stays as the command left it consistent (brackets are
    // closed by their scopes).
    void RunCommand(const std::function<void()>& command);

    // Key handling of the application-wide filter; true when consumed.
    bool HandleShortcut(int key, Qt::KeyboardModifiers modifiers);

    // TDocumentObserver
    void DocumentStateChanged() override;
    void RequestZoom(int percent) override;
    void CanvasGeometryChanged() override;
    void UndoRedoEnabled(bool undo, bool redo) override;

    // TCanvasHost
    void ToggleOutline(const std::vector<TPoint>& polygon, int penWidth) override;
    void FocusCanvas() override;
    void LayerPicked(TNewRotLayer& layer) override;
    void TextLayerPicked(TNewRotLayer& layer) override;
    void ShowTextAlignment(int horz, int vert) override;
    void PhotoPicked(TNewRotLayer& layer) override;
    void PicturesReplaced() override;

    // ---- The filter browser and its parameter page (MainFormFilters.cpp) ----
    void FilterListPanelDBLClick(QObject* sender, const std::string& name);
    void FilterListPanelMouseEnter();
    void TrackBarParam1Change();
    void CheckBoxParam1Click();
    void suiButtonApplyClick();
    void suiButtonCancelClick();
    void PMenuDelFilterClick();
    // The filter sub-pages follow the selected photo (or `photo`): the
    // thumbnails are remade, or the preview is reloaded with the current
    // parameters.
    void RefreshFilterPages(TNewRotLayer* photo = nullptr);
    TFilterPreview FilterPreview;

    // Opens a project file given from outside (command line, dropped file);
    // true when it was opened.
    bool OpenProjectFromOutside(const std::string& path);
    // The last of the dropped names, when it is an existing ".clv" file.
    void FilesDropped(const QStringList& files);

protected:
    void closeEvent(QCloseEvent*) override;
    void showEvent(QShowEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dropEvent(QDropEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const TStartOptions& options);
    void FormShow();
    void CreateMenus();
    void CreateStatusBar();
    void CreatePopupMenu();
    void CreateTopBar(QWidget* parent, class QBoxLayout* into);
    void WireSidePanel();
    void WireTextPage();
    void WireFilterPages();
    void FilterLanguageChanged();
    // The thumbnail lists' handlers.
    void ThumbnailMouseDown(QObject* sender, TMouseButton button);
    void ThumbnailEndDrag(TPicFileList* list, const std::string& file, QWidget* target, int x, int y);
    void ThumbnailDoubleClick(TPicFileList* list, const std::string& file);
    bool DroppedOnCanvas(QWidget* target) const;
    // Page switches of the side panel.
    void BitBtnPhotoClick();
    void BitBtnMaskClick();
    void ImageButtonBorderClick();
    void ImageTextClick();
    // Shows the shortcut menu for a right click at a view point.
    void ShowPopupMenu(int x, int y, const QPoint& globalPos);
    QAction* AddAction(QMenu* menu, const char* objectName, const std::string& key, const char* shortcut,
                       std::function<void()> handler);
    bool CanvasHasFocus() const;
    void CropDialog(TNewRotLayer* target);
    void CreateTransForm();
    // After a project or template replaced the collage.
    void ProjectReplaced();

    struct TTranslated {
        QPointer<QObject> Target;
        std::string Key;
        std::string Suffix;   // appended after lookup ("..." of some items)
        std::string Shortcut; // shown after a tab in menu items
    };
    std::vector<TTranslated> FTranslated;
    // Shortcut-menu items and the main-menu items whose captions they show.
    std::vector<std::pair<QPointer<QAction>, QPointer<QAction>>> FTwins;
    // Every command by the object name of its menu item, for the shortcut
    // table (which runs commands whether or not the item is enabled).
    std::map<std::string, std::function<void()>> FCommands;
    bool RunNamed(const char* name);
    std::vector<std::pair<QAction*, int>> FLanguageItems;
    QActionGroup* FLanguageGroup = nullptr;
    std::unique_ptr<TQtMessages> FMessages;
    std::unique_ptr<TQtDialogs> FDialogs;
    QTimer* FZoomRebuild = nullptr;
    std::optional<QPoint> FZoomAnchor;  // the view point a wheel zoom keeps in place
    TImageSaveDialogState FImageDialog; // the picture save dialog remembers folder, name and format
    bool FShown = false;
    std::unique_ptr<QPrinter> FPrinter;
    bool FProjectFromCommandLine = false;
};
